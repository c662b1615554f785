#include "tray/system_tray.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/fakes/fake_menu_api.h"
#include "platform/fakes/fake_tray.h"
#include "platform/fakes/fake_windows.h"
#include "platform/text.h"

namespace marvolt {
namespace {

std::u16string Repeat(char16_t c, std::size_t n) { return std::u16string(n, c); }

class SystemTrayTest : public ::testing::Test {
protected:
    CallLog log;
    FakeShellNotify shell{&log};
    FakeTrayWindowFactory windows{&log};
    FakeMenuApi menus{&log};
    FakePendingEvents pending{&log};
    FakeWindowActivation activation{&log};
    FakeTrayTarget mainWindow{"main", &log};
    std::optional<SystemTray> tray;

    void SetUp() override { Recreate(); }

    void Recreate() {
        tray.reset();
        tray.emplace(mainWindow, SystemTrayServices{shell, windows, menus, pending, activation});
    }

    void Add(const std::u16string& tip = u"Speakers", bool openMenuOnClick = true,
             const std::u16string& menuString = u"") {
        tray->AddTrayIcon(mainWindow, tip, openMenuOnClick, mainWindow, menuString);
    }

    FakeTrayWindow& Window() {
        FakeTrayWindow* window = windows.Only();
        EXPECT_NE(window, nullptr);
        return *window;
    }

    // One report from the shell, then the double-click time passes with no other.
    void Click(std::uint32_t code) {
        NativeHandle handle = Window().Handle();
        Window().events.OnTrayCallback(code);
        auto window = windows.live.find(handle);
        if (window != windows.live.end()) window->second->ExpireClickTimer();
    }

    const NotifyIconRecord& LastRecord() { return shell.calls.back().record; }

    // The entries of the log that start with one of the prefixes, in order.
    std::vector<std::string> Logged(std::initializer_list<const char*> prefixes) {
        std::vector<std::string> picked;
        for (const std::string& entry : log.Entries())
            for (const char* prefix : prefixes)
                if (entry.rfind(prefix, 0) == 0) {
                    picked.push_back(entry);
                    break;
                }
        return picked;
    }
};

TEST_F(SystemTrayTest, AddTrayIconFillsTheFirstFormRecord) {
    mainWindow.icon = 0x51A0;
    Add(u"current: Speakers");
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].action, NotifyAction::Add);
    const NotifyIconRecord& record = LastRecord();
    EXPECT_EQ(record.cbSize, 88u);
    EXPECT_EQ(record.hWnd, Window().Handle());
    EXPECT_EQ(record.uID, 0x51A0u);
    EXPECT_EQ(record.hIcon, 0x51A0u);
    EXPECT_EQ(record.uFlags, 7u);
    EXPECT_EQ(record.uCallbackMessage, 0x200u);
    EXPECT_EQ(Window().icon, 0x51A0u);
    EXPECT_FALSE(Window().visible);
    EXPECT_EQ(shell.icons.size(), 1u);
}

TEST_F(SystemTrayTest, TipFieldIsSixtyFourCharactersWithNulOnlyWhenTheTextIsShorter) {
    struct Case {
        std::u16string text, field;
    } cases[] = {
        {u"", std::u16string(1, u'\0') + Repeat(u' ', 63)},
        {u"  Speakers ", u"  Speakers " + std::u16string(1, u'\0') + Repeat(u' ', 52)},
        {Repeat(u'a', 63), Repeat(u'a', 63) + std::u16string(1, u'\0')},
        {Repeat(u'b', 64), Repeat(u'b', 64)},
        {Repeat(u'c', 64) + u"d", Repeat(u'c', 64)},
        {Repeat(u'e', 100), Repeat(u'e', 64)},
    };
    for (const Case& c : cases) {
        Add(c.text);
        EXPECT_EQ(LastRecord().szTip, c.field) << c.text.size();
    }
}

TEST_F(SystemTrayTest, ChangeToolTipTextDropsLeadingBlanksAndResendsTheRecord) {
    Add(u"first");
    NotifyIconRecord added = LastRecord();
    struct Case {
        std::u16string text, field;
    } cases[] = {
        {u"   Headset  ", u"Headset  " + std::u16string(1, u'\0') + Repeat(u' ', 54)},
        {u" " + Repeat(u'x', 64), Repeat(u'x', 64)},
        {Repeat(u' ', 70), std::u16string(1, u'\0') + Repeat(u' ', 63)},
    };
    for (const Case& c : cases) {
        tray->ChangeToolTipText(c.text);
        EXPECT_EQ(shell.calls.back().action, NotifyAction::Modify);
        EXPECT_TRUE(shell.calls.back().accepted);
        const NotifyIconRecord& record = LastRecord();
        EXPECT_EQ(record.szTip, c.field);
        EXPECT_EQ(record.hWnd, added.hWnd);
        EXPECT_EQ(record.uID, added.uID);
        EXPECT_EQ(record.hIcon, added.hIcon);
        EXPECT_EQ(record.uFlags, added.uFlags);
        EXPECT_EQ(record.uCallbackMessage, added.uCallbackMessage);
    }
}

TEST_F(SystemTrayTest, MenuStringSurvivesAddWithAnEmptyStringAndRemoveAdd) {
    auto shownEntries = [&] {
        std::vector<std::u16string> texts;
        menus.tracked.clear();
        Click(kTrayRightUp);
        if (!menus.tracked.empty())
            for (const FakeMenuItem& item : menus.tracked[0].items) texts.push_back(item.text);
        return texts;
    };
    tray->ChangePopupMenuString(u"Early, Bird");  // before the window exists
    Add();
    EXPECT_EQ(shownEntries(), (std::vector<std::u16string>{u"Early", u"Bird"}));

    tray->ChangePopupMenuString(u"A,B");
    Add();
    EXPECT_EQ(shownEntries(), (std::vector<std::u16string>{u"A", u"B"}));
    tray->RemoveTrayIcon();
    Add(u"again");
    EXPECT_EQ(shownEntries(), (std::vector<std::u16string>{u"A", u"B"}));
    Add(u"again", true, u"C");
    EXPECT_EQ(shownEntries(), (std::vector<std::u16string>{u"C"}));
    tray->ChangePopupMenuString(u"");
    EXPECT_TRUE(shownEntries().empty());
    EXPECT_TRUE(menus.tracked.empty());
    EXPECT_TRUE(mainWindow.chosen.empty());
}

TEST_F(SystemTrayTest, RepeatedAddsAndIconChangesKeepOneIcon) {
    Add(u"one");
    Add(u"two");  // refused by the shell: the icon stays as it was
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[1].action, NotifyAction::Add);
    EXPECT_FALSE(shell.calls[1].accepted);
    ASSERT_EQ(shell.icons.size(), 1u);
    EXPECT_EQ(shell.icons.begin()->second.szTip.substr(0, 3), u"one");

    // A new picture replaces the shown one in place.
    tray->ChangeIcon_Picture(0xBEEF);
    EXPECT_EQ(shell.calls.back().action, NotifyAction::Modify);
    EXPECT_TRUE(shell.calls.back().accepted);
    ASSERT_EQ(shell.icons.size(), 1u);
    EXPECT_EQ(shell.icons.begin()->second.hIcon, 0xBEEFu);
    EXPECT_EQ(Window().icon, 0xBEEFu);

    FakeTrayTarget other("other");
    other.icon = 0xCAFE;
    tray->ChangeIcon(other);
    EXPECT_TRUE(shell.calls.back().accepted);
    EXPECT_EQ(shell.icons.begin()->second.hIcon, 0xCAFEu);

    // Adding while the changed icon shows does not put a second one beside it,
    // and removing takes away the one on show.
    tray->AddTrayIcon(other, u"three", true, mainWindow, u"");
    EXPECT_EQ(shell.icons.size(), 1u);
    tray->RemoveTrayIcon();
    EXPECT_TRUE(shell.calls.back().accepted);
    EXPECT_TRUE(shell.icons.empty());

    // Once removed, the next add names the icon by its handle again.
    tray->AddTrayIcon(other, u"four", true, mainWindow, u"");
    EXPECT_EQ(LastRecord().uID, 0xCAFEu);
    EXPECT_EQ(shell.icons.size(), 1u);
}

TEST_F(SystemTrayTest, UnloadAlwaysRemovesTheIconAndTheWindow) {
    tray->Unload();  // not loaded: nothing to do
    EXPECT_TRUE(shell.calls.empty());

    Add();
    tray->Unload();
    EXPECT_EQ(shell.calls.back().action, NotifyAction::Delete);
    EXPECT_TRUE(shell.icons.empty());
    EXPECT_TRUE(windows.live.empty());
    EXPECT_EQ(tray->WindowHandle(), 0u);
    EXPECT_EQ(tray->DynamicTrayPopupMenu(), nullptr);
    EXPECT_TRUE(menus.menus.empty());

    // A new add loads a new window.
    Add(u"back");
    EXPECT_EQ(windows.created, 2);
    EXPECT_EQ(shell.icons.size(), 1u);
    EXPECT_EQ(shell.icons.begin()->first.first, Window().Handle());

    // So does the end of the tray object.
    tray.reset();
    EXPECT_TRUE(shell.icons.empty());
    EXPECT_TRUE(windows.live.empty());
}

enum class Outcome { Nothing, Menu, Restore };

TEST_F(SystemTrayTest, EventCodesRouteByTheOpenMenuFlag) {
    struct Case {
        std::uint32_t code;
        Outcome withFlag, withoutFlag;
    } cases[] = {
        {0x200, Outcome::Nothing, Outcome::Nothing},  // move
        {0x201, Outcome::Nothing, Outcome::Nothing},  // left down
        {0x202, Outcome::Menu, Outcome::Restore},     // left up
        {0x203, Outcome::Restore, Outcome::Restore},  // left double-click
        {0x204, Outcome::Nothing, Outcome::Nothing},  // right down
        {0x205, Outcome::Menu, Outcome::Nothing},     // right up
        {0x206, Outcome::Nothing, Outcome::Nothing},  // right double-click
        {0x207, Outcome::Nothing, Outcome::Nothing}, {0x20205, Outcome::Nothing, Outcome::Nothing},
        {0, Outcome::Nothing, Outcome::Nothing},
    };
    for (const Case& c : cases) {
        for (bool flag : {true, false}) {
            Recreate();
            menus.tracked.clear();
            mainWindow.visible = false;
            mainWindow.normal = false;
            Add(u"tip", flag, u"A,B");
            Click(c.code);
            Outcome seen = !menus.tracked.empty() ? Outcome::Menu
                           : windows.live.empty() ? Outcome::Restore
                                                  : Outcome::Nothing;
            Outcome expected = flag ? c.withFlag : c.withoutFlag;
            EXPECT_EQ(seen, expected) << std::hex << c.code << " flag " << flag;
            EXPECT_EQ(mainWindow.visible, expected == Outcome::Restore) << std::hex << c.code;
            EXPECT_EQ(shell.icons.empty(), expected == Outcome::Restore) << std::hex << c.code;
        }
    }
}

TEST_F(SystemTrayTest, LeftReleaseWaitsForADoubleClickBeforeOpeningTheMenu) {
    Add(u"tip", true, u"A,B");
    Window().doubleClickTime = 432;
    Window().events.OnTrayCallback(kTrayLeftUp);
    EXPECT_TRUE(menus.tracked.empty()) << "the menu waits for the double-click time";
    EXPECT_EQ(Window().clickTimer, 432u);
    // The double click that follows restores the window; no menu ever opens.
    Window().events.OnTrayCallback(kTrayLeftDoubleClick);
    EXPECT_TRUE(mainWindow.visible);
    EXPECT_TRUE(windows.live.empty());
    EXPECT_TRUE(menus.tracked.empty());

    // A right release opens the menu at once and forgets a pending left one.
    Add(u"tip", true, u"A,B");
    Window().events.OnTrayCallback(kTrayLeftUp);
    Window().events.OnTrayCallback(kTrayRightUp);
    EXPECT_EQ(menus.tracked.size(), 1u);
    EXPECT_EQ(Window().clickTimer, 0u);
}

TEST_F(SystemTrayTest, MenuSequenceShowsTheWindowOffScreenAndPassesTheChoice) {
    Add(u"tip", true, u"Homepage ..., -,Settings ..., -, Exit");
    NativeHandle window = Window().Handle();
    menus.onTrack = [&](const FakeTrackCall& call) {
        EXPECT_TRUE(Window().visible);
        EXPECT_TRUE(Window().offScreen);
        EXPECT_EQ(call.owner, window);
        return 3u;
    };
    log.Clear();
    Click(kTrayLeftUp);
    EXPECT_EQ(mainWindow.chosen, (std::vector<std::u16string>{u"Settings ..."}));
    EXPECT_FALSE(Window().visible);
    EXPECT_EQ(Logged({"window", "foreground", "track", "main"}),
              (std::vector<std::string>{
                  "window timer 500", "window offscreen", "window show",
                  "foreground " + ToUtf8(Decimal(static_cast<long long>(window))),
                  "track " + ToUtf8(Decimal(static_cast<long long>(menus.tracked[0].menu))) +
                      " owner " + ToUtf8(Decimal(static_cast<long long>(window))),
                  "main menu Settings ...", "window hide"}));

    // A dismissed menu passes nothing and hides the window again.
    menus.onTrack = nullptr;
    menus.trackResult = 0;
    Click(kTrayRightUp);
    EXPECT_EQ(mainWindow.chosen.size(), 1u);
    EXPECT_FALSE(Window().visible);
    EXPECT_EQ(shell.icons.size(), 1u);
}

TEST_F(SystemTrayTest, RestoreWithTheFlagSetBringsTheTargetBackAndUnloads) {
    mainWindow.geometry = {10, 20, 300, 200};
    Add(u"tip", true);
    mainWindow.geometry = {-32000, -32000, 160, 28};
    std::string destroyed = "window destroy " + ToUtf8(Decimal(Window().Handle()));
    log.Clear();
    Click(kTrayLeftDoubleClick);
    EXPECT_EQ(Logged({"main", "pending", "activate", "notify", "window"}),
              (std::vector<std::string>{"main normal", "main geometry 10,20,300,200", "main show",
                                        "pending", "activate Marvolt 1.01", "notify delete",
                                        "window hide", destroyed}));
    EXPECT_TRUE(shell.icons.empty());
}

TEST_F(SystemTrayTest, RestoreWithoutTheFlagShowsTheMainWindowWhateverTheTarget) {
    FakeTrayTarget target("target", &log);
    target.caption = u"Other window";
    target.geometry = {5, 6, 70, 80};
    tray->AddTrayIcon(mainWindow, u"tip", false, target, u"A");
    target.geometry = {0, 0, 1, 1};
    std::string destroyed = "window destroy " + ToUtf8(Decimal(Window().Handle()));
    log.Clear();
    Click(kTrayLeftUp);
    EXPECT_EQ(
        Logged({"main", "target", "pending", "activate", "notify", "window"}),
        (std::vector<std::string>{"target show", "pending", "activate Other window", "main show",
                                  "main normal", "target normal", "target geometry 5,6,70,80",
                                  "notify delete", "window hide", destroyed}));
    EXPECT_TRUE(menus.tracked.empty());
}

TEST_F(SystemTrayTest, TaskbarCreatedAddsAShownIconAgain) {
    Add(u"current: Headset");
    shell.icons.clear();  // the shell restarted and forgot every icon
    Window().events.OnTaskbarCreated();
    ASSERT_EQ(shell.icons.size(), 1u);
    const NotifyIconRecord& again = shell.icons.begin()->second;
    EXPECT_EQ(again.hWnd, Window().Handle());
    EXPECT_EQ(again.szTip.substr(0, 16), u"current: Headset");

    // An icon that was removed stays away.
    tray->RemoveTrayIcon();
    std::size_t calls = shell.calls.size();
    Window().events.OnTaskbarCreated();
    EXPECT_EQ(shell.calls.size(), calls);
    EXPECT_TRUE(shell.icons.empty());

    // An add the shell refused, because it had no notification area yet, is
    // made good when the area appears.
    shell.available = false;
    Add(u"early");
    EXPECT_TRUE(shell.icons.empty());
    shell.available = true;
    Window().events.OnTaskbarCreated();
    EXPECT_EQ(shell.icons.size(), 1u);
}

TEST_F(SystemTrayTest, CalleeMayRemoveAndAddTheIconFromInsideTheMenu) {
    Add(u"old", true, u"Soundcard 1: Speakers");
    menus.trackResult = 1;
    mainWindow.onTrayMenu = [&](const std::u16string&) {
        tray->ChangePopupMenuString(u"Soundcard 1: Speakers  <default>  (Playback)");
        tray->RemoveTrayIcon();
        tray->AddTrayIcon(mainWindow, u"Speakers", true, mainWindow, u"");
    };
    Click(kTrayRightUp);
    ASSERT_EQ(shell.icons.size(), 1u);
    EXPECT_EQ(shell.icons.begin()->second.szTip.substr(0, 9),
              u"Speakers" + std::u16string(1, u'\0'));
    EXPECT_EQ(windows.created, 1);
    EXPECT_FALSE(Window().visible);
    mainWindow.onTrayMenu = nullptr;
    Click(kTrayRightUp);
    EXPECT_EQ(menus.tracked.back().items[0].text, u"Soundcard 1: Speakers  <default>  (Playback)");
}

TEST_F(SystemTrayTest, UnloadFromInsideACallbackWaitsForItToReturn) {
    Add(u"tip", true, u"Exit");
    menus.trackResult = 1;
    bool windowAliveInCallee = false;
    mainWindow.onTrayMenu = [&](const std::u16string&) {
        NativeHandle window = tray->WindowHandle();
        tray->Unload();
        windowAliveInCallee = windows.live.count(window) == 1;
        EXPECT_FALSE(windows.live.at(window)->visible);
    };
    Click(kTrayLeftUp);
    EXPECT_TRUE(windowAliveInCallee);
    EXPECT_TRUE(windows.live.empty());
    EXPECT_TRUE(shell.icons.empty());
    EXPECT_TRUE(menus.menus.empty());

    // Unloaded and loaded again by the callee: the new window stays, hidden.
    Add(u"tip", true, u"Exit");
    mainWindow.onTrayMenu = [&](const std::u16string&) {
        tray->Unload();
        tray->AddTrayIcon(mainWindow, u"new", true, mainWindow, u"Exit");
    };
    Click(kTrayLeftUp);
    ASSERT_EQ(windows.live.size(), 1u);
    EXPECT_FALSE(Window().visible);
    EXPECT_EQ(shell.icons.size(), 1u);
    EXPECT_EQ(shell.icons.begin()->first.first, Window().Handle());
}

TEST_F(SystemTrayTest, EventsWhileTheMenuIsOpenAreDropped) {
    Add(u"tip", true, u"A,B");
    menus.onTrack = [&](const FakeTrackCall&) {
        Window().events.OnTrayCallback(kTrayRightUp);
        Window().events.OnTrayCallback(kTrayLeftDoubleClick);
        return 2u;
    };
    Click(kTrayRightUp);
    EXPECT_EQ(menus.tracked.size(), 1u);
    EXPECT_EQ(mainWindow.chosen, (std::vector<std::u16string>{u"B"}));
    EXPECT_EQ(windows.live.size(), 1u);  // the double-click did not restore and unload

    // Unloaded while the menu is open: the choice goes nowhere, and the window
    // goes once the menu has closed.
    menus.onTrack = [&](const FakeTrackCall&) {
        tray->Unload();
        EXPECT_EQ(windows.live.size(), 1u);
        return 1u;
    };
    Click(kTrayRightUp);
    EXPECT_EQ(mainWindow.chosen.size(), 1u);
    EXPECT_TRUE(windows.live.empty());
}

}  // namespace
}  // namespace marvolt
