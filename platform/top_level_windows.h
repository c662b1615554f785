#pragma once
#include <string>

#include "platform/native_handle.h"

namespace marvolt {

constexpr int kShowRestore = 9;  // SW_RESTORE

// Calls on top-level windows by handle.
class TopLevelWindows {
public:
    virtual ~TopLevelWindows() = default;
    // FindWindowA: 0 when no top-level window has that class and title.
    virtual NativeHandle FindByClassAndTitle(const std::u16string& windowClass,
                                             const std::u16string& title) = 0;
    virtual void ShowAsync(NativeHandle window, int showCommand) = 0;   // ShowWindowAsync
    // SetWindowPos with HWND_TOPMOST or HWND_NOTOPMOST, SWP_NOSIZE | SWP_NOMOVE.
    virtual void SetTopmost(NativeHandle window, bool topmost) = 0;
};

}  // namespace marvolt
