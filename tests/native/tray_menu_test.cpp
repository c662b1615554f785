#include "app/tray_menu.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/text.h"

namespace marvolt {
namespace {

using Rows = std::vector<std::u16string>;

TEST(TrayMenu, ComposesEntriesWithTheirMarks) {
    const std::u16string heads =
        u"Homepage ..., -,Settings ..., -,Windows audio settings ..., Windows audio mixer ..., -, "
        u"Reload list of Soundcards, -,";
    struct Case {
        Rows rows;
        const char16_t *play, *rec, *entries;
    } const cases[] = {
        {{u"Mic", u"Box"},
         u"Mic",
         u"Box",
         u"Soundcard 1: Mic  <default>  (Playback), Soundcard 2: Box  <default>  (Record), "},
        {{u"Mic", u"Box"},
         u"Mic",
         u"Mic",
         u"Soundcard 1: Mic  <default>   (Play + Rec), Soundcard 2: Box, "},
        {{}, u"Mic", u"Mic", u""},
        {{u"Mic"}, u"Gone", u"Mic", u"Soundcard 1: Mic  <default>  (Record), "},
        // Equal rows are both marked.
        {{u"Mic", u"Mic"},
         u"Mic",
         u"",
         u"Soundcard 1: Mic  <default>  (Playback), Soundcard 2: Mic  <default>  (Playback), "},
        {{u"mic", u"Mic 2"}, u"Mic", u"Mic", u"Soundcard 1: mic, Soundcard 2: Mic 2, "},
        {{u"Line\\In, Rear"}, u"", u"", u"Soundcard 1: Line\\\\In\\, Rear, "},
        // No default names no device, not even one without a name.
        {{u"Mic", u""}, u"", u"", u"Soundcard 1: Mic, Soundcard 2: , "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToUtf8(ComposeTrayMenu(c.rows, c.play, c.rec)),
                  ToUtf8(heads + c.entries + u"-, Exit"));
    // The menu numbers 999 fields: devices beyond are cut, never "Exit".
    for (size_t count : {988, 989, 1200}) {
        std::u16string menu = ComposeTrayMenu(Rows(count, u"A"), u"", u"");
        EXPECT_EQ(std::count(menu.begin(), menu.end(), u','), 998) << count;
        EXPECT_TRUE(EndsWith(menu, u"Soundcard 988: A, -, Exit")) << count;
    }
}

TEST(TrayMenu, ChosenEntryFindsItsOwnRow) {
    const std::u16string s = u"Speakers", s2 = u"Speakers 2", h = u"Headset",
                         sl = u"Speakers, Left";
    struct Case {
        Rows rows;
        const char16_t* chosen;
        int row;
    } const cases[] = {
        {{s, s2}, u"Soundcard 2: Speakers 2", 1},
        {{s, s2}, u"Soundcard 1: Speakers", 0},
        {{s2, s}, u"Soundcard 2: Speakers", 1},
        {{s, s2}, u"Soundcard 2: Speakers 2  <default>   (Play + Rec)", 1},
        {{u"USB", u"USB"}, u"Soundcard 2: USB", 1},  // equal rows keep their numbers
        {{u"", s}, u"Soundcard 2: Speakers", 1},
        {{u"", s}, u"Soundcard 1:", 0},
        {{s, h}, u"Soundcard 2: Speakers", -1},  // number and name must both fit
        {{s, sl}, u"Soundcard 2: Speakers, Left", 1},
        {{s, sl}, u"Soundcard 3: Speakers", -1},
        {{s, u"Current: USB"}, u"Soundcard 2: Current: USB", 1},
        // A text that is no entry falls back to the first row whose name it
        // contains, never an empty one; the header is no device.
        {{s, h}, u"Use Headset", 1},
        {{s, h}, u"Current: Headset", -1},
        {{s, s2}, u"Speakers 2", 0},
        {{u"", h}, u"Something else", -1},
        {{}, u"Soundcard 1: Speakers", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindChosenDevice(c.rows, c.chosen), c.row) << ToUtf8(c.chosen);
}

}  // namespace
}  // namespace marvolt
