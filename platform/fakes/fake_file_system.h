#pragma once
// An in-memory file system: files by full path, folders that refuse new files,
// a current directory and a temporary folder. Mutations are logged.
#include <map>
#include <string>
#include <vector>

#include "platform/fakes/simple_fakes.h"
#include "platform/file_system.h"

namespace marvolt {

class FakeFileSystem : public FileSystem {
public:
    explicit FakeFileSystem(CallLog* log = nullptr) : log_(log) {}

    bool WriteTextFile(const std::u16string& path, const std::vector<std::u16string>& lines) override;
    bool CreateNewTextFile(const std::u16string& path, const std::vector<std::u16string>& lines) override;
    bool FileExists(const std::u16string& path) override { return files.count(path) != 0; }
    bool RemoveFile(const std::u16string& path) override;
    std::u16string CurrentDirectory() override { return currentDirectory; }
    bool ChangeDirectory(const std::u16string& path) override;
    std::u16string TempFolder() override { return tempFolder; }

    std::map<std::u16string, std::vector<std::u16string>> files;  // path -> lines
    // Folders ("C:\\") in which creating or writing a file fails.
    std::vector<std::u16string> readOnlyFolders;
    std::u16string currentDirectory = u"C:\\Work";
    std::u16string tempFolder = u"C:\\Users\\Me\\AppData\\Local\\Temp\\";
    std::vector<std::u16string> removed;  // every successful RemoveFile, in order

private:
    bool Writable(const std::u16string& path) const;
    CallLog* log_;
};

}  // namespace marvolt
