#pragma once
#include <cstdint>
#include <string>

namespace marvolt {

// What a program's version resource says it is.
struct FileVersion {
    std::u16string originalName;  // "OriginalFilename"
    std::uint32_t major = 0;      // the first two parts of the file version
    std::uint32_t minor = 0;
};

class FileVersionReader {
  public:
    virtual ~FileVersionReader() = default;
    // False when the file has no version resource that names it.
    virtual bool ReadFileVersion(const std::u16string& file, FileVersion& version) = 0;
};

}  // namespace marvolt
