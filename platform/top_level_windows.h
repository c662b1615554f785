#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/native_handle.h"

namespace marvolt {

constexpr int kShowRestore = 9;  // SW_RESTORE

// Calls on top-level windows by handle.
class TopLevelWindows {
public:
    virtual ~TopLevelWindows() = default;
    // A top-level window of that class that belongs to that process; 0 when none does.
    virtual NativeHandle FindByClassInProcess(const std::u16string& windowClass,
                                              std::uint32_t processId) = 0;
    virtual void ShowAsync(NativeHandle window, int showCommand) = 0;   // ShowWindowAsync
    // SetWindowPos with HWND_TOPMOST or HWND_NOTOPMOST, SWP_NOSIZE | SWP_NOMOVE,
    // without activating the window.
    virtual void SetTopmost(NativeHandle window, bool topmost) = 0;
    virtual bool IsTopmost(NativeHandle window) = 0;  // WS_EX_TOPMOST
    // Hands the bytes to the window as WM_COPYDATA tagged `tag` and waits up to
    // `timeoutMs` for its answer; nothing when none came in time.
    virtual std::optional<long> SendData(NativeHandle window, std::uint32_t tag,
                                         const std::vector<std::uint8_t>& bytes, unsigned timeoutMs) = 0;
};

}  // namespace marvolt
