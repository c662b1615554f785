#pragma once
#include "platform/process_launcher.h"

namespace marvolt {

class Win32ProcessLauncher : public ProcessLauncher {
public:
    std::uint32_t StartProcess(const std::u16string& commandLine, int showStyle) override;
};

}  // namespace marvolt
