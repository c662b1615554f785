#include "platform/win32/process_launcher_win32.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace marvolt {

std::uint32_t Win32ProcessLauncher::StartProcess(const std::u16string& commandLine, int showStyle) {
    if (commandLine.empty()) return 0;
    // CreateProcessW may write into the command line it is given.
    std::u16string buffer = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showStyle);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, reinterpret_cast<wchar_t*>(buffer.data()), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &process)) {
        return 0;
    }
    UniqueKernelHandle processHandle(process.hProcess);
    UniqueKernelHandle threadHandle(process.hThread);
    return process.dwProcessId;
}

}  // namespace marvolt
