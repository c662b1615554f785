// Start-up, hiding into the tray, closing and ending.
#include <algorithm>

#include "tests/native/main_window_test_fixture.h"

namespace marvolt::testing {
namespace {

using Strings = std::vector<std::string>;

class MainWindowLifecycle : public MainWindowTest {};

TEST_F(MainWindowLifecycle, FirstStartPreparesTheSoundMapperInOrder) {
    Devices({u"Speakers", u"Headset"});
    window.Load();
    EXPECT_EQ(Calls(), (Strings{
                           "guard",
                           "pin top",
                           "window hidden",
                           "caption Marvolt Vers. 1.01",
                           "reg set PreferredOnly",
                           "reg set SetupPreferredAudioDevicesCount",
                           "reg set Record",
                           "reg set Playback",
                           "save PlaybackCheck=1",
                           "save RecordCheck=1",
                           "tray add ",
                           "tray menu",
                       }));
    std::int32_t number = 0;
    EXPECT_EQ(StoredType(u"PreferredOnly", &number), kRegDword);
    EXPECT_EQ(number, 1);
    EXPECT_EQ(StoredType(u"SetupPreferredAudioDevicesCount", &number), kRegDword);
    EXPECT_EQ(number, 3);
    EXPECT_EQ(Mapper(u"Record"), u"Speakers");
    EXPECT_EQ(Mapper(u"Playback"), u"Speakers");
    EXPECT_EQ(guard.firstKeys, u"");
    EXPECT_EQ(guard.secondKeys, u"");

    EXPECT_FALSE(view.window.visible);
    EXPECT_EQ(view.window.caption, u"Marvolt Vers. 1.01");
    EXPECT_TRUE(pin.onTop);
    EXPECT_EQ(view.playCheck.value, 1);
    EXPECT_EQ(view.recordCheck.value, 1);
    EXPECT_EQ(view.startupCheck.value, 0);
    EXPECT_FALSE(view.startupCombo.visible);
    EXPECT_EQ(view.autoRunCheck.value, 0);
    // Start-up device off: no name anywhere, no row selected.
    EXPECT_EQ(tray.toolTip, u"");
    EXPECT_EQ(view.currentCardTxt.caption, u"Default Soundcard: ");
    EXPECT_EQ(view.deviceList.selected, -1);
    EXPECT_TRUE(tray.iconShown);
    EXPECT_TRUE(window.TrayIconActive());
    EXPECT_NE(tray.menuString.find(u"Soundcard 1: Speakers  <default>   (Play + Rec)"), std::u16string::npos);
}

TEST_F(MainWindowLifecycle, ExistingSoundMapperValuesStay) {
    struct Case {
        const char* what;
        std::int32_t preferredOnly;
        std::int32_t expected;
    };
    const Case cases[] = {{"an existing 0", 0, 0}, {"an existing 7", 7, 7}, {"-32 counts as absent", -32, 1}};
    Devices({u"Speakers"});
    for (const Case& c : cases) {
        SetMapperDword(u"PreferredOnly", c.preferredOnly);
        SetMapperDword(u"SetupPreferredAudioDevicesCount", 2);
        SetMapper(u"Record", u"Headset");
        SetMapper(u"Playback", u"Monitor");
        Forget();
        window.Load();
        std::int32_t number = 0;
        StoredType(u"PreferredOnly", &number);
        EXPECT_EQ(number, c.expected) << c.what;
        StoredType(u"SetupPreferredAudioDevicesCount", &number);
        EXPECT_EQ(number, 2) << c.what;
        EXPECT_EQ(Mapper(u"Record"), u"Headset") << c.what;
        EXPECT_EQ(Mapper(u"Playback"), u"Monitor") << c.what;
        for (const std::string& call : Calls()) {
            bool allowed = call == "reg set PreferredOnly" || call.rfind("reg set", 0) == std::string::npos;
            EXPECT_TRUE(allowed) << c.what << ": " << call;
        }
    }
}

TEST_F(MainWindowLifecycle, NoDevicesWritesEmptyFirstValues) {
    window.Load();
    EXPECT_EQ(StoredType(u"Record"), kRegSz);
    EXPECT_EQ(StoredType(u"Playback"), kRegSz);
    EXPECT_EQ(Mapper(u"Playback"), u"");
    EXPECT_NE(tray.menuString.find(u"Reload list of Soundcards, -,-, Exit"), std::u16string::npos);
}

TEST_F(MainWindowLifecycle, OptionsAreRestoredFromTheStore) {
    struct Case {
        const char* what;
        std::u16string play, record, startup;
        int playValue, recordValue, startupValue;
    };
    const Case cases[] = {
        {"all off", u"0", u"0", u"0", 0, 0, 0},
        {"all on", u"1", u"1", u"1", 1, 1, 1},
        {"blanks around a number", u" 0 ", u"1", u"0", 0, 1, 0},
        {"not numbers leave the boxes", u"yes", u"1x", u"on", -1, -1, -1},
        {"numbers a box cannot take", u"2", u"-1", u"7", -1, -1, -1},
    };
    Devices({u"Speakers"});
    for (const Case& c : cases) {
        Store(u"PlaybackCheck", c.play);
        Store(u"RecordCheck", c.record);
        Store(u"StartupCheck", c.startup);
        // -1 marks a box that keeps its state from before the start.
        view.playCheck.value = c.playValue < 0 ? 1 : 1 - c.playValue;
        view.recordCheck.value = c.recordValue < 0 ? 0 : 1 - c.recordValue;
        view.startupCheck.value = c.startupValue < 0 ? 1 : 1 - c.startupValue;
        int playBefore = view.playCheck.value, recordBefore = view.recordCheck.value;
        int startupBefore = view.startupCheck.value;
        Forget();
        window.Load();
        EXPECT_EQ(view.playCheck.value, c.playValue < 0 ? playBefore : c.playValue) << c.what;
        EXPECT_EQ(view.recordCheck.value, c.recordValue < 0 ? recordBefore : c.recordValue) << c.what;
        EXPECT_EQ(view.startupCheck.value, c.startupValue < 0 ? startupBefore : c.startupValue) << c.what;
        EXPECT_EQ(view.startupCombo.visible, view.startupCheck.value == 1) << c.what;
        // A restored value is saved back through the box's click.
        const Strings calls = Calls();
        bool saved = std::find(calls.begin(), calls.end(), "save PlaybackCheck=" + std::to_string(c.playValue)) !=
                     calls.end();
        EXPECT_EQ(saved, c.playValue >= 0) << c.what;
    }
}

TEST_F(MainWindowLifecycle, StartupDeviceIsSetAtStart) {
    Devices({u"Speakers", u"Speakers 2", u"Headset"});
    Store(u"StartupCheck", u"1");
    Store(u"StartupDevice", u"Speakers");
    SetMapper(u"Playback", u"Headset");
    SetMapper(u"Record", u"Headset");
    window.Load();
    EXPECT_EQ(Mapper(u"Playback"), u"Speakers");
    EXPECT_EQ(Mapper(u"Record"), u"Speakers");
    EXPECT_EQ(window.CurrentDevice(), u"Speakers");
    EXPECT_EQ(view.currentCardTxt.caption, u"Default Soundcard: Speakers");
    EXPECT_EQ(view.SelectedRow(), u"Speakers");
    EXPECT_EQ(view.deviceList.selected, 0);
    EXPECT_TRUE(view.startupCombo.visible);
    EXPECT_EQ(tray.toolTip, u"Speakers");
    EXPECT_FALSE(view.window.visible);
}

TEST_F(MainWindowLifecycle, StartupDeviceThatHasGoneIsStillWritten) {
    Devices({u"Speakers"});
    Store(u"StartupCheck", u"1");
    Store(u"StartupDevice", u"Old USB Headset");
    window.Load();
    EXPECT_EQ(view.startupCombo.text, u"Old USB Headset");
    EXPECT_EQ(Mapper(u"Playback"), u"Old USB Headset");
    EXPECT_EQ(tray.toolTip, u"Old USB Headset");
    EXPECT_EQ(view.deviceList.selected, -1);
}

TEST_F(MainWindowLifecycle, StartupWithoutRolesShowsTheWindow) {
    Devices({u"Speakers"});
    Store(u"PlaybackCheck", u"0");
    Store(u"RecordCheck", u"0");
    Store(u"StartupCheck", u"1");
    window.Load();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, u"Please select input/output first!");
    EXPECT_TRUE(view.window.visible);
    EXPECT_EQ(tray.toolTip, u"");
}

TEST_F(MainWindowLifecycle, AutostartRestoredFromTheRunValue) {
    Devices({u"Speakers"});
    identity.folder = u"C:\\New Place";
    registry.WriteRegString(u"HKEY_CURRENT_USER", kRunKeyPath, u"Marvolt", u"C:\\Old\\Marvolt.exe");
    window.Load();
    EXPECT_EQ(view.autoRunCheck.value, 1);
    // Ticking it at start repairs the entry for the program now running.
    EXPECT_EQ(RunEntry(), u"\"C:\\New Place\\Marvolt.exe\"");
}

TEST_F(MainWindowLifecycle, AnEarlierInstanceEndsTheStart) {
    Devices({u"Speakers"});
    guard.earlierInstance = true;
    EXPECT_THROW(window.Load(), ProcessEnded);
    EXPECT_EQ(Calls(), (Strings{"guard", "end"}));
    EXPECT_EQ(pin.toTopCalls, 0);
    EXPECT_TRUE(view.deviceList.items.empty());
    EXPECT_TRUE(tray.adds.empty());
    EXPECT_EQ(StoredType(u"PreferredOnly"), 0u);
}

TEST_F(MainWindowLifecycle, HideGoesToTheTrayWithAFreshIconEachTime) {
    Devices({u"Speakers", u"Headset"});
    Store(u"StartupCheck", u"1");
    Store(u"StartupDevice", u"Headset");
    window.Load();
    tray.Restore();  // a double click on the icon
    ASSERT_TRUE(view.window.visible);
    ASSERT_FALSE(tray.iconShown);

    for (int round = 0; round < 2; ++round) {
        Forget();
        window.OnCommand1Click();
        EXPECT_EQ(view.window.state, WindowState::Minimized);
        EXPECT_FALSE(view.window.visible);
        EXPECT_TRUE(tray.iconShown) << round;
        EXPECT_EQ(tray.toolTip, u"current: Headset") << round;
        EXPECT_EQ(Calls(), (Strings{"window minimized", "window hidden", "tray add current: Headset", "tray menu"}));
        EXPECT_NE(tray.menuString.find(u"Soundcard 2: Headset  <default>"), std::u16string::npos);
        tray.Restore();
        EXPECT_TRUE(view.window.visible);
        EXPECT_EQ(view.window.state, WindowState::Normal);
    }
}

TEST_F(MainWindowLifecycle, CloseRequestAsksOnlyAVisibleWindow) {
    Devices({u"Speakers"});
    window.Load();
    view.window.visible = true;

    // No: the program stays, in the tray.
    messages.answer = MessageAnswer::No;
    Forget();
    EXPECT_TRUE(window.OnQueryUnload());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, u"Shutdown Marvolt?");
    EXPECT_EQ(messages.shown[0].title, u"Exit program?");
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Question);
    EXPECT_EQ(view.window.state, WindowState::Minimized);
    EXPECT_FALSE(view.window.visible);
    EXPECT_TRUE(tray.iconShown);
    EXPECT_TRUE(window.TrayIconActive());
    EXPECT_EQ(tray.unloads, 0);

    // Hidden (and minimised): closes without asking and takes the tray down.
    Forget();
    EXPECT_FALSE(window.OnQueryUnload());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Calls(), (Strings{"tray remove", "tray unload"}));
    EXPECT_FALSE(window.TrayIconActive());
    EXPECT_FALSE(tray.loaded);
    Forget();
    window.OnUnload();
    EXPECT_TRUE(Calls().empty());
}

TEST_F(MainWindowLifecycle, CloseRequestYesAndUnload) {
    Devices({u"Speakers"});
    window.Load();
    view.window.visible = true;
    messages.answer = MessageAnswer::Yes;
    Forget();
    EXPECT_FALSE(window.OnQueryUnload());
    EXPECT_EQ(Calls(), (Strings{"message Shutdown Marvolt?", "tray remove", "tray unload"}));

    window.Load();
    Forget();
    window.OnUnload();
    EXPECT_EQ(Calls(), (Strings{"tray remove", "tray unload"}));
    EXPECT_FALSE(window.TrayIconActive());
}

TEST_F(MainWindowLifecycle, ExitButtonAsksThenEndsAtOnce) {
    Devices({u"Speakers"});
    window.Load();
    view.window.visible = true;

    messages.answer = MessageAnswer::No;
    Forget();
    window.OnExitBtnClick();
    EXPECT_EQ(Calls(), (Strings{"message Shutdown Marvolt?"}));
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Question);
    EXPECT_TRUE(tray.iconShown);

    messages.answer = MessageAnswer::Yes;
    Forget();
    EXPECT_THROW(window.OnExitBtnClick(), ProcessEnded);
    EXPECT_EQ(Calls(), (Strings{"message Shutdown Marvolt?", "tray remove", "tray unload", "end"}));
    EXPECT_FALSE(window.TrayIconActive());
}

}  // namespace
}  // namespace marvolt::testing
