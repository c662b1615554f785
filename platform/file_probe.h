#pragma once
#include <cstdint>
#include <string>

namespace marvolt {

// File attribute bits as the system defines them.
constexpr std::uint32_t kAttrHidden = 0x2;
constexpr std::uint32_t kAttrSystem = 0x4;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kNoSuchPath = 0xFFFFFFFFu;  // INVALID_FILE_ATTRIBUTES

// What the file system says about a path, and the few changes the update makes.
class FileProbe {
public:
    virtual ~FileProbe() = default;
    virtual std::uint32_t Attributes(const std::u16string& path) = 0;  // kNoSuchPath when absent
    virtual bool CanWriteIn(const std::u16string& folder) = 0;
    virtual bool RemoveFile(const std::u16string& path) = 0;
    // This user's own folder for the program's downloads, created when missing; ends in "\".
    virtual std::u16string UserDownloadFolder() = 0;
};

}  // namespace marvolt
