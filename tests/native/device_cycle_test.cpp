// The cycling hotkey: its stored text, the row it goes to, the pace of the
// reloads that device notifications ask for, and the settings window's use of them.
#include "app/device_cycle.h"

#include <gmock/gmock.h>

#include <sstream>

#include "tests/native/main_window_fixture.h"

namespace marvolt::fakes {
namespace {

using ::testing::_;

TEST(DeviceCycle, HotkeyTextsReadBackAsWritten) {
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"Ctrl+Alt+F12", "Ctrl+Alt+F12"},
        {u" shift + CTRL+k ", "Ctrl+Shift+K"},
        {u"Alt+0xbA", "Alt+0xBA"},
        {u"Ctrl+Alt+Shift+Space", "Ctrl+Alt+Shift+Space"},
        {u"F24", "F24"},
        {u"Ctrl+Del", "Ctrl+Del"},
        {u"NONE", "none"},
        {u"Alt+7", "Alt+7"},
        {u"Ctrl+0x60", "Ctrl+0x60"},
        {u"Alt+0x01", "Alt+0x01"},
        {u"Alt+F5", "Alt+F5"},
        {u"Ctrl+F25", "-"},
        {u"F0", "-"},
        {u"Ctrl+Ctrl+K", "-"},
        {u"Win+K", "-"},
        {u"Ctrl+", "-"},
        {u"Ctrl+0xFF", "Ctrl+0xFF"},
        {u"Ctrl+0x1", "-"},
        {u"Ctrl+0xZZ", "-"},
        {u"Ctrl+!", "-"},
        {u"", "-"},
        {u"KK", "-"},
        {u"Ctrl+Alt+F18446744073709551628", "-"}};
    for (const auto& [stored, shown] : cases) {
        std::optional<Hotkey> hotkey = ParseHotkey(stored);
        EXPECT_EQ(hotkey ? U8(HotkeyText(*hotkey)) : "-", shown) << U8(stored);
    }
    // Whatever the box can hold is read back as it was written.
    for (int key = 1; key <= 0xFF; ++key)
        for (std::uint8_t modifiers = 0; modifiers < 8; ++modifiers) {
            const Hotkey hotkey{static_cast<std::uint8_t>(key), modifiers};
            EXPECT_EQ(ParseHotkey(HotkeyText(hotkey)), hotkey) << U8(HotkeyText(hotkey));
        }
}

// Rows as "name:flags", t ticked and p present.
TEST(DeviceCycle, NextRowWrapsAndSkipsRowsOutOfTheCycle) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"A:tp B:tp C:tp", "A", 1},
        {"A:tp B:tp C:tp", "C", 0} /* wraps */,
        {"A:tp B:p C:t D:tp", "A", 3},
        {"A:p B:p C:p", "B", 2} /* none ticked: all */,
        {"A:tp", "A", 0},
        {"A:tp B:tp", "Gone", 0},
        {"A:tp A:tp B:tp", "A", 2} /* same name: no step */,
        {"A:tp A:tp", "A", 1},
        {"A:t B:t", "A", -1},
        {":tp B:tp", "B", 1},
        {"", "A", -1}};
    for (const auto& [table, current, next] : cases) {
        std::vector<CycleRow> rows;
        std::istringstream words(table);
        for (std::string row; words >> row;) {
            std::string name = row.substr(0, row.find(':')), flags = row.substr(row.find(':'));
            rows.push_back(
                {FromUtf8(name), flags.find('t') != flags.npos, flags.find('p') != flags.npos});
        }
        EXPECT_EQ(NextCycleRow(rows, FromUtf8(current)), next) << table << " after " << current;
    }
}

// A change at a time ("c1000") gives a wait or "-"; "r1250" is a reload.
TEST(DeviceCycle, ReloadsComeOnceABurstAndASecondApart) {
    const std::pair<const char*, const char*> cases[] = {
        {"c1000 c1010 c1200 r1250", "250 - - "},
        {"c1000 r1250 c1300 r2250 c5000", "250 950 250 "},
        {"c1000 r1250 c2150 r2400", "250 250 "},
        {"c4294967000 r4294967250 c200", "250 754 "},  // wrapped
        {"c1000 c3000 c4000", "250 - 250 "} /* lost timer */};
    for (const auto& [steps, expected] : cases) {
        ChangePacer pacer;
        std::string waits;
        std::istringstream words(steps);
        for (std::string step; words >> step;) {
            auto now = static_cast<std::uint32_t>(std::stoull(step.substr(1)));
            std::optional<std::uint32_t> wait =
                step[0] == 'c' ? pacer.OnChange(now) : (pacer.OnReload(now), 0);
            if (step[0] == 'c') waits += (wait ? N(*wait) : "-") + " ";
        }
        EXPECT_EQ(waits, expected) << steps;
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
    MainWindow cycling{
        view, MainWindowServices{registry, settings, system, system, system, system, system, system,
                                 system, system, tray, system, nullptr, &events}};
};

// The stored hotkey, or Ctrl+Alt+F12 for none or an unreadable one, goes into
// the box and is registered; one that can't be is told beside it.
TEST_F(CyclingWindow, TheStoredHotkeyIsRegisteredAndATakenOneIsTold) {
    const std::tuple<const char16_t*, HotkeyState, const char*, const char*> cases[] = {
        {nullptr, HotkeyState::Refused, "Ctrl+Alt+F12", "Windows refused this hotkey"},
        {u"shift+ctrl+K", HotkeyState::Taken, "Ctrl+Shift+K", "Taken by another program"},
        {u"Ctrl+Banana", HotkeyState::Registered, "Ctrl+Alt+F12", ""}};
    for (const auto& [stored, answer, hotkey, note] : cases) {
        if (stored) Store(u"CycleHotkey", stored);
        EXPECT_CALL(events, Listen(::testing::Ref(cycling)));
        EXPECT_CALL(events, SetHotkey(ParseHotkey(FromUtf8(hotkey)).value()))
            .WillOnce(::testing::Return(answer));
        cycling.Load();
        EXPECT_EQ(U8(HotkeyText(view.hotkey) + u"|" + view.hotkeyNote.text),
                  std::string(hotkey) + "|" + note);
    }
    view.hotkey = {'K', kHotkeyAlt};  // typed into the box: stored and registered at once
    EXPECT_CALL(events, SetHotkey(Hotkey{'K', kHotkeyAlt}))
        .WillOnce(::testing::Return(HotkeyState::Taken));
    cycling.OnHotkeyBoxChange();
    EXPECT_EQ(U8(system.stored[u"Marvolt/Settings\\CycleHotkey"] + u" " + view.hotkeyNote.text),
              "Alt+K Taken by another program");
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
    EXPECT_EQ(view.cycle.ticks, std::vector<bool>({true, false, true, true}));
    Devices({u"Speakers", u"HDMI", u"Headset"});  // USB unplugged, the list not yet reloaded
    trace.Take();
    for (std::string next : {"Headset", "Speakers"}) {
        cycling.OnHotkey();
        EXPECT_EQ(trace.Take(),
                  "reg set Record; reg set Playback; tray menu; tray remove; tray add " + next +
                      "; beep; tray note Default Soundcard: " + next);
    }
    Roles(0, 1), Set(u"Record", u"Headset");
    cycling.OnHotkey();
    EXPECT_EQ(Get(u"Record") + "/" + Get(u"Playback"), "Speakers/Speakers")
        << "on from the recording default";
    view.cycle.ticks[0] = false;
    cycling.OnCycleListClick();
    EXPECT_EQ(U8(system.stored[u"Marvolt/CycleThrough\\Speakers"] +
                 system.stored[u"Marvolt/CycleThrough\\HDMI"]),
              "00");
    trace.Take(), Roles(0, 0);  // refused: nothing told
    cycling.OnHotkey();
    EXPECT_EQ(trace.Take().find("tray note"), std::string::npos);
}

// A device that came or went reloads the list, a default changed elsewhere
// moves the marks and the label; a burst of notifications does it once.
TEST_F(CyclingWindow, NotificationsReloadTheListAndFollowTheDefault) {
    Rows({u"Speakers", u"Headset"});
    std::uint32_t now = 1000;
    std::string waits;
    ON_CALL(events, Ticks()).WillByDefault([&] { return now; });
    ON_CALL(events, StartTimer(_)).WillByDefault([&](std::uint32_t wait) {
        waits += N(wait) + " ";
    });
    cycling.OnDevicesChanged();
    EXPECT_EQ(waits, "250 ");
    cycling.OnDefaultDeviceChanged(), cycling.OnDevicesChanged();
    Devices({u"Speakers", u"Headset", u"USB"}), Set(u"Playback", u"USB");
    now = 1250, cycling.OnTimer();
    EXPECT_EQ(Menu(),
              "Soundcard 1: Speakers, Soundcard 2: Headset, Soundcard 3: USB  <default>  "
              "(Playback), -, Exit");
    EXPECT_EQ(U8(view.label.text) + " row " + N(view.list.selected) + " " + N(view.cycle.Count()),
              "Default Soundcard: USB row 2 3");
    now = 1500, cycling.OnDefaultDeviceChanged();
    Devices({u"Speakers"});
    now = 2250, cycling.OnTimer();
    EXPECT_EQ(waits, "250 750 ");
    EXPECT_EQ(view.list.items.size(), 3u) << "a default change alone reloads nothing";
}

}  // namespace
}  // namespace marvolt::fakes
