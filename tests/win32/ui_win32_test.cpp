// The program's own user interface on real windows: the notification-area icon
// and what a person does in the settings window that the end-to-end journeys
// leave out.
// <windows.h> before the headers that build on it: the order is kept by hand.
// clang-format off
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <optional>

#include "app/device_cycle.h"
#include "platform/win32/menu_api_win32.h"
#include "platform/win32/shell_notify_win32.h"
#include "platform/win32/tray_window_win32.h"
#include "tests/win32/win32_test_support.h"
#include "tray/system_tray.h"
#include "windows/main_window_view_win32.h"
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
// close request leaves the window; removing takes the icon off; Unload ends both.
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
    tray->RemoveTrayIcon();
    EXPECT_FALSE(ShellHasIcon(window, icon));
    tray->AddTrayIcon(target, u"back", true, target, u"");
    EXPECT_TRUE(ShellHasIcon(window, icon));
    tray->Unload();
    EXPECT_FALSE(IsWindow(window) || ShellHasIcon(window, icon));
}

// What the settings window tells the logic, with what the logic would read then.
struct RecordingEvents : MainWindowEvents {
    explicit RecordingEvents(MainWindowView& view) : view(view) {}
    void OnPlayCheckClick() override {}
    void OnRecordCheckClick() override {}
    void OnStartupCheckClick() override {}
    void OnAutoRunCheckClick() override {}
    void OnStartupComboLostFocus() override { log += "ComboLostFocus,"; }
    void OnDeviceListDoubleClick() override {
        log += "Row " + std::to_string(view.DeviceList().SelectedIndex()) + ",";
    }
    void OnSetBtnClick() override {}
    void OnCommand1Click() override {}
    void OnExitBtnClick() override {}
    void OnWebPageClick() override {}
    void OnLabel1Click() override {}
    void OnHotkeyBoxChange() override { log += ToUtf8(HotkeyText(view.HotkeyBox().Value())) + ","; }
    void OnCycleListClick() override {
        log += "Cycle " + std::to_string(view.CycleList().Ticked(0)) + ",";
    }
    void OnResize() override {
        log += view.Window().State() == WindowState::Minimized ? "Min," : "Resize,";
    }
    bool OnQueryUnload() override { return false; }
    void OnUnload() override {}
    MainWindowView& view;
    std::string log;
};

// A double click on a row raises the list's event with that row selected, a
// single click nothing; the combo reports losing the focus. In the hotkey box a
// key alone gets Ctrl+Alt, a modifier let go alone leaves the hotkey, Backspace
// clears it; unticking a device in the cycle list tells. The user's minimise
// tells once the window is minimised.
TEST(MainWindowViewWin32, WhatAPersonDoesReachesTheLogic) {
    auto view = MainWindowViewWin32::Create(GetModuleHandleW(nullptr), false);
    RecordingEvents events{*view};
    view->SetEvents(&events);
    view->MakeControls();
    HWND window = view->Hwnd();
    ShowWindow(window, SW_SHOWNORMAL), SetForegroundWindow(window), Pump();
    events.log.clear();
    for (const char16_t* name : {u"PulseAudio", u"Speakers", u"Headset"})
        view->DeviceList().AddItem(name);
    HWND list = GetDlgItem(window, kIdDeviceList);
    RECT row{};
    SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    for (UINT click : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}) {
        SendMessageW(list, click, MK_LBUTTON, MAKELPARAM(5, row.top + 2));
        SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(5, row.top + 2));
    }
    // In the combo the focus lands in its edit field.
    for (int id : {kIdStartupCombo, kIdDeviceList}) SetFocus(GetDlgItem(window, id)), Pump();
    SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0), Pump();
    view->HotkeyBox().SetValue({0x7B, kHotkeyControl | kHotkeyAlt});
    view->CycleList().AddItem(u"Speakers", true);
    for (auto [message, key] : {std::pair{WM_KEYDOWN, VK_F9},
                                {WM_KEYDOWN, VK_CONTROL},
                                {WM_KEYUP, VK_CONTROL},
                                {WM_KEYDOWN, VK_BACK}}) {
        MSG typed{GetDlgItem(window, kIdHotkeyBox),
                  static_cast<UINT>(message),
                  static_cast<WPARAM>(key),
                  0,
                  0,
                  {}};
        EXPECT_TRUE(view->PreTranslate(typed));
        if (message == WM_KEYUP) events.log += ToUtf8(HotkeyText(view->HotkeyBox().Value())) + ",";
    }
    LVITEMW clear{0, 0, 0, INDEXTOSTATEIMAGEMASK(1), LVIS_STATEIMAGEMASK};
    SendDlgItemMessageW(window, kIdCycleList, LVM_SETITEMSTATE, 0,
                        reinterpret_cast<LPARAM>(&clear));
    EXPECT_EQ(events.log, "Row 1,ComboLostFocus,Min,Ctrl+Alt+F9,Ctrl+Alt+F9,none,Cycle 0,");
}

}  // namespace
}  // namespace marvolt
