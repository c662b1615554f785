#pragma once
#include "platform/top_level_windows.h"

namespace marvolt {

class Win32TopLevelWindows : public TopLevelWindows {
public:
    NativeHandle FindByClassAndTitle(const std::u16string& windowClass,
                                     const std::u16string& title) override;
    void ShowAsync(NativeHandle window, int showCommand) override;
    void SetTopmost(NativeHandle window, bool topmost) override;
};

}  // namespace marvolt
