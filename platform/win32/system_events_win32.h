#pragma once
#include <windows.h>
#include <mmdeviceapi.h>

#include "platform/system_events.h"
#include "platform/win32/late_library.h"
#include "platform/win32/unique_handle.h"

namespace marvolt {


// A hidden top-level window (device-change broadcasts reach no message-only
// window) that takes the hotkey, WM_DEVICECHANGE, the endpoint notifications
// and the timer, and reports them on the thread that made it. The endpoint
// notifications need COM: ole32 is loaded once the message loop runs idle,
// not at start.
class SystemEventsWin32 final : public SystemEvents {
public:
    static constexpr wchar_t kClassName[] = L"MarvoltSystemEvents";

    SystemEventsWin32() = default;
    ~SystemEventsWin32() override;
    SystemEventsWin32(const SystemEventsWin32&) = delete;
    SystemEventsWin32& operator=(const SystemEventsWin32&) = delete;

    void Listen(SystemEventsListener& listener) override;
    HotkeyState SetHotkey(int slot, const Hotkey& hotkey) override;
    std::uint32_t Ticks() override;
    void StartTimer(std::uint32_t milliseconds) override;

    HWND Hwnd() const { return window_.get(); }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void ListenToEndpoints();

    SystemEventsListener* listener_ = nullptr;
    UniqueHwnd window_;
    int hotkeySlots_ = 0;  // above the highest slot ever set
    LateLibrary ole32_{L"ole32.dll"};
    bool comInitialized_ = false;
    UniqueCom<IMMDeviceEnumerator> enumerator_;
    UniqueCom<IMMNotificationClient> client_;
};

}  // namespace marvolt
