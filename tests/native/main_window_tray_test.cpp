// The tray menu's content and what each of its entries does.
#include "tests/native/main_window_test_fixture.h"

namespace marvolt::testing {
namespace {

using Strings = std::vector<std::string>;

class MainWindowTray : public MainWindowTest {};

TEST_F(MainWindowTray, MenuShowsTheRegistryDefaultsReadFresh) {
    LoadRows({u"Speakers", u"Headset"});
    SetMapper(u"Playback", u"Speakers");
    SetMapper(u"Record", u"Headset");
    window.CreatePopupMenu();
    const std::u16string example =
        u"Homepage ..., -,Settings ..., -,Windows audio settings ..., Windows audio mixer ..., -, Reload list of "
        u"Soundcards, -,Soundcard 1: Speakers  <default>  (Playback), Soundcard 2: Headset  <default>  (Record), -, "
        u"Exit";
    EXPECT_EQ(ToUtf8(tray.menuString), ToUtf8(example));
    EXPECT_EQ(window.TrayMenuString(), example);
    EXPECT_TRUE(window.TrayIconActive());

    // Changed by another program, with blanks around: seen at the next composition.
    SetMapper(u"Record", u" Speakers  ");
    window.CreatePopupMenu();
    EXPECT_NE(tray.menuString.find(u"Soundcard 1: Speakers  <default>   (Play + Rec), Soundcard 2: Headset, -"),
              std::u16string::npos)
        << ToUtf8(tray.menuString);
}

TEST_F(MainWindowTray, FixedEntriesAndTheirGermanTwins) {
    LoadRows({u"Speakers"});
    SetMapper(u"Playback", u"Speakers");
    struct Case {
        std::u16string selected;
        Strings calls;
    };
    const std::string soundSettings = "start rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,,0";
    const Case cases[] = {
        {u"Homepage ...", {"open https://www.marvolt.example/"}},
        {u"Windows audio settings ...", {soundSettings}},
        {u"Windows Audio Einstellungen ...", {soundSettings}},
        {u"Windows audio mixer ...", {"start sndvol32.exe"}},
        {u"Windows Audio Mixer ...", {"start sndvol32.exe"}},
        {u"Reload list of Soundcards", {"tray menu", "beep"}},
        {u"Soundkarten neu einlesen", {"tray menu", "beep"}},
        {u"Current: Speakers", {}},
        {u"homepage ...", {}},
        {u"Settings", {}},
        {u"exit", {}},
        {u"-", {}},
    };
    for (const Case& c : cases) {
        Forget();
        launcher.started.clear();
        window.OnTrayMenu(c.selected);
        EXPECT_EQ(Calls(), c.calls) << ToUtf8(c.selected);
        for (const auto& start : launcher.started) EXPECT_EQ(start.showStyle, 1) << ToUtf8(c.selected);
    }
    ASSERT_EQ(documents.opened.size(), 1u);
    EXPECT_EQ(documents.opened[0].windowStyle, 1);

    window.OnWebPageClick();
    ASSERT_EQ(documents.opened.size(), 2u);
    EXPECT_EQ(documents.opened[1].target, documents.opened[0].target);
    EXPECT_EQ(documents.opened[1].windowStyle, 1);
}

TEST_F(MainWindowTray, SettingsEntryBringsTheWindowBack) {
    for (const char16_t* entry : {u"Settings ...", u"Einstellungen ..."}) {
        LoadRows({u"Speakers", u"Headset"});
        SetMapper(u"Playback", u"Headset");
        window.OnCommand1Click();
        ASSERT_FALSE(view.window.visible);
        window.OnTrayMenu(entry);
        EXPECT_TRUE(view.window.visible);
        EXPECT_EQ(view.window.state, WindowState::Normal);
        EXPECT_EQ(view.currentCardTxt.caption, u"Default Soundcard: Headset");
        EXPECT_EQ(view.SelectedRow(), u"Headset");
    }
}

TEST_F(MainWindowTray, ExitRemovesTheIconAndEndsAtOnce) {
    for (const char16_t* entry : {u"Exit", u"Beenden"}) {
        LoadRows({u"Exit"});  // a device named like the command must not be set
        view.window.visible = true;
        EXPECT_THROW(window.OnTrayMenu(entry), ProcessEnded);
        EXPECT_EQ(Calls(), (Strings{"tray remove", "end"}));
        EXPECT_TRUE(messages.shown.empty());
    }
}

TEST_F(MainWindowTray, ChoosingAnEntrySetsThatEntrysDevice) {
    struct Case {
        const char* what;
        std::initializer_list<const char16_t*> rows;
        std::u16string selected, device;
    };
    const Case cases[] = {
        {"second of nested names", {u"Speakers", u"Speakers 2"}, u"Soundcard 2: Speakers 2", u"Speakers 2"},
        {"first of nested names", {u"Speakers", u"Speakers 2"}, u"Soundcard 1: Speakers", u"Speakers"},
        {"nested names, longer first", {u"Speakers 2", u"Speakers"}, u"Soundcard 2: Speakers", u"Speakers"},
        {"nested, marked", {u"Speakers 2", u"Speakers"}, u"Soundcard 1: Speakers 2  <default>  (Playback)",
         u"Speakers 2"},
        {"an empty row before it", {u"   ", u"Headset"}, u"Soundcard 2: Headset", u"Headset"},
    };
    view.playCheck.value = 1;
    view.recordCheck.value = 1;
    for (const Case& c : cases) {
        LoadRows(c.rows);
        window.OnTrayMenu(c.selected);
        EXPECT_EQ(ToUtf8(Mapper(u"Playback")), ToUtf8(c.device)) << c.what;
        EXPECT_EQ(ToUtf8(Mapper(u"Record")), ToUtf8(c.device)) << c.what;
        EXPECT_EQ(window.CurrentDevice(), c.device) << c.what;
        EXPECT_EQ(beeper.beeps, 1) << c.what;
    }
}

TEST_F(MainWindowTray, DeviceChoiceRenewsTheIconWithTheDeviceAsTooltip) {
    LoadRows({u"Speakers", u"Headset"});
    Store(u"RecordCheck", u"0");
    window.Load();
    ASSERT_TRUE(tray.iconShown);
    Forget();

    window.OnTrayMenu(u"Soundcard 2: Headset");
    EXPECT_EQ(Calls(), (Strings{"reg set Playback", "tray menu", "tray remove", "tray add Headset", "beep"}));
    ASSERT_EQ(tray.adds.size(), 1u);
    EXPECT_EQ(tray.adds[0].iconForm, &window);
    EXPECT_EQ(tray.adds[0].showFormOnClick, &window);
    EXPECT_TRUE(tray.adds[0].openMenuOnClick);
    EXPECT_EQ(tray.adds[0].popupMenuString, u"");
    EXPECT_EQ(tray.toolTip, u"Headset");
    EXPECT_NE(tray.menuString.find(u"Soundcard 2: Headset  <default>  (Playback)"), std::u16string::npos);
}

TEST_F(MainWindowTray, RefusedChoiceStillRenewsTheIconWithTheOldTooltip) {
    LoadRows({u"Speakers", u"Headset"});
    window.Load();
    window.OnTrayMenu(u"Soundcard 1: Speakers");
    view.playCheck.value = 0;
    view.recordCheck.value = 0;
    Forget();

    window.OnTrayMenu(u"Soundcard 2: Headset");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, u"Please select input/output first!");
    EXPECT_EQ(Mapper(u"Playback"), u"Speakers");
    EXPECT_EQ(tray.removes, 1);
    ASSERT_EQ(tray.adds.size(), 1u);
    EXPECT_EQ(tray.toolTip, u"Speakers");
    EXPECT_EQ(beeper.beeps, 1);
}

TEST_F(MainWindowTray, AnUnknownTextChangesNothing) {
    LoadRows({u"Speakers"});
    view.playCheck.value = 1;
    window.OnTrayMenu(u"Soundcard 1: Headset");
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(window.CurrentDevice(), u"");
}

}  // namespace
}  // namespace marvolt::testing
