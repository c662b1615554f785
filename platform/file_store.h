#pragma once
// The file system's own calls on wide paths of any length.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace marvolt {

struct FoundEntry {
    std::u16string name;
    bool folder = false;
    bool link = false;  // a junction or symbolic link: not to be entered
};

struct DateTime {
    int year, month, day, hour, minute, second;
    bool operator==(const DateTime& o) const {
        return year == o.year && month == o.month && day == o.day && hour == o.hour &&
               minute == o.minute && second == o.second;
    }
};

enum class PathKind { Missing, File, Folder };

class FileStore {
public:
    virtual ~FileStore() = default;
    // Entries matching a folder path followed by a wildcard pattern, "." and ".." left out.
    virtual std::vector<FoundEntry> Find(const std::u16string& pattern) = 0;
    virtual std::vector<std::u16string> Drives() = 0;  // "C:", "D:", ...
    // The drive's current folder; empty when the drive is not ready.
    virtual std::u16string DriveFolder(char16_t drive) = 0;
    virtual PathKind Kind(const std::u16string& path) = 0;
    // Moves in one step; with `replace` an existing destination is replaced only
    // once the move has succeeded.
    virtual bool Move(const std::u16string& source, const std::u16string& destination, bool replace) = 0;
    virtual std::optional<DateTime> CreationTime(const std::u16string& path) = 0;  // local time
    // The whole converted name; empty when the call fails.
    virtual std::u16string ShortName(const std::u16string& path) = 0;
    virtual std::u16string LongName(const std::u16string& path) = 0;
    // Appends UTF-8 lines ending in CR LF, creating the file when absent.
    virtual bool AppendLines(const std::u16string& path, const std::vector<std::u16string>& lines) = 0;
    virtual bool Remove(const std::u16string& path) = 0;
};

}  // namespace marvolt
