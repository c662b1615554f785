// Device list, switching and the options of the settings window.
#include "tests/native/main_window_test_fixture.h"

namespace marvolt::testing {
namespace {

using Rows = std::vector<std::u16string>;

class MainWindowDevices : public MainWindowTest {};

TEST_F(MainWindowDevices, ListsEveryAnsweringDeviceByName) {
    struct Case {
        const char* what;
        std::vector<std::u16string> fields;  // empty text: a failing device
        Rows rows;
    };
    const std::u16string name31 = u"Realtek High Definition Audio 1";  // fills the field up to its NUL
    const std::u16string noNul = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";  // 32 characters, no NUL
    const Case cases[] = {
        {"no devices", {}, {}},
        {"a failing device is left out", {u"Speakers", u"", u"Headset"}, {u"Speakers", u"Headset"}},
        {"31 characters", {name31}, {name31}},
        {"a field without NUL", {noNul}, {noNul}},
        {"blanks around a name", {u"  Line Out  Rear "}, {u"Line Out  Rear"}},
        {"equal names stay", {u"USB Audio", u"USB Audio"}, {u"USB Audio", u"USB Audio"}},
    };
    for (const Case& c : cases) {
        devices.Clear();
        for (const std::u16string& field : c.fields) {
            if (field.empty())
                devices.AddFailing(11);
            else if (field.size() == 32)
                devices.AddField(field);
            else
                devices.Add(field);
        }
        window.OnTrayMenu(u"Reload list of Soundcards");
        EXPECT_EQ(view.deviceList.items, c.rows) << c.what;
        EXPECT_EQ(view.startupCombo.items, c.rows) << c.what;
        EXPECT_EQ(view.startupCombo.text, c.rows.empty() ? u"" : c.rows[0]) << c.what;
        EXPECT_EQ(view.deviceList.selected, -1) << c.what;
    }
}

TEST_F(MainWindowDevices, ACountBeyondTheSignedRangeListsNothing) {
    devices.Add(u"Speakers");
    devices.overrideCount = true;
    devices.count = 0x80000000u;
    window.OnTrayMenu(u"Reload list of Soundcards");
    EXPECT_TRUE(view.deviceList.items.empty());
    EXPECT_TRUE(devices.queried.empty());
}

TEST_F(MainWindowDevices, ReloadReplacesBothListsAndKeepsTheStoredStartupDevice) {
    Devices({u"Speakers", u"Headset"});
    window.OnTrayMenu(u"Reload list of Soundcards");
    window.OnTrayMenu(u"Reload list of Soundcards");
    EXPECT_EQ(view.deviceList.items, (Rows{u"Speakers", u"Headset"}));
    EXPECT_EQ(view.startupCombo.items, (Rows{u"Speakers", u"Headset"}));
    EXPECT_EQ(beeper.beeps, 2);

    Store(u"StartupDevice", u"Old USB Headset");
    Devices({u"Headset", u"Speakers"});
    window.OnTrayMenu(u"Reload list of Soundcards");
    EXPECT_EQ(view.startupCombo.text, u"Old USB Headset");
    // The menu follows the new order.
    EXPECT_NE(tray.menuString.find(u"Soundcard 1: Headset, Soundcard 2: Speakers, -, Exit"), std::u16string::npos)
        << ToUtf8(tray.menuString);
}

TEST_F(MainWindowDevices, SetDeviceWritesTheTickedRolesRecordFirst) {
    LoadRows({u"Speakers", u"Headset"});
    SetMapper(u"Playback", u"Old Play");
    SetMapper(u"Record", u"Old Rec");
    struct Case {
        const char* what;
        int play, record;
        std::u16string name;
        std::vector<std::string> writes;
        std::u16string playback, rec;
    };
    const Case cases[] = {
        {"both", 1, 1, u"Headset", {"reg set Record", "reg set Playback"}, u"Headset", u"Headset"},
        {"playback only", 1, 0, u"Speakers", {"reg set Playback"}, u"Speakers", u"Headset"},
        {"record only", 0, 1, u"Speakers", {"reg set Record"}, u"Speakers", u"Speakers"},
        {"a name not in the list", 1, 1, u"Gone Device", {"reg set Record", "reg set Playback"}, u"Gone Device",
         u"Gone Device"},
    };
    for (const Case& c : cases) {
        view.playCheck.value = c.play;
        view.recordCheck.value = c.record;
        Forget();
        window.SetDevice(c.name);
        EXPECT_EQ(Calls(), c.writes) << c.what;
        EXPECT_EQ(Mapper(u"Playback"), c.playback) << c.what;
        EXPECT_EQ(Mapper(u"Record"), c.rec) << c.what;
        EXPECT_EQ(window.CurrentDevice(), c.name) << c.what;
        EXPECT_EQ(view.currentCardTxt.caption, u"Default Soundcard: " + c.name) << c.what;
        EXPECT_TRUE(messages.shown.empty()) << c.what;
    }
}

TEST_F(MainWindowDevices, SetDeviceRefusals) {
    LoadRows({u"Speakers", u"Headset"});
    view.playCheck.value = 1;
    view.recordCheck.value = 1;
    window.SetDevice(u"Speakers");
    SetMapper(u"Playback", u"Headset");
    Forget();

    window.SetDevice(u"");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, u"Please select an device");
    EXPECT_EQ(messages.shown[0].title, u"No Soundcard selected");
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"message Please select an device"}));

    // Neither role ticked while hidden in the tray: the window comes back.
    view.playCheck.value = 0;
    view.recordCheck.value = 0;
    window.OnCommand1Click();
    Forget();
    window.SetDevice(u"Speakers");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              u"You have not selected Playback or Record!\r\rYou must select an input and/or output before you can "
              u"set the device!");
    EXPECT_EQ(messages.shown[0].title, u"Please select input/output first!");
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(view.window.state, WindowState::Normal);
    EXPECT_TRUE(view.window.visible);
    EXPECT_EQ(view.currentCardTxt.caption, u"Default Soundcard: Headset");
    EXPECT_EQ(view.SelectedRow(), u"Headset");
    EXPECT_EQ(window.CurrentDevice(), u"Speakers");
    EXPECT_EQ(Mapper(u"Record"), u"Speakers");
    for (const std::string& call : Calls()) EXPECT_EQ(call.rfind("reg set", 0), std::string::npos) << call;
}

TEST_F(MainWindowDevices, ShownDeviceSelectsItsOwnRow) {
    struct Case {
        const char* what;
        Rows rows;
        std::u16string name;
        int selectedBefore, selected;
    };
    const Case cases[] = {
        {"the equal row wins over a longer one after it", {u"Speakers", u"Speakers 2"}, u"Speakers", -1, 0},
        {"the equal row wins over a longer one before it", {u"Speakers 2", u"Speakers"}, u"Speakers", -1, 1},
        {"the longer name", {u"Speakers", u"Speakers 2"}, u"Speakers 2", -1, 1},
        {"a trailing blank is ignored", {u"Speakers", u"Speakers 2"}, u"Speakers ", -1, 0},
        {"no equal row: the last containing row", {u"USB Speakers", u"Speakers 2", u"Headset"}, u"Speakers", -1, 1},
        {"no row at all leaves the selection", {u"Headset", u"Speakers"}, u"Monitor", 0, 0},
        {"an empty name leaves the selection", {u"Headset", u"Speakers"}, u"", 0, 0},
        {"an empty name selects nothing", {u"Headset", u"Speakers"}, u"", -1, -1},
    };
    for (const Case& c : cases) {
        view.deviceList.items = c.rows;
        view.deviceList.selected = c.selectedBefore;
        // Neither box ticked: SetDevice shows the "Playback" value without writing.
        view.playCheck.value = 0;
        SetMapper(u"Playback", c.name);
        window.SetDevice(u"x");
        EXPECT_EQ(view.deviceList.selected, c.selected) << c.what;
        EXPECT_EQ(view.currentCardTxt.caption, u"Default Soundcard: " + c.name) << c.what;
    }
}

TEST_F(MainWindowDevices, SetButtonAndDoubleClickSetTheSelectedRowAndRebuildTheMenu) {
    LoadRows({u"Speakers", u"Headset"});
    view.playCheck.value = 1;
    view.recordCheck.value = 0;
    view.SelectRow(u"Headset");
    window.OnSetBtnClick();
    EXPECT_EQ(Mapper(u"Playback"), u"Headset");
    EXPECT_EQ(window.CurrentDevice(), u"Headset");
    EXPECT_NE(tray.menuString.find(u"Soundcard 2: Headset  <default>  (Playback)"), std::u16string::npos)
        << ToUtf8(tray.menuString);

    view.SelectRow(u"Speakers");
    window.OnDeviceListDoubleClick();
    EXPECT_EQ(Mapper(u"Playback"), u"Speakers");
    EXPECT_NE(tray.menuString.find(u"Soundcard 1: Speakers  <default>  (Playback)"), std::u16string::npos);

    view.deviceList.selected = -1;
    messages.shown.clear();
    window.OnSetBtnClick();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, u"Please select an device");
    EXPECT_EQ(Mapper(u"Playback"), u"Speakers");
}

TEST_F(MainWindowDevices, OptionClicksAreSavedAtOnce) {
    view.startupCheck.value = 0;
    view.startupCombo.visible = false;
    struct Step {
        FakeCheckBox& box;
        std::string saved;
    };
    Step steps[] = {
        {view.playCheck, "save PlaybackCheck=1"},   {view.playCheck, "save PlaybackCheck=0"},
        {view.recordCheck, "save RecordCheck=1"},   {view.recordCheck, "save RecordCheck=0"},
        {view.startupCheck, "save StartupCheck=1"}, {view.startupCheck, "save StartupCheck=0"},
    };
    for (Step& step : steps) {
        Forget();
        step.box.Click();
        EXPECT_EQ(Calls(), std::vector<std::string>{step.saved});
        if (&step.box == &view.startupCheck) {
            EXPECT_EQ(view.startupCombo.visible, step.box.value == 1);
        }
    }
    EXPECT_EQ(Stored(u"PlaybackCheck"), u"0");

    view.startupCombo.text = u"Typed Device";
    window.OnStartupComboLostFocus();
    EXPECT_EQ(Stored(u"StartupDevice"), u"Typed Device");
}

TEST_F(MainWindowDevices, AutostartEntryNamesTheRunningProgram) {
    struct Case {
        std::u16string folder, exe, entry;
    };
    const Case cases[] = {
        {u"C:\\", u"Marvolt", u"C:\\Marvolt.exe"},
        {u"C:\\Tools", u"Marvolt", u"C:\\Tools\\Marvolt.exe"},
        {u"C:\\Program Files\\Tools", u"Marvolt", u"\"C:\\Program Files\\Tools\\Marvolt.exe\""},
        {u"D:\\Apps\\", u"Sound Switch", u"\"D:\\Apps\\Sound Switch.exe\""},
    };
    for (const Case& c : cases) {
        identity.folder = c.folder;
        identity.exeBaseName = c.exe;
        view.autoRunCheck.value = 0;
        view.autoRunCheck.Click();
        EXPECT_EQ(ToUtf8(RunEntry()), ToUtf8(c.entry));
    }

    view.autoRunCheck.Click();
    EXPECT_EQ(RunEntry(), u"");
    // Clearing again, with no entry left, deletes nothing.
    Forget();
    view.autoRunCheck.value = 1;
    view.autoRunCheck.Click();
    EXPECT_TRUE(Calls().empty());
    registry.WriteRegString(u"HKEY_CURRENT_USER", kRunKeyPath, u"Marvolt", u"");
    Forget();
    view.autoRunCheck.value = 1;
    view.autoRunCheck.Click();
    EXPECT_TRUE(Calls().empty());
}

}  // namespace
}  // namespace marvolt::testing
