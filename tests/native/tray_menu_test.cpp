#include "app/tray_menu.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/text.h"

namespace marvolt {
namespace {

const std::u16string kHeads =
    u"Homepage ..., -,Settings ..., -,Windows audio settings ..., Windows audio mixer ..., -, "
    u"Reload list of Soundcards, -,";

TEST(TrayMenu, ComposesEntriesWithTheirMarks) {
    struct Case {
        const char* what;
        std::vector<std::u16string> rows;
        std::u16string play, rec, expected;
    };
    const Case cases[] = {
        {"the example",
         {u"Speakers", u"Headset"},
         u"Speakers",
         u"Headset",
         u"Homepage ..., -,Settings ..., -,Windows audio settings ..., Windows audio mixer ..., -, Reload list of "
         u"Soundcards, -,Soundcard 1: Speakers  <default>  (Playback), Soundcard 2: Headset  <default>  (Record), "
         u"-, Exit"},
        {"one device for both roles",
         {u"Speakers", u"Headset"},
         u"Speakers",
         u"Speakers",
         kHeads + u"Soundcard 1: Speakers  <default>   (Play + Rec), Soundcard 2: Headset, -, Exit"},
        {"no devices", {}, u"Speakers", u"Speakers", kHeads + u"-, Exit"},
        {"nothing set", {u"Speakers", u"Headset"}, u"", u"", kHeads + u"Soundcard 1: Speakers, Soundcard 2: Headset, -, Exit"},
        {"default not among the rows",
         {u"Speakers"},
         u"Gone",
         u"Speakers",
         kHeads + u"Soundcard 1: Speakers  <default>  (Record), -, Exit"},
        {"equal rows are both marked",
         {u"USB Audio", u"USB Audio"},
         u"USB Audio",
         u"",
         kHeads + u"Soundcard 1: USB Audio  <default>  (Playback), Soundcard 2: USB Audio  <default>  (Playback), -, Exit"},
        {"marks compare exactly",
         {u"speakers", u"Speakers 2"},
         u"Speakers",
         u"Speakers",
         kHeads + u"Soundcard 1: speakers, Soundcard 2: Speakers 2, -, Exit"},
        {"a comma is escaped", {u"Line\\In, Rear"}, u"", u"", kHeads + u"Soundcard 1: Line\\\\In\\, Rear, -, Exit"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToUtf8(ComposeTrayMenu(c.rows, c.play, c.rec)), ToUtf8(c.expected)) << c.what;
    // The menu numbers 999 fields: devices beyond are cut, never "Exit".
    for (size_t count : {988, 989, 1200}) {
        std::u16string menu = ComposeTrayMenu(std::vector<std::u16string>(count, u"A"), u"", u"");
        EXPECT_EQ(std::count(menu.begin(), menu.end(), u','), 998) << count;
        EXPECT_TRUE(EndsWith(menu, u"Soundcard 988: A, -, Exit")) << count;
    }
}

TEST(TrayMenu, ChosenEntryFindsItsOwnRow) {
    struct Case {
        const char* what;
        std::vector<std::u16string> rows;
        std::u16string selected;
        int expected;
    };
    const Case cases[] = {
        {"second of nested names", {u"Speakers", u"Speakers 2"}, u"Soundcard 2: Speakers 2", 1},
        {"first of nested names", {u"Speakers", u"Speakers 2"}, u"Soundcard 1: Speakers", 0},
        {"nested names, longer first", {u"Speakers 2", u"Speakers"}, u"Soundcard 2: Speakers", 1},
        {"nested names, longer first, its own entry", {u"Speakers 2", u"Speakers"}, u"Soundcard 1: Speakers 2", 0},
        {"marked entry", {u"Speakers", u"Speakers 2"}, u"Soundcard 2: Speakers 2  <default>  (Playback)", 1},
        {"marked for both roles", {u"Speakers", u"Speakers 2"}, u"Soundcard 2: Speakers 2  <default>   (Play + Rec)", 1},
        {"equal rows keep their numbers", {u"USB Audio", u"USB Audio"}, u"Soundcard 2: USB Audio", 1},
        {"an empty row does not capture others", {u"", u"Speakers"}, u"Soundcard 2: Speakers", 1},
        {"an empty row's own trimmed entry", {u"", u"Speakers"}, u"Soundcard 1:", 0},
        {"number and name must both fit", {u"Speakers", u"Headset"}, u"Soundcard 2: Speakers", -1},
        {"a name with a comma", {u"Speakers", u"Speakers, Left"}, u"Soundcard 2: Speakers, Left", 1},
        {"a part of it", {u"Speakers", u"Speakers, Left"}, u"Soundcard 3: Speakers", -1},
        {"a text that is no entry falls back to the name", {u"Speakers", u"Headset"}, u"Current: Headset", 1},
        {"fallback takes the first contained name", {u"Speakers", u"Speakers 2"}, u"Speakers 2", 0},
        {"fallback never matches an empty row", {u"", u"Headset"}, u"Something else", -1},
        {"nothing matches", {u"Speakers"}, u"Headset", -1},
        {"no rows", {}, u"Soundcard 1: Speakers", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(FindChosenDevice(c.rows, c.selected), c.expected) << c.what;
}

}  // namespace
}  // namespace marvolt
