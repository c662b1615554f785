// The hidden window that takes the system's events, under Wine: a device-change
// broadcast, a default endpoint changed in Wine's own settings (its endpoint
// audio tells its clients) and the timer. The hotkey is tested end to end.
#include "platform/win32/system_events_win32.h"

#include "tests/win32/win32_test_support.h"

namespace marvolt {
namespace {

struct MockListener : SystemEventsListener {
    MOCK_METHOD(void, OnHotkey, (int), (override));
    MOCK_METHOD(void, OnDevicesChanged, (), (override));
    MOCK_METHOD(void, OnDefaultDeviceChanged, (), (override));
    MOCK_METHOD(void, OnTimer, (), (override));
};

const wchar_t kWineAudio[] = L"Software\\Wine\\Drivers\\winepulse.drv";

TEST(SystemEventsWin32, ReportsDeviceChangesDefaultChangesAndTheTimer) {
    ::testing::NiceMock<MockListener> listener;
    int defaults = 0, timers = 0;
    EXPECT_CALL(listener, OnDevicesChanged()).Times(1);  // for one kind of change only
    ON_CALL(listener, OnDefaultDeviceChanged()).WillByDefault([&] { ++defaults; });
    ON_CALL(listener, OnTimer()).WillByDefault([&] { ++timers; });
    SystemEventsWin32 events;
    events.Listen(listener);
    ASSERT_NE(events.Hwnd(), nullptr);

    // Sent to every top-level window, as the system does when a device comes.
    for (WPARAM event : {0x0018 /* another kind */, 0x0007 /* DBT_DEVNODES_CHANGED */})
        SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, event, 0, SMTO_ABORTIFHUNG, 2000,
                            nullptr);

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
}

}  // namespace
}  // namespace marvolt
