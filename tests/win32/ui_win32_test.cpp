// The notification-area icon on real windows: the tray protocol the
// end-to-end journeys can't see from outside.
// <windows.h> before the headers that build on it: the order is kept by hand.
// clang-format off
#include <windows.h>

#include <shellapi.h>

#include <optional>

#include "platform/win32/menu_api_win32.h"
#include "platform/win32/shell_notify_win32.h"
#include "platform/win32/tray_window_win32.h"
#include "tests/win32/win32_test_support.h"
#include "tray/system_tray.h"
// clang-format on

namespace marvolt {
namespace {

struct MockTarget : TrayTarget {
    MOCK_METHOD(void, OnTrayMenu, (const Text&), (override));
    MOCK_METHOD(NativeHandle, IconHandle, (), (override));
    MOCK_METHOD(Text, Caption, (), (override));
    MOCK_METHOD(void, SetVisible, (bool), (override));
    MOCK_METHOD(void, SetWindowStateNormal, (), (override));
    MOCK_METHOD(WindowGeometry, Geometry, (), (override));
    MOCK_METHOD(void, SetGeometry, (const WindowGeometry&), (override));
};
struct MockPending : PendingEvents {
    MOCK_METHOD(void, ProcessPending, (), (override));
};
struct MockActivation : WindowActivation {
    MOCK_METHOD(bool, ActivateByTitle, (const Text&), (override));
    MOCK_METHOD(bool, Activate, (NativeHandle), (override));
};

// Whether the shell shows the icon (window, id): a change of nothing succeeds
// only for an icon it has.
bool ShellHasIcon(HWND window, NativeHandle id) {
    NOTIFYICONDATAA probe{NOTIFYICONDATAA_V1_SIZE, window, static_cast<UINT>(id)};
    return Shell_NotifyIconA(NIM_MODIFY, &probe);
}

// A hidden top-level tool window, owned by a hidden one (no taskbar button while
// the menu shows it), holds the icon, with a tip that fills its field. The
// shell's report comes as a mouse move with the whole mouse message in lParam: a
// right release opens the menu, the window shown off screen while it is open. A
// close request leaves the window; Unload ends both. (The icon taken off and
// put back as the window hides and shows: end to end.)
TEST(SystemTrayWin32, HiddenToolWindowHoldsTheIconAndOpensTheMenuOffScreen) {
    // Under Wine the desktop process builds the taskbar once a program asks for the desktop.
    GetDesktopWindow();
    ASSERT_TRUE(PumpUntil([] { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; }, 20000));
    const NativeHandle icon =
        reinterpret_cast<NativeHandle>(LoadIconW(nullptr, MAKEINTRESOURCEW(32516)));
    ShellNotifyWin32 shell;
    TrayWindowFactoryWin32 windows;
    MenuApiWin32 menus;
    ::testing::NiceMock<MockPending> pending;
    ::testing::NiceMock<MockActivation> activation;
    ::testing::NiceMock<MockTarget> target;
    ON_CALL(target, IconHandle()).WillByDefault(::testing::Return(icon));
    std::optional<SystemTray> tray{std::in_place, target,
                                   SystemTrayServices{shell, windows, menus, pending, activation}};
    tray->AddTrayIcon(target, Text(80, u'x'), true, target, u"A,B");
    HWND window = reinterpret_cast<HWND>(tray->WindowHandle());
    EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow());
    EXPECT_FALSE(IsWindowVisible(window) || IsWindowVisible(GetWindow(window, GW_OWNER)));
    EXPECT_TRUE(GetWindow(window, GW_OWNER) &&
                (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW));
    EXPECT_TRUE(ShellHasIcon(window, icon));
    RECT place{};
    WhenShown inMenu(L"#32768", [&](HWND open) {
        if (IsWindowVisible(window)) GetWindowRect(window, &place);
        PostMessageW(open, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(WM_RBUTTONUP, 3));  // a real move
    ASSERT_FALSE(inMenu.Fired());
    SendMessageW(window, WM_MOUSEMOVE, 0, WM_RBUTTONUP);
    EXPECT_TRUE(inMenu.Fired() && place.right < 0) << "the tray window did not show off screen";
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window) && ShellHasIcon(window, icon));
    tray->Unload();
    EXPECT_FALSE(IsWindow(window) || ShellHasIcon(window, icon));
}

}  // namespace
}  // namespace marvolt
