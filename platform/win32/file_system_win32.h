#pragma once
#include "platform/file_system.h"

namespace marvolt {

// Text files are written in the system's ANSI code page.
class Win32FileSystem : public FileSystem {
public:
    bool WriteTextFile(const std::u16string& path, const std::vector<std::u16string>& lines) override;
    bool CreateNewTextFile(const std::u16string& path, const std::vector<std::u16string>& lines) override;
    bool FileExists(const std::u16string& path) override;
    bool RemoveFile(const std::u16string& path) override;
    std::u16string CurrentDirectory() override;
    bool ChangeDirectory(const std::u16string& path) override;
    std::u16string TempFolder() override;
};

}  // namespace marvolt
