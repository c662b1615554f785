#include "platform/win32/known_folders_win32.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/win32/win_text.h"

namespace marvolt {
namespace {

// Defined here, so that no GUID library is linked for four numbers.
constexpr GUID kDesktop = {0xB4BFCC3A, 0xDB2C, 0x424C, {0xB0, 0x29, 0x7F, 0xE9, 0x9A, 0x87, 0xC6, 0x41}};
constexpr GUID kStartup = {0xB97D20BB, 0xF46A, 0x4C97, {0xBA, 0x10, 0x5E, 0x36, 0x08, 0x43, 0x08, 0x54}};
constexpr GUID kStartMenu = {0x625B53C3, 0xAB48, 0x4EC1, {0xBA, 0x1F, 0xA1, 0xEF, 0x41, 0x46, 0xFC, 0x19}};
constexpr GUID kProgramFiles = {0x905E63B6, 0xC1BF, 0x494E, {0xB2, 0x9C, 0x65, 0xB7, 0x32, 0xD3, 0xD2, 0x1A}};

// The shell hands its answer over in COM memory. ole32 is loaded only when a
// folder is first asked for, not at program start.
void FreeComMemory(void* block) {
    using Free = void(WINAPI*)(void*);
    static Free free = [] {
        HMODULE ole = LoadLibraryW(L"ole32.dll");
        return ole ? reinterpret_cast<Free>(reinterpret_cast<void*>(GetProcAddress(ole, "CoTaskMemFree")))
                   : nullptr;
    }();
    if (free) free(block);
}

}  // namespace

std::u16string Win32KnownFolders::ShellFolder(const GUID& id) {
    wchar_t* path = nullptr;
    std::u16string folder;
    auto get = shell32_.Find<decltype(&::SHGetKnownFolderPath)>("SHGetKnownFolderPath");
    if (get && get(id, 0, nullptr, &path) == S_OK && path) folder = FromWide(path);
    if (path) FreeComMemory(path);
    return folder;
}

std::u16string Win32KnownFolders::Path(KnownFolder folder) {
    switch (folder) {
    case KnownFolder::Windows: {
        UINT size = GetWindowsDirectoryW(nullptr, 0);
        std::u16string path(size, u'\0');
        UINT length = size ? GetWindowsDirectoryW(reinterpret_cast<wchar_t*>(path.data()), size) : 0;
        path.resize(length < size ? length : 0);
        return path;
    }
    case KnownFolder::ProgramFiles: return ShellFolder(kProgramFiles);
    case KnownFolder::Desktop: return ShellFolder(kDesktop);
    case KnownFolder::Startup: return ShellFolder(kStartup);
    case KnownFolder::StartMenu: return ShellFolder(kStartMenu);
    }
    return u"";
}

std::u16string Win32Environment::Variable(const std::u16string& name) {
    DWORD size = GetEnvironmentVariableW(Wide(name), nullptr, 0);
    if (size == 0) return u"";
    std::u16string value(size, u'\0');
    DWORD length = GetEnvironmentVariableW(Wide(name), reinterpret_cast<wchar_t*>(value.data()), size);
    value.resize(length < size ? length : 0);
    return value;
}

}  // namespace marvolt
