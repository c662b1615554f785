#pragma once
#include "platform/file_probe.h"

namespace marvolt {

class Win32FileProbe : public FileProbe {
public:
    std::uint32_t Attributes(const std::u16string& path) override;
    bool CanWriteIn(const std::u16string& folder) override;
    bool RemoveFile(const std::u16string& path) override;
    std::u16string UserDownloadFolder() override;
};

}  // namespace marvolt
