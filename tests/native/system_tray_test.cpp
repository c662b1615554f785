#include "tray/system_tray.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/fakes/fake_system.h"

namespace marvolt::fakes {
namespace {

class SystemTrayTest : public ::testing::Test {
protected:
    FakeSystem system;
    Trace& trace = system.trace;
    FakeShell shell{trace};
    FakeTrayWindows windows{trace};
    FakeMenus menus{trace};
    FakeTarget main{"main", trace};
    std::optional<SystemTray> tray;

    SystemTrayTest() { Recreate(); }
    void Recreate() {
        tray.reset();
        tray.emplace(main, SystemTrayServices{shell, windows, menus, system, system});
    }
    void Add(const std::u16string& tip, bool menuOnClick = true, const std::u16string& items = u"A,B") {
        tray->AddTrayIcon(main, tip, menuOnClick, main, items);
    }
    FakeTrayWindows::Window& Window() { return *windows.Only(); }
    // One report from the shell; then the double-click time passes without another.
    void Click(std::uint32_t code) {
        NativeHandle handle = Window().handle;
        Window().events.OnTrayCallback(code);
        auto window = windows.live.find(handle);
        if (window != windows.live.end() && window->second->timer) {
            window->second->timer = 0;
            window->second->events.OnClickTimer();
        }
    }
    std::string Steps() { return trace.Take(); }
};

TEST(TrayTipField, IsSixtyFourCharactersWithANulOnlyWhenTheTextIsShorter) {
    const std::u16string nul(1, u'\0');
    const std::tuple<std::u16string, std::u16string> cases[] = {
        {u"", nul + std::u16string(63, u' ')},
        {u" Speakers ", u" Speakers " + nul + std::u16string(53, u' ')},
        {std::u16string(63, u'a'), std::u16string(63, u'a') + nul},
        {std::u16string(64, u'b'), std::u16string(64, u'b')},
        {std::u16string(90, u'c'), std::u16string(64, u'c')},
    };
    for (const auto& [text, field] : cases) EXPECT_EQ(TrayTipField(text), field) << text.size();
}

// An add while the icon shows changes it in place (its tip too); one the shell
// has lost is added again.
TEST_F(SystemTrayTest, AddFillsTheRecordAndRepeatsChangeTheShownIcon) {
    main.icon = 0x51A0;
    Add(u"current: Speakers");
    const NotifyIconRecord& r = shell.last;
    EXPECT_EQ(std::vector<std::uint64_t>({r.cbSize, r.hWnd, r.uID, r.hIcon, r.uFlags, r.uCallbackMessage}),
              std::vector<std::uint64_t>({88, 0x7001, 0x51A0, 0x51A0, 7, 0x200}));
    EXPECT_EQ(Window().icon, 0x51A0u);
    Add(u"two");
    EXPECT_EQ(Steps(), "create 28673; add; modify");
    EXPECT_EQ(shell.Tip(), "two");
    shell.icons.clear();
    Add(u"current: Speakers");
    EXPECT_EQ(Steps(), "modify refused; add");

    // Leading blanks of a new tip go; the record stays the same icon's.
    tray->ChangeToolTipText(u"   Headset");
    EXPECT_EQ(shell.Tip(), "Headset");
    // New pictures replace the shown one in place, and an add while the changed
    // icon shows puts no second one beside it.
    tray->ChangeIcon_Picture(0xBEEF);
    FakeTarget other("other", trace);
    other.icon = 0xCAFE;
    tray->ChangeIcon(other);
    tray->AddTrayIcon(other, u"three", true, main, u"");
    EXPECT_EQ(Steps(), "modify; modify; modify; modify");
    EXPECT_EQ(shell.Tip(), "three");
    EXPECT_EQ(shell.icons.begin()->second.hIcon, 0xCAFEu);
    EXPECT_EQ(Window().icon, 0xCAFEu);
    tray->RemoveTrayIcon();
    EXPECT_EQ(shell.Tip(), "-");
    // Once removed, the next add names the icon by its handle again.
    tray->AddTrayIcon(other, u"four", true, main, u"");
    EXPECT_EQ(shell.last.uID, 0xCAFEu);
    EXPECT_EQ(shell.Tip(), "four");
    // A notification goes beside the icon on show, in the record's second form.
    tray->ShowNotification(u"Default Soundcard", u"Headset");
    EXPECT_EQ(U8(shell.last.szInfoTitle + u": " + shell.last.szInfo) + " " + N(shell.last.uFlags) + " " +
                  N(shell.last.cbSize) + " " + shell.Tip(),
              "Default Soundcard: Headset 16 488 four");
    tray->RemoveTrayIcon();
    tray->ShowNotification(u"Default Soundcard", u"Headset");
    EXPECT_EQ(Steps(), "delete; add; modify; delete");
}

TEST_F(SystemTrayTest, UnloadTakesTheIconWindowAndMenuAndTheNextAddLoadsAgain) {
    tray->Unload();
    tray->RemoveTrayIcon();
    tray->ChangeToolTipText(u"x");
    tray->ChangeIcon_Picture(1);
    tray->ShowNotification(u"Default Soundcard", u"Headset");
    EXPECT_EQ(Steps(), "");
    Add(u"tip");
    tray->Unload();
    EXPECT_EQ(Steps(), "create 28673; add; delete; destroy 28673");
    EXPECT_EQ(tray->DynamicTrayPopupMenu(), nullptr);
    EXPECT_EQ(tray->WindowHandle(), 0u);
    EXPECT_TRUE(menus.menus.empty());
    Add(u"back");
    EXPECT_EQ(tray->WindowHandle(), 0x7002u);
    EXPECT_EQ(shell.last.uID, 0x1234u);
    tray.reset();
    EXPECT_EQ(Steps(), "create 28674; add; delete; destroy 28674");
}

TEST_F(SystemTrayTest, MenuStringSurvivesEmptyAddsAndRemoval) {
    auto shown = [&] {
        menus.shown.clear();
        Click(kTrayRightUp);
        std::string texts;
        for (const std::string& entry : menus.shown) texts += entry.substr(entry.rfind(':') + 1) + ",";
        return texts;
    };
    tray->ChangePopupMenuString(u"Early, Bird");  // before the window exists
    Add(u"tip", true, u"");
    EXPECT_EQ(shown(), "Early,Bird,");
    tray->RemoveTrayIcon();
    Add(u"again", true, u"");
    EXPECT_EQ(shown(), "Early,Bird,");
    Add(u"again", true, u"C");
    EXPECT_EQ(shown(), "C,");
    tray->ChangePopupMenuString(u"");
    EXPECT_EQ(shown(), "");
    Add(u"again", true, u"D");
    tray->Unload();  // forgets the menu
    Add(u"again", true, u"");
    EXPECT_EQ(shown(), "");
}

TEST_F(SystemTrayTest, MouseReportsRouteByTheOpenMenuFlag) {
    enum Outcome { Nothing, Menu, Restore };
    const std::tuple<std::uint32_t, Outcome, Outcome> cases[] = {
        {0x200, Nothing, Nothing}, {0x201, Nothing, Nothing}, {0x202, Menu, Restore},
        {0x203, Restore, Restore}, {0x204, Nothing, Nothing}, {0x205, Menu, Nothing},
        {0x206, Nothing, Nothing}, {0x20205, Nothing, Nothing},
    };
    for (const auto& [code, withFlag, withoutFlag] : cases)
        for (bool flag : {true, false}) {
            Recreate();
            Add(u"tip", flag);
            Steps();
            Click(code);
            std::string steps = Steps();
            Outcome seen = steps.find("track") != std::string::npos    ? Menu
                           : steps.find("main shown") != std::string::npos ? Restore
                                                                          : Nothing;
            EXPECT_EQ(seen, flag ? withFlag : withoutFlag) << std::hex << code << " " << flag << steps;
        }
}

TEST_F(SystemTrayTest, LeftReleaseWaitsForADoubleClickBeforeTheMenu) {
    Add(u"tip");
    Steps();
    Window().events.OnTrayCallback(kTrayLeftUp);
    Window().events.OnTrayCallback(0x200);  // a move keeps the wait
    EXPECT_EQ(Window().timer, 432u);
    Window().events.OnTrayCallback(kTrayLeftDoubleClick);
    EXPECT_EQ(windows.live.size(), 0u);
    EXPECT_EQ(Steps().find("track"), std::string::npos);

    // A right release opens the menu at once and forgets a pending left one.
    Add(u"tip");
    Window().events.OnTrayCallback(kTrayLeftUp);
    Window().events.OnTrayCallback(kTrayRightUp);
    EXPECT_EQ(Window().timer, 0u);
    EXPECT_NE(Steps().find("track"), std::string::npos);
}

TEST_F(SystemTrayTest, MenuShowsTheWindowOffScreenAndPassesTheChoice) {
    Add(u"tip", true, u"Homepage ..., -,Settings ..., -, Exit");
    Steps();
    menus.choose = [&] { return Window().visible ? 3u : 0u; };
    Click(kTrayLeftUp);
    EXPECT_EQ(Steps(),
              "timer 432; offscreen; show; foreground 28673; track 258 300,400 owner 28673; "
              "main chose Settings ...; hide");
    menus.choose = nullptr;  // dismissed: nothing is passed on
    Click(kTrayRightUp);
    EXPECT_EQ(Steps(), "offscreen; show; foreground 28673; track 258 300,400 owner 28673; hide");
}

TEST_F(SystemTrayTest, RestoreBringsTheTargetBackAndUnloads) {
    main.geometry = {10, 20, 300, 200};
    Add(u"tip");
    main.geometry = {-32000, -32000, 160, 28};
    Steps();
    Click(kTrayLeftDoubleClick);
    EXPECT_EQ(Steps(),
              "main normal; main at 10,20,300,200; main shown; pending; activate Marvolt 1.01; delete; hide; "
              "destroy 28673");

    // Without the flag: the main window is shown whatever the target.
    FakeTarget target("target", trace);
    target.caption = u"Other";
    target.geometry = {5, 6, 70, 80};
    tray->AddTrayIcon(main, u"tip", false, target, u"A");
    Steps();
    Click(kTrayLeftUp);
    EXPECT_EQ(Steps(),
              "target shown; pending; activate Other; main shown; main normal; target normal; "
              "target at 5,6,70,80; delete; hide; destroy 28674");

    // A recorded size of zero is no place to go back to.
    for (WindowGeometry g : {WindowGeometry{1, 2, 0, 5}, WindowGeometry{1, 2, 5, 0}, WindowGeometry{1, 2, 1, 1}}) {
        main.geometry = g;
        Add(u"tip");
        Click(kTrayLeftDoubleClick);
        EXPECT_EQ(Steps().find(" at ") != std::string::npos, g.width * g.height > 0);
    }
}

TEST_F(SystemTrayTest, TaskbarCreatedAddsAShownIconAgain) {
    Add(u"current: Headset");
    shell.icons.clear();  // the shell restarted and forgot every icon
    Window().events.OnTaskbarCreated();
    EXPECT_EQ(shell.Tip(), "current: Headset");
    tray->RemoveTrayIcon();
    Window().events.OnTaskbarCreated();
    EXPECT_EQ(shell.Tip(), "-");
    // An add refused for want of a notification area is made good when it appears.
    shell.available = false;
    Add(u"early");
    shell.available = true;
    Window().events.OnTaskbarCreated();
    EXPECT_EQ(shell.Tip(), "early");
}

TEST_F(SystemTrayTest, TheMenusCalleeMayChangeOrUnloadTheTray) {
    Add(u"old", true, u"Soundcard 1: Speakers");
    menus.choose = [] { return 1u; };
    main.onMenu = [&](const std::u16string&) {
        tray->ChangePopupMenuString(u"New");
        tray->RemoveTrayIcon();
        tray->AddTrayIcon(main, u"Speakers", true, main, u"");
    };
    Click(kTrayRightUp);
    EXPECT_EQ(shell.Tip(), "Speakers");
    EXPECT_FALSE(Window().visible);
    main.onMenu = nullptr;
    Click(kTrayRightUp);
    EXPECT_EQ(menus.shown, std::vector<std::string>{"1:0:New"});

    // Unloaded by the callee: the window lives until the callback returns.
    main.onMenu = [&](const std::u16string&) {
        NativeHandle window = tray->WindowHandle();
        tray->Unload();
        EXPECT_EQ(windows.live.count(window), 1u);
    };
    Click(kTrayRightUp);
    EXPECT_TRUE(windows.live.empty());
    EXPECT_TRUE(menus.menus.empty());
    // Unloaded and added again: the new window stays, hidden.
    Add(u"tip", true, u"Exit");
    main.onMenu = [&](const std::u16string&) { tray->Unload(), Add(u"new", true, u"Exit"); };
    Click(kTrayLeftUp);
    ASSERT_EQ(windows.live.size(), 1u);
    EXPECT_FALSE(Window().visible);
    EXPECT_EQ(shell.icons.begin()->first.first, Window().handle);
}

TEST_F(SystemTrayTest, ReportsWhileTheMenuIsOpenAreDropped) {
    Add(u"tip");
    menus.choose = [&] {
        Window().events.OnTrayCallback(kTrayRightUp);
        Window().events.OnTrayCallback(kTrayLeftDoubleClick);
        Window().events.OnClickTimer();
        return 2u;
    };
    Steps();
    Click(kTrayRightUp);
    EXPECT_EQ(Steps(), "offscreen; show; foreground 28673; track 258 300,400 owner 28673; main chose B; hide");
    // Unloaded while the menu is open: the choice goes nowhere.
    menus.choose = [&] { return tray->Unload(), 1u; };
    Click(kTrayRightUp);
    EXPECT_EQ(Steps().find("chose"), std::string::npos);
    EXPECT_TRUE(windows.live.empty());
}

}  // namespace
}  // namespace marvolt::fakes
