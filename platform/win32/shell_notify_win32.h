#pragma once
#include "platform/shell_notify.h"

namespace marvolt {

class ShellNotifyWin32 : public ShellNotify {
public:
    bool NotifyIcon(NotifyAction action, const NotifyIconRecord& record) override;
};

}  // namespace marvolt
