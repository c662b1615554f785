// The program's own user interface on real windows: the popup menu, the
// notification-area icon, the always-on-top pin and the settings window.
// <windows.h> before the headers that build on it: the order is kept by hand.
// clang-format off
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <optional>
#include <stdexcept>

#include "app/device_cycle.h"
#include "on_top/pin_pictures.h"
#include "platform/win32/main_window_view_win32.h"
#include "platform/win32/menu_api_win32.h"
#include "platform/win32/pin_control.h"
#include "platform/win32/shell_notify_win32.h"
#include "platform/win32/tray_window_win32.h"
#include "popup_menu/dynamic_popup_menu.h"
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

// The real shell, with a log of its answers: "A+" an add it took, "D-" a delete it refused.
struct RecordingShell : ShellNotifyWin32 {
    bool NotifyIcon(NotifyAction action, const NotifyIconRecord& record) override {
        bool accepted = ShellNotifyWin32::NotifyIcon(action, record);
        log += std::string(1, "AMD"[static_cast<int>(action)]) + (accepted ? "+ " : "- ");
        return accepted;
    }
    std::string log;
};

NativeHandle Icon(int id) {
    return reinterpret_cast<NativeHandle>(LoadIconW(nullptr, MAKEINTRESOURCEW(id)));
}

// Whether the shell shows the icon (window, id): a change of nothing succeeds only for an icon it
// has.
bool ShellHasIcon(HWND window, NativeHandle id, DWORD action = NIM_MODIFY) {
    NOTIFYICONDATAA probe{NOTIFYICONDATAA_V1_SIZE, window, static_cast<UINT>(id)};
    return Shell_NotifyIconA(action, &probe);
}

struct SystemTrayWin32 : ::testing::Test {
    void SetUp() override {
        // Under Wine the desktop process builds the taskbar once a program asks for the desktop.
        GetDesktopWindow();
        ASSERT_TRUE(
            PumpUntil([] { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; }, 20000));
        ON_CALL(target, IconHandle()).WillByDefault(::testing::Return(icon));
        ON_CALL(target, Caption()).WillByDefault(::testing::Return(u"Marvolt 1.01"));
    }
    void TearDown() override {
        tray.reset();
        EXPECT_FALSE(ShellHasIcon(window, icon)) << "an icon outlived the tray";
    }
    void Add(const Text& tip, bool menuOnClick, const Text& items) {
        tray->AddTrayIcon(target, tip, menuOnClick, target, items);
        window = reinterpret_cast<HWND>(tray->WindowHandle());
    }
    LRESULT WindowIcon() { return SendMessageW(window, WM_GETICON, ICON_BIG, 0); }

    NativeHandle icon = Icon(32516);
    HWND window = nullptr;
    RecordingShell shell;
    TrayWindowFactoryWin32 windows;
    MenuApiWin32 menus;
    ::testing::NiceMock<MockPending> pending;
    ::testing::NiceMock<MockActivation> activation;
    ::testing::NiceMock<MockTarget> target;
    std::optional<SystemTray> tray{std::in_place, target,
                                   SystemTrayServices{shell, windows, menus, pending, activation}};
};

// A hidden top-level tool window, owned by a hidden one (no taskbar button while
// the menu shows it), holds the icon; the shell takes it once; a close request
// leaves the window; Unload ends both. A tip that fills its field is taken. The
// shell's report comes as a mouse move with the whole mouse message in lParam: a
// right release opens the menu, the window shown off screen while it is open.
TEST_F(SystemTrayWin32, HiddenToolWindowHoldsTheIconAndOpensTheMenuOffScreen) {
    Add(Text(80, u'x'), true, u"A,B");
    EXPECT_EQ(WindowTextOf(window), u"SystemTray");
    EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow());
    EXPECT_FALSE(IsWindowVisible(window) || IsWindowVisible(GetWindow(window, GW_OWNER)));
    EXPECT_TRUE(GetWindow(window, GW_OWNER) &&
                (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW));
    EXPECT_EQ(WindowIcon(), static_cast<LRESULT>(icon));
    EXPECT_TRUE(ShellHasIcon(window, icon));
    RECT place{};
    WhenShown inMenu(L"#32768", [&](HWND open) {
        if (IsWindowVisible(window)) GetWindowRect(window, &place);
        PostMessageW(open, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    SendMessageW(window, WM_MOUSEMOVE, 0,
                 MAKELPARAM(WM_RBUTTONUP, 3));  // a real move at (0x205, 3)
    ASSERT_FALSE(inMenu.Fired());
    SendMessageW(window, WM_MOUSEMOVE, 0, WM_RBUTTONUP);
    EXPECT_TRUE(inMenu.Fired() && place.right < 0) << "the tray window did not show off screen";
    tray->ChangeToolTipText(u"  Headset");
    tray->ChangeIcon_Picture(Icon(32515));
    EXPECT_EQ(WindowIcon(), static_cast<LRESULT>(Icon(32515)));
    Add(u"again", true, u"");  // changes the icon that is there
    SendMessageW(window, WM_CLOSE, 0, 0);
    tray->RemoveTrayIcon();
    EXPECT_FALSE(ShellHasIcon(window, icon));
    Add(u"back", true, u"");
    tray->Unload();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(shell.log, "A+ M+ M+ M+ D+ A+ D+ ");
}

struct MockPinEvents : PinEvents {
    MOCK_METHOD(void, OnMouseMoveOverPicture, (PinPicture), (override));
    MOCK_METHOD(void, OnMouseLeave, (), (override));
    MOCK_METHOD(void, OnClickPicture, (PinPicture), (override));
};

// 21 x 20 at (10, 5) in 96-DPI pixels, no other size taken, with its tooltip; each
// picture drawn pixel for pixel, the parent's background where it is transparent.
// A click is a press and a release on the control; a release without a press, or
// after the pointer left, is none. Events go to the receiver bound last. The
// control outlives its parent window.
TEST(PinControlWin32, DrawnAsDesignedAndPassesMouseEventsToTheEventsBoundLast) {
    UniqueHwnd parent = MakeTestWindow(L"pin parent");
    ::testing::StrictMock<MockPinEvents> first;
    auto pin = PinControl::Create(parent.get(), 1001, 10, 5, first);
    ASSERT_TRUE(pin);
    SetWindowPos(pin->Handle(), nullptr, 0, 0, 100, 3, SWP_NOMOVE | SWP_NOZORDER);
    RECT rect;
    GetWindowRect(pin->Handle(), &rect);
    MapWindowPoints(nullptr, parent.get(), reinterpret_cast<POINT*>(&rect), 2);
    const int width = Dpi(21), height = Dpi(20);
    EXPECT_EQ(Ints({rect.left, rect.top, rect.right, rect.bottom}),
              Ints({Dpi(10), Dpi(5), Dpi(10) + width, Dpi(5) + height}));
    wchar_t tip[80] = {};
    TOOLINFOW tool{TTTOOLINFOW_V2_SIZE, 0, parent.get(), reinterpret_cast<UINT_PTR>(pin->Handle())};
    tool.lpszText = tip;
    SendMessageW(FindWindowW(TOOLTIPS_CLASSW, nullptr), TTM_GETTEXTW, 80,
                 reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(tip, L"Always on top");
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, -height, 1, 32}, {}};
    std::uint32_t* bits = nullptr;  // 0x00RRGGBB
    HDC dc = CreateCompatibleDC(nullptr);
    UniqueHbitmap bitmap(
        CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0));
    HGDIOBJ old = SelectObject(dc, bitmap.get());
    for (PinPicture picture : {PinPicture::Disabled, PinPicture::Enabled, PinPicture::MouseMove}) {
        pin->ShowPicture(picture);
        SendMessageW(pin->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        GdiFlush();
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const int px = x * 96 / Dpi(96), py = y * 96 / Dpi(96);
                const PinColor c = PinPaletteColor(PinPixelIndex(picture, px, py));
                const COLORREF want = PinPixelTransparent(picture, px, py)
                                          ? kParentBackground
                                          : RGB(c.red, c.green, c.blue);
                const std::uint32_t got = bits[y * width + x];
                wrong += RGB(got >> 16 & 0xff, got >> 8 & 0xff, got & 0xff) != want;
            }
        EXPECT_EQ(wrong, 0) << "pixels wrong in picture " << static_cast<int>(picture);
    }
    SelectObject(dc, old), DeleteDC(dc);

    MockPinEvents second;
    pin->SetEvents(second);
    ::testing::InSequence order;
    EXPECT_CALL(second, OnMouseMoveOverPicture(PinPicture::MouseMove));
    EXPECT_CALL(second, OnClickPicture(PinPicture::MouseMove));
    EXPECT_CALL(second, OnMouseLeave());
    for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN,
                         WM_MOUSELEAVE, WM_LBUTTONUP})
        SendMessageW(pin->Handle(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                     MAKELPARAM(3, 3));
    HWND control = pin->Handle();
    parent.reset();
    EXPECT_FALSE(IsWindow(control) || pin->Handle());
    pin->ShowPicture(PinPicture::Enabled);
}

// Logs every event as "name value," with what the logic would read at that moment.
struct RecordingEvents : MainWindowEvents {
    explicit RecordingEvents(MainWindowView& view) : view(view) {}
    void OnPlayCheckClick() override { Click("PlayCheck", view.PlayCheck()); }
    void OnRecordCheckClick() override { Click("RecordCheck", view.RecordCheck()); }
    void OnStartupCheckClick() override { Click("StartupCheck", view.StartupCheck()); }
    void OnAutoRunCheckClick() override { Click("AutoRunCheck", view.AutoRunCheck()); }
    void OnStartupComboLostFocus() override { log += "ComboLostFocus,"; }
    void OnDeviceListDoubleClick() override {
        log += "Row " + std::to_string(view.DeviceList().SelectedIndex()) + ",";
    }
    void OnSetBtnClick() override { log += "SetBtn,"; }
    void OnCommand1Click() override { log += "Command1,"; }
    void OnExitBtnClick() override { log += "ExitBtn,"; }
    void OnWebPageClick() override { log += "WebPage,"; }
    void OnLabel1Click() override { log += "Label1,"; }
    void OnHotkeyBoxChange() override { log += ToUtf8(HotkeyText(view.HotkeyBox().Value())) + ","; }
    void OnCycleListClick() override {
        log += "Cycle " + std::to_string(view.CycleList().Ticked(0)) + ",";
    }
    void OnResize() override {
        log += view.Window().State() == WindowState::Minimized ? "Min," : "Resize,";
    }
    bool OnQueryUnload() override { return log += "QueryUnload,", cancelClose; }
    void OnUnload() override { log += "Unload,"; }
    void Click(const std::string& name, CheckBoxControl& box) {
        log += name + " " + std::to_string(box.Value()) + ",";
        if (throwOnClick) throw std::runtime_error("handler failed");
    }
    MainWindowView& view;
    std::string log;
    bool cancelClose = false, throwOnClick = false;
};

struct MainWindowViewWin32Test : ::testing::Test {
    void SetUp() override { view->SetEvents(&events), view->MakeControls(); }
    HWND Control(int id) { return GetDlgItem(window, id); }
    RECT Rect(int id) {
        RECT rect{};
        GetWindowRect(Control(id), &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    void Press(int id, UINT down = WM_LBUTTONDOWN, LPARAM at = MAKELPARAM(2, 2)) {
        SendMessageW(Control(id), down, MK_LBUTTON, at),
            SendMessageW(Control(id), WM_LBUTTONUP, 0, at);
    }
    std::unique_ptr<MainWindowViewWin32> view =
        MainWindowViewWin32::Create(GetModuleHandleW(nullptr), false);
    HWND window = view->Hwnd();
    RecordingEvents events{*view};
};

// With its icons; each control shown inside its frame or the window, none
// covering another, with the styles the logic depends on: rows in the order
// added, free text in the combo, clicks from the list and the links, "&" in a
// device name as written. (Its class, and that it starts hidden: end to end.)
TEST_F(MainWindowViewWin32Test, WindowAndControlsAreLaidOutAsDesigned) {
    EXPECT_TRUE(SendMessageW(window, WM_GETICON, ICON_BIG, 0) &&
                SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    ASSERT_TRUE(view->Pin() && view->Pin()->Handle() == Control(kIdAlwaysOnTop1));
    RECT client{}, overlap;
    GetClientRect(window, &client);
    const LONG_PTR box = BS_AUTOCHECKBOX, link = SS_NOTIFY | SS_NOPREFIX;
    const struct {
        int id, frame;  // frame 0: directly on the window
        LONG_PTR mask, style;
    } controls[] = {
        // clang-format off
        {kIdFrame2, 0, 0, 0}, {kIdAutoRunCheck, kIdFrame2, BS_TYPEMASK, box},
        {kIdStartupCheck, kIdFrame2, BS_TYPEMASK, box}, {kIdStartupCombo, kIdFrame2, 3 | CBS_SORT, CBS_DROPDOWN},
        {kIdFrame1, 0, 0, 0}, {kIdDeviceList, kIdFrame1, LBS_SORT | LBS_NOTIFY, LBS_NOTIFY},
        {kIdPlayCheck, kIdFrame1, BS_TYPEMASK, box}, {kIdRecordCheck, kIdFrame1, BS_TYPEMASK, box},
        {kIdCurrentCardTxt, kIdFrame1, SS_NOPREFIX, SS_NOPREFIX}, {kIdSetBtn, kIdFrame1, 0, 0},
        {kIdFrame3, 0, 0, 0}, {kIdHotkeyTxt, kIdFrame3, 0, 0}, {kIdHotkeyBox, kIdFrame3, WS_TABSTOP, WS_TABSTOP},
        {kIdHotkeyNoteTxt, kIdFrame3, SS_NOPREFIX, SS_NOPREFIX},
        {kIdCycleList, kIdFrame3, LVS_TYPEMASK | LVS_SINGLESEL, LVS_REPORT | LVS_SINGLESEL},
        {kIdCommand1, 0, 0, 0}, {kIdExitBtn, 0, 0, 0}, {kIdLabel1, 0, link, link}, {kIdWebPage, 0, link, link},
        {kIdAlwaysOnTop1, 0, 0, 0}};  // clang-format on
    std::vector<RECT> loose;          // the controls that are no frames
    for (const auto& c : controls) {
        RECT rect = Rect(c.id), outer = c.frame ? Rect(c.frame) : client;
        EXPECT_TRUE(HasVisibleStyle(Control(c.id))) << c.id;
        EXPECT_EQ(GetWindowLongPtrW(Control(c.id), GWL_STYLE) & c.mask, c.style) << c.id;
        EXPECT_TRUE(IntersectRect(&overlap, &rect, &outer) && EqualRect(&overlap, &rect))
            << c.id << " sticks out";
        if (c.id != kIdFrame1 && c.id != kIdFrame2 && c.id != kIdFrame3) loose.push_back(rect);
    }
    for (size_t a = 0; a < loose.size(); ++a)
        for (size_t b = a + 1; b < loose.size(); ++b)
            EXPECT_FALSE(IntersectRect(&overlap, &loose[a], &loose[b]));
    const RECT frame1 = Rect(kIdFrame1), frame2 = Rect(kIdFrame2), frame3 = Rect(kIdFrame3),
               pin = loose.back();
    for (const auto& [a, b] : {std::pair{frame1, frame2}, std::pair{pin, frame1},
                               std::pair{pin, frame2}, std::pair{frame3, frame1}})
        EXPECT_FALSE(IntersectRect(&overlap, &a, &b));
}

// A box raises its click once its value changed, with the new value in place;
// the same value again, or one that is no box value, raises nothing. Buttons and
// links raise their clicks, the plain label nothing; a handler that fails does
// not unwind through the window.
TEST_F(MainWindowViewWin32Test, ControlsRaiseTheirEvents) {
    const std::tuple<CheckBoxControl&, int, std::string> boxes[] = {
        {view->PlayCheck(), kIdPlayCheck, "PlayCheck"},
        {view->RecordCheck(), kIdRecordCheck, "RecordCheck"},
        {view->StartupCheck(), kIdStartupCheck, "StartupCheck"},
        {view->AutoRunCheck(), kIdAutoRunCheck, "AutoRunCheck"}};
    for (const auto& [box, id, name] : boxes) {
        events.log.clear();
        for (int value : {0, 1, 1, 7}) box.SetValue(value);
        EXPECT_EQ(SendMessageW(Control(id), BM_GETCHECK, 0, 0), BST_CHECKED);
        box.SetValue(0);
        SendMessageW(Control(id), BM_CLICK, 0, 0);  // a real click toggles it
        EXPECT_EQ(events.log, name + " 1," + name + " 0," + name + " 1,");
    }
    events.log.clear();
    for (int id : {kIdSetBtn, kIdCommand1, kIdExitBtn}) SendMessageW(Control(id), BM_CLICK, 0, 0);
    for (int id : {kIdLabel1, kIdWebPage, kIdCurrentCardTxt}) Press(id);
    EXPECT_EQ(events.log, "SetBtn,Command1,ExitBtn,Label1,WebPage,");
    events.throwOnClick = true;
    SendMessageW(Control(kIdPlayCheck), BM_CLICK, 0, 0);
    EXPECT_EQ(view->PlayCheck().Value(), 0);
    // The hotkey box and the list tell of a person's changes, not of the
    // logic's: a key alone gets Ctrl+Alt; a modifier pressed and let go alone
    // leaves the hotkey; Backspace clears it.
    events.log.clear();
    view->HotkeyBox().SetValue({0x7B, kHotkeyControl | kHotkeyAlt});
    view->CycleList().AddItem(u"Speakers", true);
    for (auto [message, key] : {std::pair{WM_KEYDOWN, VK_F9},
                                {WM_KEYDOWN, VK_CONTROL},
                                {WM_KEYUP, VK_CONTROL},
                                {WM_KEYUP, VK_F9},
                                {WM_KEYDOWN, VK_BACK}}) {
        MSG typed{
            Control(kIdHotkeyBox), static_cast<UINT>(message), static_cast<WPARAM>(key), 0, 0, {}};
        EXPECT_TRUE(view->PreTranslate(typed));
        if (key == VK_F9) events.log += ToUtf8(HotkeyText(view->HotkeyBox().Value())) + ",";
    }
    LVITEMW clear{0, 0, 0, INDEXTOSTATEIMAGEMASK(1), LVIS_STATEIMAGEMASK};
    SendMessageW(Control(kIdCycleList), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&clear));
    EXPECT_EQ(events.log, "Ctrl+Alt+F9,Ctrl+Alt+F9,Ctrl+Alt+F9,none,Cycle 0,");
}

// A double click on a row raises the list's event with that row selected, a single
// click nothing; the combo reports losing the focus, and only that. Tab walks the
// controls in reading order (the combo hidden, as with the start-up option off);
// Space on a focused box ticks it, as a click does.
TEST_F(MainWindowViewWin32Test, MouseAndKeyboardReachTheControlsAsAPersonUsesThem) {
    ShowWindow(window, SW_SHOWNORMAL), SetForegroundWindow(window), Pump();
    events.log.clear();
    for (const char16_t* name : {u"PulseAudio", u"Speakers", u"Headset"})
        view->DeviceList().AddItem(name);
    RECT row{};
    SendMessageW(Control(kIdDeviceList), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    for (UINT click : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK})
        Press(kIdDeviceList, click, MAKELPARAM(5, row.top + 2));
    // In the combo the focus lands in its edit field.
    for (int id : {kIdStartupCombo, kIdDeviceList, kIdPlayCheck}) SetFocus(Control(id)), Pump();
    EXPECT_EQ(events.log, "Row 1,ComboLostFocus,");
    view->StartupCombo().SetVisible(false);
    SetFocus(Control(kIdAutoRunCheck));
    Ints order;
    for (int step = 0; step < 10; ++step) {
        MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        EXPECT_TRUE(view->PreTranslate(tab));
        order.push_back(GetDlgCtrlID(GetFocus()));
    }
    EXPECT_EQ(order, Ints({kIdStartupCheck, kIdDeviceList, kIdPlayCheck, kIdRecordCheck, kIdSetBtn,
                           kIdHotkeyBox, kIdCycleList, kIdCommand1, kIdExitBtn, kIdAutoRunCheck}));
    SetFocus(Control(kIdPlayCheck));
    events.log.clear();
    for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
        MSG space{Control(kIdPlayCheck), message, VK_SPACE, 0x00390001, 0, {}};
        if (!view->PreTranslate(space)) DispatchMessageW(&space);
    }
    Pump();
    EXPECT_EQ(events.log, "PlayCheck 1,");
}

// Resize comes once the new state is known, for the program's and the user's
// minimise alike, and not without a change; minimised or hidden, the window
// keeps its state and the place it goes back to.
TEST_F(MainWindowViewWin32Test, StateChangesRaiseResizeAfterTheStateIsKnown) {
    FormWindow& form = view->Window();
    form.SetVisible(true);
    const WindowGeometry normal = form.Geometry();
    events.log.clear();
    form.SetState(WindowState::Minimized), form.SetState(WindowState::Minimized);
    EXPECT_EQ(events.log, "Min,");
    const WindowGeometry minimized = form.Geometry();
    EXPECT_EQ(Ints({minimized.left, minimized.top, minimized.width}),
              Ints({normal.left, normal.top, normal.width}));
    for (bool visible : {false, true}) {
        form.SetVisible(visible);
        EXPECT_EQ(Ints({form.Visible(), IsIconic(window), form.State() == WindowState::Minimized}),
                  Ints({visible, 1, 1}));
    }
    events.log.clear();
    form.SetState(WindowState::Normal);
    EXPECT_EQ(form.State(), WindowState::Normal);
    EXPECT_THAT(events.log, ::testing::EndsWith("Resize,"));
    events.log.clear();
    SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0), Pump();
    EXPECT_EQ(events.log, "Min,");
}

// Closing asks the logic and stays open when it cancels; a closed test window
// leaves the message loop alone, the program's ends it; a gone window's controls
// answer empty and take changes quietly.
TEST_F(MainWindowViewWin32Test, CloseAsksTheLogicAndStaysOpenWhenItCancels) {
    MSG quit;
    for (bool cancel : {true, false}) {
        events.cancelClose = cancel;
        SendMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(Ints({IsWindow(window), view->Hwnd() == window}), Ints({cancel, cancel}));
    }
    EXPECT_EQ(events.log, "QueryUnload,QueryUnload,Unload,");
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    view->DeviceList().AddItem(u"Speakers");
    EXPECT_EQ(view->DeviceList().Count(), 0);
    SendMessageW(MainWindowViewWin32::Create(GetModuleHandleW(nullptr), true)->Hwnd(), WM_CLOSE, 0,
                 0);
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// Rows keep the order added, duplicates and all, out-of-range rows read empty;
// emptying the combo keeps its text (a stored device stays visible by name); the
// combo's own visibility counts, also while the window is hidden. A window not
// yet shown has no controls but answers the same, raises a box's click, and its
// controls show what was set once it is shown.
TEST_F(MainWindowViewWin32Test, ListAndComboKeepTheirRowsAndTextBeforeAndAfterTheControlsAreMade) {
    const Text names[] = {u"Lautsprecher \u00c4", u"Speakers", u"Headset", u"Speakers",
                          u"Kopfh\u00f6rer & Mikro"};
    auto waiting = MainWindowViewWin32::Create(GetModuleHandleW(nullptr), false);
    RecordingEvents waitingEvents{*waiting};
    waiting->SetEvents(&waitingEvents);
    for (MainWindowViewWin32* v : {view.get(), waiting.get()}) {
        ListBoxControl& list = v->DeviceList();
        ComboBoxControl& combo = v->StartupCombo();
        Text rows;
        for (const Text& name : names) list.AddItem(name), combo.AddItem(name);
        for (int i = -1; i <= 5; ++i) rows += list.ItemText(i) + u"|" + combo.ItemText(i) + u"|";
        Text expected = u"||";
        for (const Text& name : names) expected += name + u"|" + name + u"|";
        EXPECT_EQ(rows, expected + u"||");
        list.SetSelectedIndex(3);
        EXPECT_EQ(list.SelectedIndex(), 3);
        EXPECT_EQ(combo.Text(), u"Combo1");
        combo.SetText(names[4]);
        combo.Clear();
        list.Clear();
        EXPECT_EQ(Ints({combo.Count(), list.Count(), list.SelectedIndex()}), Ints({0, 0, -1}));
        EXPECT_EQ(combo.Text(), names[4]);
        combo.SetVisible(false), combo.SetVisible(true);
        EXPECT_TRUE(combo.Visible() && !IsWindowVisible(v->Hwnd()));
        list.AddItem(names[0]);
        list.SetSelectedIndex(0);
        combo.SetVisible(false);
        v->PlayCheck().SetValue(1);
        v->CurrentCardTxt().SetCaption(u"Default Soundcard: Headset");
    }
    EXPECT_EQ(waitingEvents.log, "PlayCheck 1,");
    HWND w = waiting->Hwnd();
    EXPECT_FALSE(GetDlgItem(w, kIdDeviceList) || GetDlgItem(w, kIdStartupCombo));
    waiting->Window().SetVisible(true);
    const int list = kIdDeviceList;
    EXPECT_EQ(Ints({int(SendDlgItemMessageW(w, list, LB_GETCOUNT, 0, 0)),
                    int(SendDlgItemMessageW(w, list, LB_GETCURSEL, 0, 0)),
                    int(SendDlgItemMessageW(w, kIdPlayCheck, BM_GETCHECK, 0, 0)),
                    HasVisibleStyle(GetDlgItem(w, kIdStartupCombo))}),
              Ints({1, 0, BST_CHECKED, 0}));
    EXPECT_EQ(WindowTextOf(GetDlgItem(w, kIdStartupCombo)), names[4]);
    EXPECT_EQ(WindowTextOf(GetDlgItem(w, kIdCurrentCardTxt)), u"Default Soundcard: Headset");
    EXPECT_EQ(waiting->DeviceList().ItemText(0), names[0]);
}

}  // namespace
}  // namespace marvolt
