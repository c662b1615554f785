// The cycling hotkey: its stored text, the row it goes to, the pace of the
// reloads that device notifications ask for, and the settings window's use of them.
#include <gmock/gmock.h>

#include "app/device_cycle.h"
#include "tests/native/main_window_fixture.h"

namespace marvolt::fakes {
namespace {

using ::testing::_;
using ::testing::Return;

TEST(DeviceCycle, HotkeyTextsReadBackAsWritten) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"Ctrl+Alt+F12", u"Ctrl+Alt+F12"}, {u" shift + CTRL+k ", u"Ctrl+Shift+K"}, {u"Alt+0xbA", u"Alt+0xBA"},
        {u"Ctrl+Alt+Shift+Space", u"Ctrl+Alt+Shift+Space"}, {u"F24", u"F24"},     {u"Ctrl+Del", u"Ctrl+Del"},
        {u"NONE", u"none"},                                 {u"Alt+7", u"Alt+7"},  {u"Ctrl+F25", nullptr},
        {u"Ctrl+Ctrl+K", nullptr}, {u"Win+K", nullptr}, {u"Ctrl+", nullptr}, {u"Ctrl+0xFF", nullptr}, {u"", nullptr},
        {u"Ctrl+0x0", nullptr},    {u"KK", nullptr},
    };
    for (const auto& [stored, shown] : cases) {
        std::optional<Hotkey> hotkey = ParseHotkey(stored);
        EXPECT_EQ(hotkey ? U8(HotkeyText(*hotkey)) : "unreadable", shown ? U8(shown) : "unreadable") << U8(stored);
    }
    EXPECT_EQ(U8(HotkeyText({0x60, kHotkeyControl})), "Ctrl+0x60");
    EXPECT_EQ(ParseHotkey(u"Ctrl+0x60"), std::optional<Hotkey>(Hotkey{0x60, kHotkeyControl}));
}

// Rows as "name:flags", t ticked and p present.
TEST(DeviceCycle, NextRowWrapsAndSkipsRowsOutOfTheCycle) {
    struct Case {
        std::vector<const char*> rows;
        const char* current;
        int next;
    } cases[] = {
        {{"A:tp", "B:tp", "C:tp"}, "A", 1},
        {{"A:tp", "B:tp", "C:tp"}, "C", 0},       // wraps around
        {{"A:tp", "B:p", "C:t", "D:tp"}, "A", 3},  // B not ticked, C gone
        {{"A:p", "B:p", "C:p"}, "B", 2},          // none ticked: every row
        {{"A:tp"}, "A", 0},                       // one row: itself
        {{"A:tp", "B:tp"}, "Gone", 0},            // a default that is no row: the first
        {{"A:tp", "A:tp", "B:tp"}, "A", 2},       // the same name is no step on
        {{"A:tp", "A:tp"}, "A", 1},
        {{"A:t", "B:t"}, "A", -1},                // every ticked device gone
        {{":tp", "B:tp"}, "B", 1},                // a nameless row is never chosen
        {{}, "A", -1},
    };
    for (const Case& c : cases) {
        std::vector<CycleRow> rows;
        for (std::string row : c.rows) {
            std::string flags = row.substr(row.find(':'));
            rows.push_back({FromUtf8(row.substr(0, row.find(':'))), flags.find('t') != std::string::npos,
                            flags.find('p') != std::string::npos});
        }
        EXPECT_EQ(NextCycleRow(rows, FromUtf8(c.current)), c.next) << ::testing::PrintToString(c.rows) << c.current;
    }
}

// Each step: a change at a time ("c1000") gives a wait or "-"; a reload at a time ("r1250").
TEST(DeviceCycle, ReloadsComeOnceABurstAndASecondApart) {
    struct Case {
        std::vector<const char*> steps;
        std::string waits;
    } cases[] = {
        {{"c1000", "c1010", "c1200", "r1250"}, "250 - - "},
        {{"c1000", "r1250", "c1300", "r2250", "c5000"}, "250 950 250 "},
        {{"c1000", "r1250", "c2000", "r2250"}, "250 250 "},
        {{"c4294967000", "r4294967250", "c200"}, "250 754 "},  // the ticks wrap around
        {{"c1000", "c3000", "c4000"}, "250 - 250 "},                // a lost timer ends its wait
    };
    for (const Case& c : cases) {
        ChangePacer pacer;
        std::string waits;
        for (std::string step : c.steps) {
            auto now = static_cast<std::uint32_t>(std::stoull(step.substr(1)));
            if (step[0] == 'r') pacer.OnReload(now);
            if (step[0] != 'c') continue;
            std::optional<std::uint32_t> wait = pacer.OnChange(now);
            waits += (wait ? N(*wait) : "-") + " ";
        }
        EXPECT_EQ(waits, c.waits) << ::testing::PrintToString(c.steps);
    }
}

struct MockSystemEvents : SystemEvents {
    MOCK_METHOD(void, Listen, (SystemEventsListener&), (override));
    MOCK_METHOD(HotkeyState, SetHotkey, (const Hotkey&), (override));
    MOCK_METHOD(std::uint32_t, Ticks, (), (override));
    MOCK_METHOD(void, StartTimer, (std::uint32_t), (override));
};

struct CyclingWindow : MainWindowTest {
    CyclingWindow() { view.events = &cycling; }
    ::testing::NiceMock<MockSystemEvents> events;
    MainWindow cycling{view, MainWindowServices{registry, settings, system, system, system, system, system, system,
                                                system, system, tray, system, nullptr, &events}};
    std::string registered;
    void Answer(HotkeyState state) {
        EXPECT_CALL(events, SetHotkey(_)).WillOnce([this, state](const Hotkey& hotkey) {
            registered = U8(HotkeyText(hotkey));
            return state;
        });
    }
};

// The stored hotkey, or Ctrl+Alt+F12 for none or an unreadable one, goes into
// the box and is registered; one another program holds is told beside it. A
// new one typed into the box is stored and registered at once.
TEST_F(CyclingWindow, TheStoredHotkeyIsRegisteredAndATakenOneIsTold) {
    struct Case {
        const char16_t* stored;
        HotkeyState answer;
        std::string registered, note;
    } cases[] = {
        {nullptr, HotkeyState::Registered, "Ctrl+Alt+F12", ""},
        {u"shift+ctrl+K", HotkeyState::Taken, "Ctrl+Shift+K", "Taken by another program"},
        {u"Ctrl+Banana", HotkeyState::Refused, "Ctrl+Alt+F12", "Windows refused this hotkey"},
        {u"none", HotkeyState::Registered, "none", ""},
    };
    for (const Case& c : cases) {
        if (c.stored) Store(u"CycleHotkey", c.stored);
        EXPECT_CALL(events, Listen(::testing::Ref(cycling)));
        Answer(c.answer);
        cycling.Load();
        EXPECT_EQ(registered, c.registered);
        EXPECT_EQ(U8(HotkeyText(view.hotkey.value)), c.registered);
        EXPECT_EQ(U8(view.hotkeyNote.text), c.note);
    }
    view.hotkey.value = {'K', kHotkeyAlt};
    Answer(HotkeyState::Registered);
    cycling.OnHotkeyBoxChange();
    EXPECT_EQ(registered + " " + U8(system.stored[u"Marvolt/Settings\\CycleHotkey"]), "Alt+K Alt+K");
    EXPECT_EQ(U8(view.hotkeyNote.text), "");
}

// From the default for the ticked role on to the next ticked row whose device
// is still there, as a tray choice does, and told beside the icon. Ticks are
// stored by name; a device is ticked until taken out.
TEST_F(CyclingWindow, TheHotkeyGoesToTheNextTickedDeviceThatIsThere) {
    Store(u"StartupCheck", u"1"), Store(u"StartupDevice", u"Speakers");
    system.stored[u"Marvolt/CycleThrough\\HDMI"] = u"0";
    system.stored[u"Marvolt/CycleThrough\\USB"] = u"yes";
    Devices({u"Speakers", u"HDMI", u"Headset", u"USB"});
    cycling.Load();
    EXPECT_EQ(view.cycle.items, (std::vector<std::pair<std::u16string, bool>>{
                                    {u"Speakers", true}, {u"HDMI", false}, {u"Headset", true}, {u"USB", true}}));
    Devices({u"Speakers", u"HDMI", u"Headset"});  // USB unplugged, the list not yet reloaded
    trace.Take();
    for (const char* next : {"Headset", "Speakers"}) {
        cycling.OnHotkey();
        EXPECT_EQ(trace.Take(), std::string("reg set Record; reg set Playback; tray menu; tray remove; tray add ") + next +
                                    "; beep; tray note Default Soundcard: " + next);
        EXPECT_EQ(Get(u"Playback"), next);
    }
    Roles(0, 1);
    Set(u"Record", u"Headset");
    cycling.OnHotkey();
    EXPECT_EQ(Get(u"Record") + "/" + Get(u"Playback"), "Speakers/Speakers") << "on from the recording default";
    view.cycle.items[0].second = false;
    cycling.OnCycleListClick();
    EXPECT_EQ(U8(system.stored[u"Marvolt/CycleThrough\\Speakers"] + system.stored[u"Marvolt/CycleThrough\\HDMI"]), "00");
    trace.Take();
    Roles(0, 0);  // refused: no notification
    cycling.OnHotkey();
    EXPECT_EQ(trace.Take().find("tray note"), std::string::npos);
}

// A device that came or went reloads the list, a default changed elsewhere
// moves the marks and the label; a burst of notifications does it once.
TEST_F(CyclingWindow, NotificationsReloadTheListAndFollowTheDefault) {
    Rows({u"Speakers", u"Headset"});
    Set(u"Playback", u"Speakers");
    std::uint32_t now = 1000;
    ON_CALL(events, Ticks()).WillByDefault([&] { return now; });
    EXPECT_CALL(events, StartTimer(250));
    cycling.OnDevicesChanged();
    cycling.OnDefaultDeviceChanged();
    Devices({u"Speakers", u"Headset", u"USB"});
    Set(u"Playback", u"USB");
    trace.Take();
    now = 1250;
    cycling.OnTimer();
    EXPECT_EQ(trace.Take(), "tray menu");
    EXPECT_EQ(Menu(), "Soundcard 1: Speakers, Soundcard 2: Headset, Soundcard 3: USB  <default>  (Playback), -, Exit");
    EXPECT_EQ(U8(view.label.text) + " row " + N(view.list.selected), "Default Soundcard: USB row 2");
    EXPECT_EQ(view.cycle.items.size(), 3u);
    EXPECT_CALL(events, StartTimer(750));
    now = 1500;
    cycling.OnDefaultDeviceChanged();
    now = 2250;
    cycling.OnTimer();
    EXPECT_EQ(view.list.items.size(), 3u) << "a default change alone reloads nothing";
}

}  // namespace
}  // namespace marvolt::fakes
