#include "platform/win32/file_probe_win32.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"
#include "product.h"

namespace marvolt {

std::uint32_t Win32FileProbe::Attributes(const std::u16string& path) {
    return path.empty() ? kNoSuchPath : ::GetFileAttributesW(Wide(path));
}

// Tried, not inferred from access lists: a file made and dropped at once.
bool Win32FileProbe::CanWriteIn(const std::u16string& folder) {
    std::u16string probe = folder;
    if (!probe.empty() && probe.back() != u'\\') probe += u'\\';
    probe += u"~marvolt-write-probe.tmp";
    UniqueFile file(::CreateFileW(Wide(probe), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return static_cast<bool>(file);
}

bool Win32FileProbe::RemoveFile(const std::u16string& path) { return ::DeleteFileW(Wide(path)) != 0; }

// %LOCALAPPDATA%\<product>\, the user's own and never roaming.
std::u16string Win32FileProbe::UserDownloadFolder() {
    wchar_t base[MAX_PATH];
    DWORD length = ::GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) length = ::GetTempPathW(MAX_PATH, base);
    std::u16string folder = FromWide(base, length);
    if (!folder.empty() && folder.back() != u'\\') folder += u'\\';
    folder += u"" MARVOLT_PRODUCT u"\\";
    ::CreateDirectoryW(Wide(folder), nullptr);
    return folder;
}

}  // namespace marvolt
