// The hidden window that takes the system's events, under Wine: a device-change
// broadcast, a default endpoint changed in Wine's own settings (its endpoint
// audio tells its clients), the timer, and a hotkey held elsewhere.
#include <windows.h>

#include "platform/win32/system_events_win32.h"
#include "tests/win32/win32_test_support.h"

namespace marvolt {
namespace {

struct MockListener : SystemEventsListener {
    MOCK_METHOD(void, OnHotkey, (), (override));
    MOCK_METHOD(void, OnDevicesChanged, (), (override));
    MOCK_METHOD(void, OnDefaultDeviceChanged, (), (override));
    MOCK_METHOD(void, OnTimer, (), (override));
};

const wchar_t kWineAudio[] = L"Software\\Wine\\Drivers\\winepulse.drv";

TEST(SystemEventsWin32, ReportsDevicesDefaultsTheTimerAndATakenHotkey) {
    ::testing::NiceMock<MockListener> listener;
    int devices = 0, defaults = 0, timers = 0;
    ON_CALL(listener, OnDevicesChanged()).WillByDefault([&] { ++devices; });
    ON_CALL(listener, OnDefaultDeviceChanged()).WillByDefault([&] { ++defaults; });
    ON_CALL(listener, OnTimer()).WillByDefault([&] { ++timers; });
    SystemEventsWin32 events;
    events.Listen(listener);
    ASSERT_NE(events.Hwnd(), nullptr);

    // Sent to every top-level window, as the system does when a device comes.
    for (WPARAM event : {0x0018 /* another kind */, 0x0007 /* DBT_DEVNODES_CHANGED */})
        SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, event, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
    EXPECT_EQ(devices, 1);

    // Wine's endpoint audio tells its clients of a default set in its settings,
    // from a thread of its own that starts watching a moment after Listen.
    for (int attempt = 0; attempt < 20 && defaults == 0; ++attempt) {
        const std::wstring value = L"marvolt-test-" + std::to_wstring(attempt);
        RegSetKeyValueW(HKEY_CURRENT_USER, kWineAudio, L"DefaultOutput", REG_SZ, value.c_str(),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        PumpUntil([&] { return defaults > 0; }, 250);
    }
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kWineAudio, L"DefaultOutput");
    EXPECT_GT(defaults, 0);

    events.StartTimer(20);
    EXPECT_TRUE(PumpUntil([&] { return timers == 1; }));
    Pump();
    EXPECT_EQ(timers, 1) << "one wait, one report";

    // Held by another window: taken. Once free, it is registered; "none" lets it go again.
    const Hotkey hotkey{VK_F10, kHotkeyControl | kHotkeyAlt};
    ASSERT_TRUE(RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT, VK_F10));
    EXPECT_EQ(events.SetHotkey(hotkey), HotkeyState::Taken);
    UnregisterHotKey(nullptr, 7);
    EXPECT_EQ(events.SetHotkey(hotkey), HotkeyState::Registered);
    EXPECT_FALSE(RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT, VK_F10));
    EXPECT_EQ(events.SetHotkey({}), HotkeyState::Registered);
    EXPECT_TRUE(RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT, VK_F10));
    UnregisterHotKey(nullptr, 7);
}

}  // namespace
}  // namespace marvolt
