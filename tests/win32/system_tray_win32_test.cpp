#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <optional>

#include "platform/fakes/fake_tray.h"
#include "platform/fakes/fake_windows.h"
#include "platform/win32/menu_api_win32.h"
#include "platform/win32/shell_notify_win32.h"
#include "platform/win32/tray_window_win32.h"
#include "tests/win32/win32_test_support.h"
#include "tray/system_tray.h"

namespace marvolt {
namespace {

HWND Taskbar() { return ::FindWindowW(L"Shell_TrayWnd", nullptr); }

// Under Wine the desktop process, which owns the taskbar, starts when a program
// first asks for the desktop window, and builds the taskbar a moment later.
bool TaskbarReady() {
    ::GetDesktopWindow();
    return PumpUntil([] { return Taskbar() != nullptr; }, 20000);
}

// Whether the shell shows the icon (window, id): a change of nothing succeeds
// only for an icon it has.
bool ShellHasIcon(HWND window, NativeHandle id) {
    NOTIFYICONDATAA probe{};
    probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
    probe.hWnd = window;
    probe.uID = static_cast<UINT>(id);
    return ::Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

// A mouse event on the first icon of the taskbar, which the shell reports to the
// icon's window.
void MouseOnFirstIcon(UINT message) {
    HWND taskbar = Taskbar();
    RECT client{};
    ::GetClientRect(taskbar, &client);
    ::PostMessageW(taskbar, message, 0, MAKELPARAM(client.right - 10, client.bottom / 2));
}

class RecordingShell : public ShellNotify {
public:
    bool NotifyIcon(NotifyAction action, const NotifyIconRecord& record) override {
        bool accepted = real_.NotifyIcon(action, record);
        results.push_back({action, accepted});
        return accepted;
    }
    std::vector<std::pair<NotifyAction, bool>> results;

private:
    ShellNotifyWin32 real_;
};

TEST(ShellNotifyWin32, AddsChangesAndRemovesARealIcon) {
    ASSERT_TRUE(TaskbarReady()) << "no notification area: is the Wine desktop on?";
    HWND window = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr, nullptr);
    NotifyIconRecord record;
    record.cbSize = kNotifyFirstFormSize;
    record.hWnd = reinterpret_cast<NativeHandle>(window);
    record.uID = 41;
    record.uFlags = kNotifyMessage | kNotifyIcon | kNotifyTip;
    record.uCallbackMessage = kTrayCallbackMessage;
    record.hIcon = reinterpret_cast<NativeHandle>(::LoadIconW(nullptr, MAKEINTRESOURCEW(32512)));
    record.szTip = TrayTipField(u"Speakers");

    ShellNotifyWin32 shell;
    EXPECT_TRUE(shell.NotifyIcon(NotifyAction::Add, record));
    EXPECT_TRUE(ShellHasIcon(window, 41));
    EXPECT_FALSE(shell.NotifyIcon(NotifyAction::Add, record));  // already there
    record.szTip = TrayTipField(std::u16string(80, u'x'));      // a full field, no NUL
    EXPECT_TRUE(shell.NotifyIcon(NotifyAction::Modify, record));
    EXPECT_TRUE(shell.NotifyIcon(NotifyAction::Delete, record));
    EXPECT_FALSE(ShellHasIcon(window, 41));
    EXPECT_FALSE(shell.NotifyIcon(NotifyAction::Delete, record));
    EXPECT_FALSE(shell.NotifyIcon(NotifyAction::Modify, record));
    ::DestroyWindow(window);
}

class SystemTrayWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TaskbarReady()) << "no notification area: is the Wine desktop on?";
        mainWindow.icon =
            reinterpret_cast<NativeHandle>(::LoadIconW(nullptr, MAKEINTRESOURCEW(32516)));
        tray.emplace(mainWindow, SystemTrayServices{shell, windows, menus, pending, activation});
    }
    void TearDown() override {
        tray.reset();
        for (const auto& [window, id] : added)
            EXPECT_FALSE(ShellHasIcon(window, id)) << "an icon outlived the tray";
    }

    // Adds the icon and remembers which one the shell should show.
    HWND Add(const std::u16string& tip, bool openMenuOnClick, const std::u16string& menuString) {
        tray->AddTrayIcon(mainWindow, tip, openMenuOnClick, mainWindow, menuString);
        HWND window = reinterpret_cast<HWND>(tray->WindowHandle());
        added.push_back({window, mainWindow.icon});
        return window;
    }

    RecordingShell shell;
    TrayWindowFactoryWin32 windows;
    MenuApiWin32 menus;
    FakePendingEvents pending;
    FakeWindowActivation activation;
    FakeTrayTarget mainWindow{"main"};
    std::optional<SystemTray> tray;
    std::vector<std::pair<HWND, NativeHandle>> added;
};

TEST_F(SystemTrayWin32Test, HiddenTopLevelWindowOwnsTheIconUntilUnloaded) {
    HWND window = Add(u"Speakers", true, u"A,B");
    NativeHandle id = mainWindow.icon;
    ASSERT_TRUE(::IsWindow(window));
    EXPECT_FALSE(::IsWindowVisible(window));
    wchar_t caption[64] = {};
    ::GetWindowTextW(window, caption, 64);
    EXPECT_STREQ(caption, L"SystemTray");
    EXPECT_EQ(::GetAncestor(window, GA_PARENT), ::GetDesktopWindow()) << "not a top-level window";
    // Owned and a tool window: no taskbar button while the menu shows it.
    HWND owner = ::GetWindow(window, GW_OWNER);
    EXPECT_NE(owner, nullptr);
    EXPECT_FALSE(::IsWindowVisible(owner));
    EXPECT_TRUE(::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(::SendMessageW(window, WM_GETICON, ICON_BIG, 0), static_cast<LRESULT>(id));
    EXPECT_TRUE(ShellHasIcon(window, id));

    tray->ChangeToolTipText(u"  Headset");
    NativeHandle picture =
        reinterpret_cast<NativeHandle>(::LoadIconW(nullptr, MAKEINTRESOURCEW(32515)));
    tray->ChangeIcon_Picture(picture);
    EXPECT_EQ(::SendMessageW(window, WM_GETICON, ICON_BIG, 0), static_cast<LRESULT>(picture));
    Add(u"again", true, u"");  // refused: the icon is there
    EXPECT_TRUE(ShellHasIcon(window, id));
    EXPECT_FALSE(ShellHasIcon(window, picture));
    ::SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(window)) << "a close request destroyed the tray's window";

    tray->RemoveTrayIcon();
    EXPECT_FALSE(ShellHasIcon(window, id));
    Add(u"back", true, u"");
    EXPECT_TRUE(ShellHasIcon(window, id));
    tray->Unload();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(ShellHasIcon(window, id));

    using R = std::pair<NotifyAction, bool>;
    EXPECT_EQ(shell.results, (std::vector<R>{{NotifyAction::Add, true},
                                             {NotifyAction::Modify, true},
                                             {NotifyAction::Modify, true},
                                             {NotifyAction::Add, false},
                                             {NotifyAction::Delete, true},
                                             {NotifyAction::Add, true},
                                             {NotifyAction::Delete, true}}));
}

TEST_F(SystemTrayWin32Test, ShellClicksOpenTheMenuAndRestoreTheWindow) {
    HWND window = Add(u"Speakers", true, u"Alpha, Beta, -, Gamma");
    ASSERT_TRUE(ShellHasIcon(window, mainWindow.icon));

    bool shownDuringMenu = false;
    RECT placeDuringMenu{};
    std::vector<MenuEntry> entries;
    {
        WhenMenuOpens inMenu([&] {
            shownDuringMenu = ::IsWindowVisible(window);
            ::GetWindowRect(window, &placeDuringMenu);
            entries = ReadMenu(reinterpret_cast<HMENU>(tray->DynamicTrayPopupMenu()->hwnd()));
            ChooseWithKeys(2);
        });
        MouseOnFirstIcon(WM_RBUTTONUP);
        ASSERT_TRUE(PumpUntil([&] { return !mainWindow.chosen.empty(); }));
        EXPECT_TRUE(inMenu.Fired());
    }
    EXPECT_EQ(mainWindow.chosen, (std::vector<std::u16string>{u"Beta"}));
    EXPECT_EQ(entries, (std::vector<MenuEntry>{{1, "Alpha"}, {2, "Beta"}, {3, "-"}, {4, "Gamma"}}));
    EXPECT_TRUE(shownDuringMenu);
    EXPECT_LT(placeDuringMenu.right, 0) << "the tray window showed on screen";
    EXPECT_FALSE(::IsWindowVisible(window));

    MouseOnFirstIcon(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(window); }));
    EXPECT_TRUE(mainWindow.visible);
    EXPECT_TRUE(mainWindow.normal);
    EXPECT_EQ(pending.calls, 1);
    EXPECT_EQ(activation.activated, (std::vector<std::u16string>{mainWindow.caption}));
    EXPECT_FALSE(ShellHasIcon(window, mainWindow.icon));
}

TEST_F(SystemTrayWin32Test, SyntheticCallbacksRouteByTheMouseMessageInLParam) {
    HWND window = Add(u"tip", false, u"A");
    // A real mouse move at (0x202, 3) is no click report; a right release does
    // nothing without the open-menu flag.
    ::SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(WM_LBUTTONUP, 3));
    ::SendMessageW(window, WM_MOUSEMOVE, 0, WM_RBUTTONUP);
    ASSERT_TRUE(::IsWindow(window));
    EXPECT_FALSE(mainWindow.visible);
    ::SendMessageW(window, WM_MOUSEMOVE, 0, WM_LBUTTONUP);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_TRUE(mainWindow.visible);
}

TEST_F(SystemTrayWin32Test, ChoiceThatUnloadsTheTrayDestroysTheWindowAfterTheMenu) {
    HWND window = Add(u"tip", true, u"Exit");
    bool windowDuringCallee = false;
    mainWindow.onTrayMenu = [&](const std::u16string&) {
        tray->RemoveTrayIcon();
        tray->Unload();
        windowDuringCallee = ::IsWindow(window);
    };
    WhenMenuOpens inMenu([] { ChooseWithKeys(1); });
    ::SendMessageW(window, WM_MOUSEMOVE, 0, WM_RBUTTONUP);
    EXPECT_TRUE(inMenu.Fired());
    EXPECT_EQ(mainWindow.chosen, (std::vector<std::u16string>{u"Exit"}));
    EXPECT_TRUE(windowDuringCallee);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(tray->WindowHandle(), 0u);
}

TEST_F(SystemTrayWin32Test, TaskbarCreatedBringsAShownIconBack) {
    HWND window = Add(u"Speakers", true, u"");
    // The shell forgets the icon, as a restarted Explorer does.
    NOTIFYICONDATAA gone{};
    gone.cbSize = NOTIFYICONDATAA_V1_SIZE;
    gone.hWnd = window;
    gone.uID = static_cast<UINT>(mainWindow.icon);
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &gone));

    UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    ::SendMessageW(window, taskbarCreated, 0, 0);
    EXPECT_TRUE(ShellHasIcon(window, mainWindow.icon));

    tray->RemoveTrayIcon();
    ::SendMessageW(window, taskbarCreated, 0, 0);
    EXPECT_FALSE(ShellHasIcon(window, mainWindow.icon));
}

}  // namespace
}  // namespace marvolt
