#pragma once
#include "platform/top_level_windows.h"

namespace marvolt {

class Win32TopLevelWindows : public TopLevelWindows {
public:
    NativeHandle FindByClassInProcess(const std::u16string& windowClass,
                                      std::uint32_t processId) override;
    void ShowAsync(NativeHandle window, int showCommand) override;
    void SetTopmost(NativeHandle window, bool topmost) override;
    bool IsTopmost(NativeHandle window) override;
    std::optional<long> SendData(NativeHandle window, std::uint32_t tag, const std::vector<std::uint8_t>& bytes,
                                 unsigned timeoutMs) override;
};

}  // namespace marvolt
