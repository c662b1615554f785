#pragma once
#include "platform/shell_notify.h"
#include "platform/win32/late_library.h"

namespace marvolt {

class ShellNotifyWin32 : public ShellNotify {
public:
    bool NotifyIcon(NotifyAction action, const NotifyIconRecord& record) override;

private:
    // The shell is loaded with the first icon: a second start, which only
    // hands over, never maps it.
    LateLibrary shell32_{L"shell32.dll"};
};

}  // namespace marvolt
