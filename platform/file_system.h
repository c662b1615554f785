#pragma once
#include <string>
#include <vector>

namespace marvolt {

// Files and the current directory. Paths are full Windows paths.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Creates the file or overwrites it, writing each line followed by CR LF.
    // Fails (false) rather than replace a file it cannot write.
    virtual bool WriteTextFile(const std::u16string& path, const std::vector<std::u16string>& lines) = 0;
    // Creates the file only if no file of that name exists; false otherwise.
    virtual bool CreateNewTextFile(const std::u16string& path, const std::vector<std::u16string>& lines) = 0;
    virtual bool FileExists(const std::u16string& path) = 0;
    virtual bool RemoveFile(const std::u16string& path) = 0;
    virtual std::u16string CurrentDirectory() = 0;
    virtual bool ChangeDirectory(const std::u16string& path) = 0;
    virtual std::u16string TempFolder() = 0;  // ends in "\"
};

}  // namespace marvolt
