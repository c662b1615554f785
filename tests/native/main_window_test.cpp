// Start-up, switching, options, the tray menu and the window's life cycle.
#include <array>
#include <tuple>

#include "tests/native/main_window_fixture.h"

namespace marvolt::fakes {
namespace {

TEST_F(MainWindowTest, FirstStartPreparesTheSoundMapperAndGoesToTheTray) {
    Devices({u"Speakers"});
    window.Load();
    EXPECT_EQ(trace.Take(),
              "guard /; pin top; window hidden; caption Marvolt Vers. 1.01; reg set PreferredOnly; "
              "reg set SetupPreferredAudioDevicesCount; reg set Record; reg set Playback; "
              "save Settings\\PlaybackCheck=1; save Settings\\RecordCheck=1; tray add ; tray menu");
    EXPECT_EQ(
        registry.ReadRegDword(u"HKEY_CURRENT_USER", kMapper.substr(18), u"PreferredOnly", -32) *
                10 +
            registry.ReadRegDword(u"HKEY_CURRENT_USER", kMapper.substr(18),
                                  u"SetupPreferredAudioDevicesCount", -32),
        13);
    EXPECT_EQ(Seen(),
              "play=Speakers rec=Speakers | Default Soundcard:  | row -1 | hidden | tray ''");
    EXPECT_EQ(std::vector<int>({view.play.value, view.record.value, view.startup.value,
                                view.combo.visible, view.autoRun.value, window.TrayIconActive()}),
              std::vector<int>({1, 1, 0, 0, 0, 1}));
    EXPECT_EQ(Menu(), "Soundcard 1: Speakers  <default>   (Play + Rec), -, Exit");

    // Values already there stay; -32 reads as absent. No devices: empty texts.
    registryApi.SetDword(kCurrentUser, kMapper.substr(18, 42), u"PreferredOnly", 0);
    registryApi.SetDword(kCurrentUser, kMapper.substr(18, 42), u"SetupPreferredAudioDevicesCount",
                         -32);
    Set(u"Record", u"Headset");
    Devices({});
    window.Load();
    EXPECT_EQ(trace.Take().find("reg set Playback;"), std::string::npos);
    EXPECT_EQ(
        registry.ReadRegDword(u"HKEY_CURRENT_USER", kMapper.substr(18, 42), u"PreferredOnly", 9) *
                10 +
            registry.ReadRegDword(u"HKEY_CURRENT_USER", kMapper.substr(18, 42),
                                  u"SetupPreferredAudioDevicesCount", 9),
        3);
    EXPECT_EQ(Get(u"Record"), "Headset");
    // Values of another form are someone else's.
    Set(u"PreferredOnly", u"twelve");
    registryApi.SetRaw(kCurrentUser, kMapper.substr(18, 42), u"SetupPreferredAudioDevicesCount",
                       kRegBinary, std::vector<std::uint8_t>(5, 0xE0));
    window.Load();
    EXPECT_EQ(Get(u"PreferredOnly"), "twelve");
    EXPECT_EQ(
        registryApi.GetRaw(kCurrentUser, kMapper.substr(18, 42), u"SetupPreferredAudioDevicesCount")
            .bytes.size(),
        5u);
}

TEST_F(MainWindowTest, StartRestoresTheOptionsAndSetsTheStartupDevice) {
    const std::tuple<std::array<const char*, 3>, std::u16string, std::string, std::string,
                     std::string>
        cases[] = {
            {{"0", "0", "1"},
             u"Speakers",
             "110",
             "001",
             "play=Old rec=Old | Default Soundcard:  | row -1 | visible | tray ''"},
            {{"1", "1", "0"},
             u"Speakers",
             "001",
             "110",
             "play=Old rec=Old | Default Soundcard:  | row -1 | hidden | tray ''"},
            {{"yes", "2", "x"},
             u"Speakers",
             "001",
             "110",
             "play=Old rec=Old | Default Soundcard:  | row -1 | hidden | tray ''"},
            {{"1", "1", "1"},
             u"Speakers",
             "111",
             "111",
             "play=Speakers rec=Speakers | Default Soundcard: Speakers | row 0 | hidden | tray "
             "'Speakers'"},
            {{" 0 ", "1", "1"},
             u"Speakers 2",
             "100",
             "011",
             "play=Old rec=Speakers 2 | Default Soundcard: Speakers 2 | row 1 | hidden | tray "
             "'Speakers 2'"},
            {{"1", "0", "1"},
             u"Gone USB",
             "010",
             "101",
             "play=Gone USB rec=Old | Default Soundcard: Gone USB | row -1 | hidden | tray 'Gone "
             "USB'"},
        };
    Devices({u"Speakers", u"Speakers 2"});
    for (const auto& [stored, device, before, boxes, seen] : cases) {
        Store(u"PlaybackCheck", FromUtf8(stored[0])), Store(u"RecordCheck", FromUtf8(stored[1]));
        Store(u"StartupCheck", FromUtf8(stored[2])), Store(u"StartupDevice", device);
        Set(u"Playback", u"Old"), Set(u"Record", u"Old");
        view.list.selected = -1, view.visible = true, tray.shown = false,
        view.combo.visible = before[2] == '0';
        // A value that can't be read is the option's default.
        Roles(before[0] - '0', before[1] - '0'), view.startup.value = before[2] - '0';
        window.Load();
        EXPECT_EQ(Seen(), seen) << stored[0] << stored[1] << stored[2];
        EXPECT_EQ(N(view.play.value) + N(view.record.value) + N(view.startup.value), boxes);
        EXPECT_EQ(view.combo.visible, boxes[2] == '1');
        bool asked = trace.Take().find("Please select input/output first!") != std::string::npos;
        EXPECT_EQ(asked, boxes == "001");
    }
}

TEST_F(MainWindowTest, StartRepairsTheAutostartEntryAndEndsForAnEarlierInstance) {
    system.folder = u"C:\\New Place";
    registry.WriteRegString(u"HKEY_CURRENT_USER",
                            u"Software\\Microsoft\\Windows\\CurrentVersion\\Run", u"Marvolt",
                            u"C:\\Old\\Marvolt.exe");
    window.Load();
    EXPECT_EQ(view.autoRun.value, 1);
    EXPECT_EQ(registry.ReadRegPath(kRun), u"\"C:\\New Place\\Marvolt.exe\"");

    system.earlierInstance = true;
    trace.Take();
    EXPECT_THROW(window.Load(), ProcessEnded);
    EXPECT_EQ(trace.Take(), "guard /; end");
}

TEST_F(MainWindowTest, HideCloseAndExit) {
    Devices({u"Speakers", u"Headset"});
    Store(u"StartupCheck", u"1"), Store(u"StartupDevice", u"Headset");
    window.Load();
    tray.DoubleClick();
    for (int round = 0; round < 2; ++round) {
        trace.Take();
        window.OnCommand1Click();
        EXPECT_EQ(trace.Take(),
                  "window minimized; window hidden; tray add current: Headset; tray menu");
        EXPECT_EQ(Seen(),
                  "play=Headset rec=Headset | Default Soundcard: Headset | row 1 | hidden min | "
                  "tray 'current: Headset'");
        tray.DoubleClick();
    }
    const std::tuple<bool, WindowState, MessageAnswer, bool, std::string> cases[] = {
        {true, WindowState::Normal, MessageAnswer::No, true,
         "message Shutdown Marvolt? | Exit program? | 12; window minimized; window hidden; tray "
         "add current: Headset; tray menu"},
        {true, WindowState::Normal, MessageAnswer::Yes, false,
         "message Shutdown Marvolt? | Exit program? | 12; tray remove; tray unload"},
        {true, WindowState::Minimized, MessageAnswer::No, false, "tray remove; tray unload"},
        {false, WindowState::Normal, MessageAnswer::No, false, "tray remove; tray unload"},
    };
    for (const auto& [visible, state, answer, cancel, steps] : cases) {
        window.CreatePopupMenu();
        view.visible = visible, view.state = state, system.answer = answer;
        trace.Take();
        EXPECT_EQ(window.OnQueryUnload(), cancel);
        EXPECT_EQ(trace.Take(), steps);
        EXPECT_EQ(window.TrayIconActive(), cancel);
    }
    window.OnUnload();  // the tray is down already
    EXPECT_EQ(trace.Take(), "");

    system.answer = MessageAnswer::No;
    window.OnExitBtnClick();
    EXPECT_EQ(trace.Take(), "message Shutdown Marvolt? | Exit program? | 12");
    system.answer = MessageAnswer::Yes;
    EXPECT_THROW(window.OnExitBtnClick(), ProcessEnded);
    EXPECT_EQ(trace.Take(),
              "message Shutdown Marvolt? | Exit program? | 12; tray remove; tray unload; end");
}

TEST_F(MainWindowTest, ListsEveryAnsweringDeviceByName) {
    const std::tuple<std::vector<std::u16string>, std::vector<std::u16string>> cases[] = {
        {{}, {}},
        {{u"Speakers", u"!", u"  Line Out  Rear "}, {u"Speakers", u"Line Out  Rear"}},
        {{u"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"}, {u"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"}},
        {{u"USB Audio", u"USB Audio"}, {u"USB Audio", u"USB Audio"}},
    };
    for (const auto& [fields, rows] : cases) {
        Rows(fields);
        EXPECT_EQ(view.list.items, rows);
        EXPECT_EQ(view.combo.items, rows);
        EXPECT_EQ(view.combo.text, rows.empty() ? u"" : rows[0]);
    }
    system.count = 0x80000000LL;  // beyond the signed range: nothing
    window.OnTrayMenu(u"Reload list of Soundcards");
    EXPECT_EQ(trace.Take(), "tray menu; beep");
    EXPECT_TRUE(view.list.items.empty());

    system.count = -1;
    Store(u"StartupDevice", u"Old USB Headset");
    Rows({u"Headset", u"Speakers"});
    EXPECT_EQ(view.combo.text, u"Old USB Headset");
    EXPECT_EQ(Menu(), "Soundcard 1: Headset, Soundcard 2: Speakers, -, Exit");
}

TEST_F(MainWindowTest, SetDeviceWritesTheTickedRolesRecordFirst) {
    Rows({u"Speakers", u"Headset"});
    const std::tuple<int, int, std::u16string, std::string, std::string> cases[] = {
        {1, 1, u"Headset", "reg set Record; reg set Playback",
         "play=Headset rec=Headset | Default Soundcard: Headset | row 1"},
        {1, 0, u"Speakers", "reg set Playback",
         "play=Speakers rec=Headset | Default Soundcard: Speakers | row 0"},
        {0, 1, u"Gone", "reg set Record",
         "play=Speakers rec=Gone | Default Soundcard: Gone | row 0"},
        {0, 0, u"Headset",
         "message You have not selected Playback or Record!\r\rYou must select an input and/or "
         "output before you "
         "can set the device! | Please select input/output first! | 01; window normal; window "
         "shown",
         "play=Speakers rec=Gone | Default Soundcard: Speakers | row 0"},
        {1, 1, u"", "message Please select an device | No Soundcard selected | 01",
         "play=Speakers rec=Gone | Default Soundcard: Speakers | row 0"},
    };
    for (const auto& [play, record, name, steps, seen] : cases) {
        Roles(play, record);
        view.visible = false, view.state = WindowState::Minimized;
        window.SetDevice(name);
        EXPECT_EQ(trace.Take(), steps);
        EXPECT_EQ(Seen().substr(0, seen.size()), seen);
    }
    EXPECT_EQ(window.CurrentDevice(), u"Gone");
}

TEST_F(MainWindowTest, TheShownDeviceSelectsItsOwnRow) {
    const std::tuple<std::vector<std::u16string>, std::u16string, int, int> cases[] = {
        {{u"Speakers", u"Speakers 2"}, u"Speakers", -1, 0},
        {{u"Speakers 2", u"Speakers"}, u"Speakers", -1, 1},
        {{u"Speakers", u"Speakers 2"}, u"Speakers 2 ", -1, 1},
        {{u"USB Speakers", u"Speakers 2", u"Headset"}, u"Speakers", -1, 1},
        {{u"USB Speakers", u"Headset"}, u"Speakers", -1, 0},
        {{u"Headset", u"Speakers"}, u"Monitor", 0, 0},
        {{u"Headset", u"Speakers"}, u"", 0, 0},
        {{u"Headset", u"Speakers"}, u"", -1, -1},
    };
    Roles(0, 0);  // SetDevice then shows the "Playback" value without writing
    for (const auto& [rows, name, before, selected] : cases) {
        view.list.items = rows, view.list.selected = before;
        Set(u"Playback", name);
        window.SetDevice(u"x");
        EXPECT_EQ(view.list.selected, selected) << U8(name);
    }
}

TEST_F(MainWindowTest, SetButtonDoubleClickAndOptionClicks) {
    Rows({u"Speakers", u"Headset"});
    Roles(1, 0);
    view.list.selected = 1;
    window.OnSetBtnClick();
    EXPECT_EQ(Menu(),
              "Soundcard 1: Speakers, Soundcard 2: Headset  <default>  (Playback), -, Exit");
    view.list.selected = 0;
    window.OnDeviceListDoubleClick();
    EXPECT_EQ(Get(u"Playback"), "Speakers");
    view.list.selected = -1;
    trace.Take();
    window.OnSetBtnClick();
    EXPECT_EQ(trace.Take(),
              "message Please select an device | No Soundcard selected | 01; tray menu");

    view.startup.value = 0;
    for (FakeCheck* box : {&view.play, &view.record, &view.startup, &view.startup}) box->Click();
    view.combo.text = u"Typed Device";
    window.OnStartupComboLostFocus();
    EXPECT_EQ(trace.Take(),
              "save Settings\\PlaybackCheck=0; save Settings\\RecordCheck=1; save "
              "Settings\\StartupCheck=1; "
              "save Settings\\StartupCheck=0; save Settings\\StartupDevice=Typed Device");
    EXPECT_FALSE(view.combo.visible);
    view.startup.Click();
    EXPECT_TRUE(view.combo.visible);
}

TEST_F(MainWindowTest, AutostartEntryNamesTheRunningProgram) {
    const std::tuple<std::u16string, std::u16string, std::u16string> cases[] = {
        {u"C:\\", u"Marvolt", u"C:\\Marvolt.exe"},
        {u"C:\\Tools", u"Marvolt", u"C:\\Tools\\Marvolt.exe"},
        {u"D:\\Apps\\", u"Sound Switch", u"\"D:\\Apps\\Sound Switch.exe\""},
    };
    for (const auto& [folder, exe, entry] : cases) {
        system.folder = folder, system.exe = exe;
        view.autoRun.value = 0;
        view.autoRun.Click();
        EXPECT_EQ(registry.ReadRegPath(kRun), entry);
    }
    trace.Take();
    view.autoRun.Click();
    view.autoRun.value = 1;
    view.autoRun.Click();  // no entry left: nothing to delete
    EXPECT_EQ(trace.Take(), "reg delete Marvolt");
    EXPECT_EQ(registry.ReadRegPath(kRun), u"");
}

TEST_F(MainWindowTest, FixedTrayEntriesAndTheirGermanTwins) {
    Rows({u"Speakers", u"Exit"});
    Set(u"Playback", u"Speakers");
    trace.Take();
    const std::string sound = "start rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,,0 @1";
    const std::string back = "window normal; window shown";
    const std::tuple<std::u16string, std::string> cases[] = {
        {u"Homepage ...", "open https://www.marvolt.example/ @1"},
        {u"Windows audio settings ...", sound},
        {u"Windows Audio Einstellungen ...", sound},
        {u"Windows audio mixer ...", "start sndvol32.exe @1"},
        {u"Windows Audio Mixer ...", "start sndvol32.exe @1"},
        {u"Reload list of Soundcards", "tray menu; beep"},
        {u"Soundkarten neu einlesen", "tray menu; beep"},
        {u"Settings ...", back},
        {u"Einstellungen ...", back},
        {u"Current: Speakers", ""},
        {u"homepage ...", ""},
        {u"exit", ""},
        {u"Soundcard 3: Headset", ""},
    };
    for (const auto& [entry, steps] : cases) {
        view.visible = false, view.state = WindowState::Minimized;
        window.OnTrayMenu(entry);
        EXPECT_EQ(trace.Take(), steps) << U8(entry);
    }
    EXPECT_EQ(Seen(),
              "play=Speakers rec= | Default Soundcard: Speakers | row 0 | hidden min | tray -");
    window.OnWebPageClick();
    EXPECT_EQ(trace.Take(), "open https://www.marvolt.example/ @1");
    for (const char16_t* entry : {u"Exit", u"Beenden"}) {
        EXPECT_THROW(window.OnTrayMenu(entry), ProcessEnded);
        EXPECT_EQ(trace.Take(), "tray remove; end");
    }
}

TEST_F(MainWindowTest, ChoosingADeviceEntrySetsItAndRenewsTheIcon) {
    const std::tuple<std::vector<std::u16string>, std::u16string, std::u16string> cases[] = {
        {{u"Speakers", u"Current: USB"}, u"Soundcard 2: Current: USB", u"Current: USB"},
        {{u"Speakers", u"Speakers 2"}, u"Soundcard 2: Speakers 2", u"Speakers 2"},
        {{u"Speakers", u"Speakers 2"}, u"Soundcard 1: Speakers", u"Speakers"},
        {{u"Speakers 2", u"Speakers"}, u"Soundcard 2: Speakers", u"Speakers"},
        {{u"Speakers 2", u"Speakers"},
         u"Soundcard 1: Speakers 2  <default>  (Playback)",
         u"Speakers 2"},
        {{u"   ", u"Headset"}, u"Soundcard 2: Headset", u"Headset"},
    };
    window.Load();
    for (const auto& [rows, entry, device] : cases) {
        Rows(rows);
        Roles(1, device != u"Headset");
        window.OnTrayMenu(entry);
        std::string record = device != u"Headset" ? "reg set Record; " : "";
        EXPECT_EQ(trace.Take(), record + "reg set Playback; tray menu; tray remove; tray add " +
                                    U8(device) + "; beep");
        EXPECT_EQ(Get(u"Playback"), U8(device));
        EXPECT_EQ(tray.tip, device);
    }
    // A refused choice still renews the icon, with the old tip.
    Rows({u"Speakers", u"Headset"});
    Roles(0, 0);
    window.OnTrayMenu(u"Soundcard 1: Speakers");
    std::string steps = trace.Take();
    EXPECT_EQ(steps.substr(steps.find("| 01; ") + 6),
              "window normal; window shown; tray menu; tray remove; tray add Headset; beep");
    EXPECT_EQ(Seen(),
              "play=Headset rec=Speakers 2 | Default Soundcard: Headset | row 1 | visible | tray "
              "'Headset'");
}

}  // namespace
}  // namespace marvolt::fakes
