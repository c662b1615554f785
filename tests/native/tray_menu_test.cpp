// The tray menu: its item string, the popup menu made of it, and the row an
// entry leads back to.
#include "app/tray_menu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

#include "platform/text.h"
#include "popup_menu/dynamic_popup_menu.h"

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
    // The menu numbers 999 fields: devices beyond are cut, never "Exit"; the
    // profiles (and their separator) take their share from the devices.
    const std::tuple<size_t, size_t, const char16_t*> full[] = {
        {988, 0, u"Soundcard 988: A, -, Exit"},
        {1200, 0, u"Soundcard 988: A, -, Exit"},
        {1200, 2, u"Soundcard 985: A, -, P, P, -, Exit"},
        {1, 1200, u"P, P, -, Exit"},
    };
    for (const auto& [devices, profiles, end] : full) {
        std::u16string menu = ComposeTrayMenu(Rows(devices, u"A"), u"", u"", Rows(profiles, u"P"));
        EXPECT_EQ(std::count(menu.begin(), menu.end(), u','), 998) << devices;
        EXPECT_TRUE(EndsWith(menu, end)) << ToUtf8(menu.substr(menu.size() - 40));
    }
}

TEST(TrayMenu, ChosenEntryFindsItsOwnRow) {
    const std::u16string s = u"Speakers", s2 = u"Speakers 2", h = u"Headset";
    struct Case {
        Rows rows;
        const char16_t* chosen;
        int row;
    } const cases[] = {
        {{s, s2}, u"Soundcard 2: Speakers 2", 1},
        {{s, s2}, u"Soundcard 2: Speakers 2  <default>   (Play + Rec)", 1},
        {{u"USB", u"USB"}, u"Soundcard 2: USB", 1},  // equal rows keep their numbers
        {{u"", s}, u"Soundcard 2: Speakers", 1},
        {{s, h}, u"Soundcard 2: Speakers", -1},  // number and name must both fit
        {{s, u"Speakers, Left"}, u"Soundcard 2: Speakers, Left", 1},
        // A text that is no entry falls back to the first row whose name it
        // contains, never an empty one; the header is no device.
        {{s, h}, u"Use Headset", 1},
        {{s, h}, u"Current: Headset", -1},
        {{s, s2}, u"Speakers 2", 0},
        {{u"", h}, u"Something else", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindChosenDevice(c.rows, c.chosen), c.row) << ToUtf8(c.chosen);
}

// The user32 menu as the user sees it: the entries of the menu on show, where it
// opens and which window owns it. Any check mark, default, grey or picture is
// written to `extras`.
struct Menus : MenuApi {
    std::map<NativeHandle, std::string> menus;
    std::string shown, extras;
    NativeHandle next = 0x5000, active = 0, foreground = 0;
    std::function<std::uint32_t()> choose = [] { return 0u; };
    NativeHandle CreatePopup() override {
        menus[++next];
        return next;
    }
    bool DestroyPopup(NativeHandle menu) override { return menus.erase(menu) == 1; }
    bool AppendItem(NativeHandle menu, std::uint32_t flags, std::uint32_t id,
                    const std::u16string& text) override {
        bool separator = flags == kMenuSeparator;
        if (flags != kMenuString && !separator) extras += "flags ";
        menus.at(menu) += std::to_string(id) + ":" + (separator ? "-" : ToUtf8(text)) + " ";
        return true;
    }
    bool SetItemBitmaps(NativeHandle, std::uint32_t, std::uint32_t, NativeHandle a,
                        NativeHandle b) override {
        if (a || b) extras += "bitmaps ";
        return true;
    }
    bool SetDefaultItem(NativeHandle, std::uint32_t, std::uint32_t) override {
        extras += "default ";
        return true;
    }
    void EnableItem(NativeHandle, std::uint32_t, std::uint32_t) override { extras += "enable "; }
    bool CursorPosition(ScreenPoint& point) override {
        point = {300, 400};
        return true;
    }
    bool WindowRectangle(NativeHandle, ScreenRect&) override { return false; }
    NativeHandle ActiveWindow() override { return active; }
    void MakeForeground(NativeHandle window) override { foreground = window; }
    std::uint32_t TrackPopup(NativeHandle menu, std::uint32_t, int x, int y,
                             NativeHandle owner) override {
        shown = menus.at(menu) + "at " + std::to_string(x) + "," + std::to_string(y);
        shown += " owner " + std::to_string(owner) + (owner == foreground ? " in front" : "");
        return choose();
    }
};

class DynamicPopupMenuTest : public ::testing::Test {
  protected:
    Menus menus;
    DynamicPopupMenu menu{menus, 0x4400};
};

// Fields are numbered from 1; blanks around them go; "\," and "\\" are a comma
// and a backslash; "&" and control characters show as they are.
TEST_F(DynamicPopupMenuTest, ItemStringGivesPlainEntriesNumberedByField) {
    const std::pair<const char16_t*, std::string> cases[] = {
        {u"Homepage ..., -, Reload list, -,", "1:Homepage ... 2:- 3:Reload list 4:- "},
        {u"A,   ,B", "1:A 3:B "},
        {u" ,-,X", "2:- 3:X "},
        {u"  -  ,--,- -", "1:- 2:-- 3:- - "},
        {u"Line In\\, Rear,C\\\\,x,\\y\\", "1:Line In, Rear 2:C\\ 3:x 4:\\y\\ "},
        {u"Bass & Treble,&S\ta\bb", "1:Bass && Treble 2:&&S a b "},
    };
    for (const auto& [items, entries] : cases) {
        EXPECT_EQ(menu.Popup(items), u"");
        EXPECT_EQ(menus.shown, entries + "at 300,400 owner 17408 in front");
    }
    EXPECT_EQ(menus.extras, "");
    EXPECT_EQ(menus.menus.size(), 1u);
}

// A popup asked for while the menu is open changes nothing on show. The active
// window, where there is one, owns the menu.
TEST_F(DynamicPopupMenuTest, PopupFromInsideTheMenuLoopLeavesTheOpenMenuAlone) {
    std::u16string nested = u"not called";
    menus.active = 0x9911;
    menus.choose = [&] {
        nested = menu.Popup(u"Intruder");
        return 1u;
    };
    EXPECT_EQ(menu.Popup(u"A,B"), u"A");
    EXPECT_EQ(nested, u"");
    EXPECT_EQ(menus.shown, "1:A 2:B at 300,400 owner 39185 in front");
    EXPECT_EQ(menu.Popup(u"   "), u"");
}

}  // namespace
}  // namespace marvolt
