// The cycling hotkey: its stored text, the row it goes to, and the pace of the
// reloads that device notifications ask for.
#include "app/device_cycle.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/text.h"

namespace marvolt {
namespace {

// A stored text, and how it reads back once parsed ("-": refused).
TEST(DeviceCycle, HotkeyTextsReadBackAsWritten) {
    const std::pair<const char16_t*, const char*> cases[] = {
        {u" shift + CTRL+k ", "Ctrl+Shift+K"},
        {u"Alt+0xbA", "Alt+0xBA"},
        {u"NONE", "none"},
        {u"Ctrl+F25", "-"},
        {u"F0", "-"},
        {u"Ctrl+Ctrl+K", "-"},
        {u"Win+K", "-"},
        {u"Ctrl+", "-"},
        {u"Ctrl+0x1", "-"},
        {u"Ctrl+0xZZ", "-"},
        {u"Ctrl+!", "-"},
        {u"", "-"},
        {u"KK", "-"},
        {u"Ctrl+Alt+F18446744073709551628", "-"},
    };
    for (const auto& [stored, shown] : cases) {
        std::optional<Hotkey> hotkey = ParseHotkey(stored);
        EXPECT_EQ(hotkey ? ToUtf8(HotkeyText(*hotkey)) : "-", shown) << ToUtf8(stored);
    }
    // Whatever the box can hold is read back as it was written.
    for (int key = 1; key <= 0xFF; ++key)
        for (std::uint8_t modifiers = 0; modifiers < 8; ++modifiers) {
            const Hotkey hotkey{static_cast<std::uint8_t>(key), modifiers};
            EXPECT_EQ(ParseHotkey(HotkeyText(hotkey)), hotkey) << ToUtf8(HotkeyText(hotkey));
        }
}

// Rows as "name:flags", t ticked and p present.
TEST(DeviceCycle, NextRowWrapsAndSkipsRowsOutOfTheCycle) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"A:tp B:tp C:tp", "A", 1},
        {"A:tp B:tp C:tp", "C", 0},  // wraps
        {"A:tp B:p C:t D:tp", "A", 3},
        {"A:p B:p C:p", "B", 2},  // none ticked: all
        {"A:tp", "A", 0},
        {"A:tp B:tp", "Gone", 0},
        {"A:tp A:tp B:tp", "A", 2},  // same name: no step
        {"A:tp A:tp", "A", 1},
        {"A:t B:t", "A", -1},
        {":tp B:tp", "B", 1},
        {"", "A", -1},
    };
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
        {"c4294967000 r4294967250 c200", "250 754 "},  // the clock wrapped
        {"c1000 c3000 c4000", "250 - 250 "},           // a lost timer
    };
    for (const auto& [steps, expected] : cases) {
        ChangePacer pacer;
        std::string waits;
        std::istringstream words(steps);
        for (std::string step; words >> step;) {
            auto now = static_cast<std::uint32_t>(std::stoull(step.substr(1)));
            if (step[0] == 'r') pacer.OnReload(now);
            if (step[0] != 'c') continue;
            std::optional<std::uint32_t> wait = pacer.OnChange(now);
            waits += (wait ? std::to_string(*wait) : "-") + " ";
        }
        EXPECT_EQ(waits, expected) << steps;
    }
}

}  // namespace
}  // namespace marvolt
