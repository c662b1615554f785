#pragma once
#include <cstdint>
#include <string>

namespace marvolt {

// Starts a command line as a new process, never waiting for it.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // showStyle: a show-window style, 1 = normal and activated.
    // Returns the new process's id, 0 when it could not be started.
    virtual std::uint32_t StartProcess(const std::u16string& commandLine, int showStyle) = 0;
};

}  // namespace marvolt
