#include "platform/win32/file_system_win32.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"

namespace marvolt {

namespace {

bool WriteLines(const std::u16string& path, const std::vector<std::u16string>& lines, DWORD disposition) {
    std::string bytes;
    for (const std::u16string& line : lines) bytes += ToAnsi(line) + "\r\n";
    UniqueFile file(CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file) return false;
    DWORD written = 0;
    bool ok = bytes.empty() || (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                          &written, nullptr) &&
                                written == bytes.size());
    file.reset();
    // A new file that could not be written completely is not left behind.
    if (!ok && disposition == CREATE_NEW) DeleteFileW(Wide(path));
    return ok;
}

}  // namespace

bool Win32FileSystem::WriteTextFile(const std::u16string& path, const std::vector<std::u16string>& lines) {
    return WriteLines(path, lines, CREATE_ALWAYS);
}

bool Win32FileSystem::CreateNewTextFile(const std::u16string& path,
                                        const std::vector<std::u16string>& lines) {
    return WriteLines(path, lines, CREATE_NEW);
}

// Any file matching the name counts, wildcards allowed; folders do not.
bool Win32FileSystem::FileExists(const std::u16string& path) {
    WIN32_FIND_DATAW found;
    UniqueFindHandle search(FindFirstFileW(Wide(path), &found));
    if (!search) return false;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
    } while (FindNextFileW(search.get(), &found));
    return false;
}

bool Win32FileSystem::RemoveFile(const std::u16string& path) { return DeleteFileW(Wide(path)) != 0; }

std::u16string Win32FileSystem::CurrentDirectory() {
    DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return u"";
    std::u16string directory(size, u'\0');
    DWORD length = GetCurrentDirectoryW(size, reinterpret_cast<wchar_t*>(directory.data()));
    directory.resize(length < size ? length : 0);
    return directory;
}

bool Win32FileSystem::ChangeDirectory(const std::u16string& path) {
    return SetCurrentDirectoryW(Wide(path)) != 0;
}

std::u16string Win32FileSystem::TempFolder() {
    wchar_t buffer[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) return u"";
    std::u16string folder = FromWide(buffer, length);
    if (folder.back() != u'\\') folder += u'\\';
    return folder;
}

}  // namespace marvolt
