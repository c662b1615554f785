// The settings window created for real: its controls, their events and the
// window's life cycle, observed through a recording MainWindowEvents.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/text.h"
#include "platform/win32/main_window_view_win32.h"
#include "platform/win32/win_text.h"

namespace marvolt {
namespace {

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::u16string ClassOf(HWND window) {
    wchar_t name[64] = {};
    int length = GetClassNameW(window, name, 64);
    return ToLowerAscii(FromWide(name, static_cast<size_t>(length)));
}

RECT ClientRectOf(HWND control, HWND parent) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

int Dpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// Records every event, with what the logic would read at that moment.
class RecordingEvents : public MainWindowEvents {
public:
    explicit RecordingEvents(MainWindowView& view) : view_(view) {}
    std::vector<std::string> calls;
    bool cancelClose = false;
    bool throwOnClick = false;

    void OnPlayCheckClick() override { Click("PlayCheck", view_.PlayCheck()); }
    void OnRecordCheckClick() override { Click("RecordCheck", view_.RecordCheck()); }
    void OnStartupCheckClick() override { Click("StartupCheck", view_.StartupCheck()); }
    void OnAutoRunCheckClick() override { Click("AutoRunCheck", view_.AutoRunCheck()); }
    void OnStartupComboLostFocus() override { calls.push_back("ComboLostFocus"); }
    void OnDeviceListDoubleClick() override {
        calls.push_back("DeviceListDoubleClick " + std::to_string(view_.DeviceList().SelectedIndex()));
    }
    void OnSetBtnClick() override { calls.push_back("SetBtn"); }
    void OnCommand1Click() override { calls.push_back("Command1"); }
    void OnExitBtnClick() override { calls.push_back("ExitBtn"); }
    void OnWebPageClick() override { calls.push_back("WebPage"); }
    void OnLabel1Click() override { calls.push_back("Label1"); }
    void OnResize() override {
        WindowState state = view_.Window().State();
        calls.push_back(state == WindowState::Minimized ? "Resize minimized"
                        : state == WindowState::Normal  ? "Resize normal"
                                                        : "Resize maximized");
    }
    bool OnQueryUnload() override {
        calls.push_back("QueryUnload");
        return cancelClose;
    }
    void OnUnload() override { calls.push_back("Unload"); }

private:
    void Click(const std::string& name, CheckBoxControl& box) {
        calls.push_back(name + " " + std::to_string(box.Value()));
        if (throwOnClick) throw std::runtime_error("handler failed");
    }
    MainWindowView& view_;
};

class MainWindowViewWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        view = MainWindowViewWin32::Create(GetModuleHandleW(nullptr), false);
        ASSERT_NE(view, nullptr);
        events = std::make_unique<RecordingEvents>(*view);
        view->SetEvents(events.get());
        window = view->Hwnd();
    }
    void TearDown() override {
        view.reset();
        PumpMessages();
    }
    HWND Control(int id) { return GetDlgItem(window, id); }
    void Show() {
        ShowWindow(window, SW_SHOWNORMAL);
        SetForegroundWindow(window);
        PumpMessages();
        events->calls.clear();
    }

    std::unique_ptr<MainWindowViewWin32> view;
    std::unique_ptr<RecordingEvents> events;
    HWND window = nullptr;
};

TEST_F(MainWindowViewWin32Test, WindowIsCreatedHiddenWithEmptyCaptionAndFixedSize) {
    EXPECT_EQ(ClassOf(window), ToLowerAscii(kMainWindowClass));
    // A second instance finds the running one by its class.
    EXPECT_NE(FindWindowW(Wide(kMainWindowClass), nullptr), nullptr);
    EXPECT_EQ(GetWindowTextLengthW(window), 0);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(view->Window().Visible());
    EXPECT_EQ(view->Window().State(), WindowState::Normal);

    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);

    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, MulDiv(278, Dpi(), 96));
    EXPECT_EQ(client.bottom, MulDiv(291, Dpi(), 96));

    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_NE(view->Window().IconHandle(), 0u);
}

TEST_F(MainWindowViewWin32Test, ControlsCarryTheirCaptionsAndSitInsideTheirFrames) {
    struct Expected {
        int id;
        const char16_t* windowClass;
        const char16_t* caption;
        int frame;  // 0: directly on the window
    };
    const Expected controls[] = {
        {kIdFrame2, u"button", u"Startup", 0},
        {kIdAutoRunCheck, u"button", u"Autostart with Windows", kIdFrame2},
        {kIdStartupCheck, u"button", u"Set on startup:", kIdFrame2},
        {kIdStartupCombo, u"combobox", u"Combo1", kIdFrame2},
        {kIdFrame1, u"button", u"", 0},
        {kIdDeviceList, u"listbox", u"", kIdFrame1},
        {kIdPlayCheck, u"button", u"For Playback", kIdFrame1},
        {kIdRecordCheck, u"button", u"For Record", kIdFrame1},
        {kIdCurrentCardTxt, u"static", u"Current Soundcard:", kIdFrame1},
        {kIdSetBtn, u"button", u"Set Soundcard", kIdFrame1},
        {kIdCommand1, u"button", u"Hide >>", 0},
        {kIdExitBtn, u"button", u"Exit", 0},
        {kIdLabel1, u"static", u"Update", 0},
        {kIdWebPage, u"static", u"Homepage", 0},
    };
    RECT client{};
    GetClientRect(window, &client);
    std::vector<std::pair<int, RECT>> loose;  // controls that are not frames
    for (const Expected& expected : controls) {
        SCOPED_TRACE(expected.id);
        HWND control = Control(expected.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(ClassOf(control), expected.windowClass);
        EXPECT_EQ(WindowTextOf(control), expected.caption);
        EXPECT_TRUE(HasVisibleStyle(control));
        RECT rect = ClientRectOf(control, window);
        EXPECT_TRUE(Inside(rect, client));
        if (expected.frame) {
            EXPECT_TRUE(Inside(rect, ClientRectOf(Control(expected.frame), window)));
        }
        if (expected.id != kIdFrame1 && expected.id != kIdFrame2) loose.emplace_back(expected.id, rect);
    }
    // The frames hold exactly their own controls.
    RECT frame1 = ClientRectOf(Control(kIdFrame1), window), frame2 = ClientRectOf(Control(kIdFrame2), window);
    RECT overlap{};
    EXPECT_FALSE(IntersectRect(&overlap, &frame1, &frame2));

    // The pin: 21 x 20 at 96 DPI, on the window, clear of every other control.
    if (HWND pin = Control(kIdAlwaysOnTop1)) {
        ASSERT_EQ(view->Pin()->Handle(), pin);
        RECT rect = ClientRectOf(pin, window);
        EXPECT_EQ(rect.right - rect.left, MulDiv(21, Dpi(), 96));
        EXPECT_EQ(rect.bottom - rect.top, MulDiv(20, Dpi(), 96));
        EXPECT_TRUE(Inside(rect, client));
        EXPECT_FALSE(IntersectRect(&overlap, &rect, &frame1));
        EXPECT_FALSE(IntersectRect(&overlap, &rect, &frame2));
        loose.emplace_back(kIdAlwaysOnTop1, rect);
    } else {
        ADD_FAILURE() << "the always-on-top pin is missing";
    }

    // No two controls cover each other (a closed combo's window is its field).
    for (size_t a = 0; a < loose.size(); ++a)
        for (size_t b = a + 1; b < loose.size(); ++b)
            EXPECT_FALSE(IntersectRect(&overlap, &loose[a].second, &loose[b].second))
                << loose[a].first << " overlaps " << loose[b].first;

    // Styles the logic depends on: rows keep their order, the combo takes free
    // text, the list reports double clicks, the links report clicks, and a
    // device name with "&" shows as written.
    auto style = [&](int id) { return GetWindowLongPtrW(Control(id), GWL_STYLE); };
    EXPECT_FALSE(style(kIdDeviceList) & LBS_SORT);
    EXPECT_TRUE(style(kIdDeviceList) & LBS_NOTIFY);
    EXPECT_EQ(style(kIdStartupCombo) & 3, CBS_DROPDOWN);
    EXPECT_FALSE(style(kIdStartupCombo) & CBS_SORT);
    for (int id : {kIdLabel1, kIdWebPage}) EXPECT_TRUE(style(id) & SS_NOTIFY) << id;
    for (int id : {kIdLabel1, kIdWebPage, kIdCurrentCardTxt}) EXPECT_TRUE(style(id) & SS_NOPREFIX) << id;
    for (int id : {kIdAutoRunCheck, kIdStartupCheck, kIdPlayCheck, kIdRecordCheck})
        EXPECT_EQ(style(id) & BS_TYPEMASK, BS_AUTOCHECKBOX) << id;
}

TEST_F(MainWindowViewWin32Test, CheckBoxRaisesItsClickOnlyWhenItsValueChanges) {
    struct Box {
        CheckBoxControl& control;
        int id;
        std::string name;
    };
    const Box boxes[] = {{view->PlayCheck(), kIdPlayCheck, "PlayCheck"},
                         {view->RecordCheck(), kIdRecordCheck, "RecordCheck"},
                         {view->StartupCheck(), kIdStartupCheck, "StartupCheck"},
                         {view->AutoRunCheck(), kIdAutoRunCheck, "AutoRunCheck"}};
    for (const Box& box : boxes) {
        SCOPED_TRACE(box.name);
        events->calls.clear();
        EXPECT_EQ(box.control.Value(), 0);
        box.control.SetValue(0);  // unchanged: no event
        box.control.SetValue(1);
        box.control.SetValue(1);  // unchanged
        box.control.SetValue(7);  // not a box value: refused
        EXPECT_EQ(box.control.Value(), 1);
        EXPECT_EQ(SendMessageW(Control(box.id), BM_GETCHECK, 0, 0), BST_CHECKED);
        box.control.SetValue(0);
        // A real click toggles the box and raises the same event.
        SendMessageW(Control(box.id), BM_CLICK, 0, 0);
        EXPECT_EQ(box.control.Value(), 1);
        // The handler sees the new value each time.
        EXPECT_EQ(events->calls,
                  (std::vector<std::string>{box.name + " 1", box.name + " 0", box.name + " 1"}));
    }
}

TEST_F(MainWindowViewWin32Test, ButtonsAndLinksRaiseTheirClicks) {
    const std::pair<int, std::string> buttons[] = {
        {kIdSetBtn, "SetBtn"}, {kIdCommand1, "Command1"}, {kIdExitBtn, "ExitBtn"}};
    for (const auto& [id, name] : buttons) {
        events->calls.clear();
        SendMessageW(Control(id), BM_CLICK, 0, 0);
        EXPECT_EQ(events->calls, std::vector<std::string>{name});
    }
    const std::pair<int, std::string> links[] = {{kIdLabel1, "Label1"}, {kIdWebPage, "WebPage"}};
    for (const auto& [id, name] : links) {
        events->calls.clear();
        SendMessageW(Control(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(Control(id), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        EXPECT_EQ(events->calls, std::vector<std::string>{name});
    }
    // A click on the plain label raises nothing.
    events->calls.clear();
    SendMessageW(Control(kIdCurrentCardTxt), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(Control(kIdCurrentCardTxt), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(events->calls.empty());
}

TEST_F(MainWindowViewWin32Test, LinksAreGreyUnderlinedSmallAndShowTheHand) {
    HDC dc = CreateCompatibleDC(nullptr);
    for (int id : {kIdLabel1, kIdWebPage}) {
        SCOPED_TRACE(id);
        SetTextColor(dc, RGB(0, 0, 0));
        SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Control(id)));
        EXPECT_EQ(GetTextColor(dc), RGB(128, 128, 128));

        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Control(id), WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_TRUE(font.lfUnderline);
        EXPECT_EQ(font.lfHeight, -MulDiv(825, Dpi(), 7200));

        EXPECT_EQ(SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(Control(id)),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
                  TRUE);
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));
    }
    // The other labels keep the system's colours and font.
    SetTextColor(dc, RGB(0, 0, 0));
    SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(Control(kIdCurrentCardTxt)));
    EXPECT_NE(GetTextColor(dc), RGB(128, 128, 128));
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Control(kIdCurrentCardTxt), WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_FALSE(font.lfUnderline);
    DeleteDC(dc);
}

TEST_F(MainWindowViewWin32Test, DoubleClickOnARowRaisesTheListEventWithThatRowSelected) {
    Show();
    ListBoxControl& list = view->DeviceList();
    for (const char16_t* name : {u"PulseAudio", u"Speakers", u"Headset"}) list.AddItem(name);
    RECT row{};
    SendMessageW(Control(kIdDeviceList), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    LPARAM at = MAKELPARAM(row.left + 5, (row.top + row.bottom) / 2);
    HWND listWindow = Control(kIdDeviceList);
    SendMessageW(listWindow, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(listWindow, WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(events->calls.empty());  // a single click sets nothing
    SendMessageW(listWindow, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(listWindow, WM_LBUTTONUP, 0, at);
    PumpMessages();
    EXPECT_EQ(events->calls, std::vector<std::string>{"DeviceListDoubleClick 1"});
}

TEST_F(MainWindowViewWin32Test, ComboRaisesLostFocusWhenTheFocusMovesAway) {
    Show();
    SetFocus(Control(kIdStartupCombo));  // the focus lands in the combo's edit field
    PumpMessages();
    EXPECT_TRUE(events->calls.empty());
    HWND focus = GetFocus();
    EXPECT_TRUE(focus == Control(kIdStartupCombo) || IsChild(Control(kIdStartupCombo), focus));
    SetFocus(Control(kIdDeviceList));
    PumpMessages();
    EXPECT_EQ(events->calls, std::vector<std::string>{"ComboLostFocus"});
    // Focus moving between other controls does not concern the combo.
    SetFocus(Control(kIdPlayCheck));
    PumpMessages();
    EXPECT_EQ(events->calls, std::vector<std::string>{"ComboLostFocus"});
}

TEST_F(MainWindowViewWin32Test, TabMovesThroughTheControlsInReadingOrder) {
    Show();
    view->StartupCombo().SetVisible(false);  // as with the start-up option off
    SetFocus(Control(kIdAutoRunCheck));
    std::vector<int> order;
    for (int step = 0; step < 8; ++step) {
        MSG tab{window, WM_KEYDOWN, VK_TAB, 0, 0, {}};
        tab.hwnd = GetFocus();
        EXPECT_TRUE(view->PreTranslate(tab));
        order.push_back(GetDlgCtrlID(GetFocus()));
    }
    EXPECT_EQ(order, (std::vector<int>{kIdStartupCheck, kIdDeviceList, kIdPlayCheck, kIdRecordCheck, kIdSetBtn,
                                       kIdCommand1, kIdExitBtn, kIdAutoRunCheck}));
    // Space on a focused check box ticks it, as a click does.
    SetFocus(Control(kIdPlayCheck));
    events->calls.clear();
    for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
        MSG space{Control(kIdPlayCheck), message, VK_SPACE, 0x00390001, 0, {}};
        if (!view->PreTranslate(space)) DispatchMessageW(&space);
    }
    PumpMessages();
    EXPECT_EQ(events->calls, std::vector<std::string>{"PlayCheck 1"});
}

TEST_F(MainWindowViewWin32Test, StateChangesRaiseResizeAfterTheStateIsKnown) {
    FormWindow& form = view->Window();
    Show();
    EXPECT_TRUE(form.Visible());
    WindowGeometry normal = form.Geometry();
    form.SetState(WindowState::Minimized);
    EXPECT_EQ(form.State(), WindowState::Minimized);
    EXPECT_TRUE(IsIconic(window));
    // Minimised, the geometry is still where the window goes back to.
    WindowGeometry minimized = form.Geometry();
    EXPECT_EQ(minimized.left, normal.left);
    EXPECT_EQ(minimized.top, normal.top);
    EXPECT_EQ(minimized.width, normal.width);
    form.SetState(WindowState::Minimized);  // no change, no event
    EXPECT_EQ(events->calls, std::vector<std::string>{"Resize minimized"});

    // Hidden, it still reads minimized; showing keeps the state.
    form.SetVisible(false);
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(form.State(), WindowState::Minimized);
    form.SetVisible(true);
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(form.State(), WindowState::Minimized);

    events->calls.clear();
    form.SetState(WindowState::Normal);
    EXPECT_EQ(form.State(), WindowState::Normal);
    ASSERT_FALSE(events->calls.empty());
    EXPECT_EQ(events->calls.back(), "Resize normal");

    // A user's minimise (the system menu command) runs the same event.
    events->calls.clear();
    SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    PumpMessages();
    EXPECT_EQ(events->calls, std::vector<std::string>{"Resize minimized"});
}

TEST_F(MainWindowViewWin32Test, CloseAsksTheLogicAndStaysOpenWhenItCancels) {
    events->cancelClose = true;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(view->Hwnd(), window);
    EXPECT_EQ(events->calls, std::vector<std::string>{"QueryUnload"});

    events->calls.clear();
    events->cancelClose = false;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(view->Hwnd(), nullptr);
    EXPECT_EQ(events->calls, (std::vector<std::string>{"QueryUnload", "Unload"}));
    // The test's view leaves the message loop alone.
    MSG quit;
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));

    // A gone window's controls answer empty and take changes quietly.
    view->DeviceList().AddItem(u"Speakers");
    EXPECT_EQ(view->DeviceList().Count(), 0);
}

TEST(MainWindowViewWin32Program, ClosingTheProgramWindowEndsTheMessageLoop) {
    auto view = MainWindowViewWin32::Create(GetModuleHandleW(nullptr), true);
    ASSERT_NE(view, nullptr);
    SendMessageW(view->Hwnd(), WM_CLOSE, 0, 0);
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(MainWindowViewWin32Test, AFailingHandlerDoesNotUnwindThroughTheWindow) {
    events->throwOnClick = true;
    view->PlayCheck().SetValue(1);
    SendMessageW(Control(kIdRecordCheck), BM_CLICK, 0, 0);
    EXPECT_EQ(events->calls, (std::vector<std::string>{"PlayCheck 1", "RecordCheck 1"}));
    EXPECT_EQ(view->PlayCheck().Value(), 1);
}

TEST_F(MainWindowViewWin32Test, ListAndComboContentRoundTrip) {
    const std::u16string names[] = {u"Lautsprecher \u00c4", u"Speakers", u"Headset", u"Speakers",
                                    u"Kopfh\u00f6rer & Mikrofon"};
    ListBoxControl& list = view->DeviceList();
    ComboBoxControl& combo = view->StartupCombo();
    for (const auto& name : names) {
        list.AddItem(name);
        combo.AddItem(name);
    }
    ASSERT_EQ(list.Count(), 5);
    ASSERT_EQ(combo.Count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(list.ItemText(i), names[i]);  // in the order added, duplicates kept
        EXPECT_EQ(combo.ItemText(i), names[i]);
    }
    EXPECT_EQ(list.ItemText(5), u"");
    EXPECT_EQ(list.ItemText(-1), u"");
    EXPECT_EQ(combo.ItemText(5), u"");

    EXPECT_EQ(list.SelectedIndex(), -1);
    list.SetSelectedIndex(3);
    EXPECT_EQ(list.SelectedIndex(), 3);
    list.SetSelectedIndex(-1);
    EXPECT_EQ(list.SelectedIndex(), -1);

    EXPECT_EQ(combo.Text(), u"Combo1");
    combo.SetText(names[0]);
    EXPECT_EQ(combo.Text(), names[0]);
    // Emptying the list keeps the text (a stored device stays visible by name).
    combo.Clear();
    EXPECT_EQ(combo.Count(), 0);
    EXPECT_EQ(combo.Text(), names[0]);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.SelectedIndex(), -1);

    // The combo's own visibility counts, also while the window is hidden.
    EXPECT_TRUE(combo.Visible());
    combo.SetVisible(false);
    EXPECT_FALSE(combo.Visible());
    combo.SetVisible(true);
    EXPECT_TRUE(combo.Visible());
    EXPECT_FALSE(IsWindowVisible(window));
}

}  // namespace
}  // namespace marvolt
