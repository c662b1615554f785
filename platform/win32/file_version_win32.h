#pragma once
#include "platform/file_version.h"
#include "platform/win32/late_library.h"

namespace marvolt {

// Reads the resource with version.dll, loaded when first asked: a start that
// only hands over never maps it.
class Win32FileVersionReader : public FileVersionReader {
  public:
    bool ReadFileVersion(const std::u16string& file, FileVersion& version) override;

  private:
    LateLibrary library_{L"version.dll"};
};

}  // namespace marvolt
