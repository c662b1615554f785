#include "platform/win32/file_store_win32.h"

#include <windows.h>

#include "platform/text.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"

namespace marvolt {
namespace {

constexpr char16_t kLongPrefix[] = u"\\\\?\\";

// Full paths near or over MAX_PATH characters get the prefix that lifts the
// limit; shorter ones stay as they are, relative ones included.
std::u16string LongPath(const std::u16string& path) {
    if (path.size() < MAX_PATH - 12 || StartsWith(path, kLongPrefix)) return path;
    if (path.size() > 2 && path[1] == u':' && path[2] == u'\\') return kLongPrefix + path;
    if (StartsWith(path, u"\\\\")) return u"\\\\?\\UNC\\" + path.substr(2);
    return path;
}

std::u16string WithoutLongPrefix(std::u16string path, const std::u16string& asked) {
    if (StartsWith(asked, kLongPrefix) || !StartsWith(path, kLongPrefix)) return path;
    if (StartsWith(path, u"\\\\?\\UNC\\")) return u"\\\\" + path.substr(8);
    return path.substr(4);
}

using PathCall = DWORD(WINAPI*)(const wchar_t*, wchar_t*, DWORD);

// Asks again with the size the call reports, so that no name comes back cut.
std::u16string GrowingCall(const std::u16string& path, PathCall call) {
    const std::u16string asked = LongPath(path);
    std::u16string buffer(MAX_PATH, u'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD length = call(Wide(asked), reinterpret_cast<wchar_t*>(buffer.data()),
                            static_cast<DWORD>(buffer.size()));
        if (length == 0) return u"";
        if (length < buffer.size()) {
            buffer.resize(length);
            return WithoutLongPrefix(buffer, path);
        }
        buffer.assign(length, u'\0');
    }
    return u"";
}

DWORD WINAPI FullPath(const wchar_t* path, wchar_t* buffer, DWORD size) {
    return GetFullPathNameW(path, size, buffer, nullptr);
}

}  // namespace

std::vector<FoundEntry> Win32FileStore::Find(const std::u16string& pattern) {
    std::vector<FoundEntry> entries;
    WIN32_FIND_DATAW found;
    UniqueFindHandle search(
        FindFirstFileExW(Wide(LongPath(pattern)), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
    if (!search) return entries;
    do {
        std::u16string name = FromWide(found.cFileName);
        if (name == u"." || name == u"..") continue;
        const DWORD attributes = found.dwFileAttributes;
        const bool reparse = attributes & FILE_ATTRIBUTE_REPARSE_POINT;
        // Only junctions and symbolic links lead elsewhere; cloud placeholders
        // are reparse points too, and are entered.
        const bool link = reparse && (found.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT ||
                                      found.dwReserved0 == IO_REPARSE_TAG_SYMLINK);
        entries.push_back({name, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0, link});
    } while (FindNextFileW(search.get(), &found));
    return entries;
}

std::vector<std::u16string> Win32FileStore::Drives() {
    std::vector<std::u16string> drives;
    DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i)
        if (mask & (1u << i)) drives.push_back({char16_t(u'A' + i), u':'});
    return drives;
}

std::u16string Win32FileStore::DriveFolder(char16_t drive) {
    const std::u16string relative{drive, u':'};
    std::u16string folder = GrowingCall(relative, FullPath);
    return Kind(folder) == PathKind::Folder ? folder : u"";
}

PathKind Win32FileStore::Kind(const std::u16string& path) {
    if (path.empty()) return PathKind::Missing;
    DWORD attributes = GetFileAttributesW(Wide(LongPath(path)));
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathKind::Folder : PathKind::File;
}

bool Win32FileStore::Move(const std::u16string& source, const std::u16string& destination, bool replace) {
    DWORD flags = MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    return MoveFileExW(Wide(LongPath(source)), Wide(LongPath(destination)), flags) != 0;
}

std::optional<DateTime> Win32FileStore::CreationTime(const std::u16string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    FILETIME local;
    SYSTEMTIME time;
    if (!GetFileAttributesExW(Wide(LongPath(path)), GetFileExInfoStandard, &data) ||
        !FileTimeToLocalFileTime(&data.ftCreationTime, &local) || !FileTimeToSystemTime(&local, &time))
        return std::nullopt;
    return DateTime{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

std::u16string Win32FileStore::ShortName(const std::u16string& path) {
    return GrowingCall(path, GetShortPathNameW);
}

std::u16string Win32FileStore::LongName(const std::u16string& path) {
    return GrowingCall(path, GetLongPathNameW);
}

bool Win32FileStore::AppendLines(const std::u16string& path, const std::vector<std::u16string>& lines) {
    UniqueFile file(CreateFileW(Wide(LongPath(path)), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::string bytes;
    for (const std::u16string& line : lines) bytes += ToUtf8(line) + "\r\n";
    DWORD written = 0;
    return bytes.empty() ||
           (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size());
}

bool Win32FileStore::Remove(const std::u16string& path) { return DeleteFileW(Wide(LongPath(path))) != 0; }

}  // namespace marvolt
