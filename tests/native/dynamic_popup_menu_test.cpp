#include "popup_menu/dynamic_popup_menu.h"

#include <gtest/gtest.h>

#include "platform/fakes/fake_system.h"
#include "tests/common/dynamic_popup_menu_probe.h"

namespace marvolt::fakes {
namespace {

class DynamicPopupMenuTest : public ::testing::Test {
protected:
    Trace trace;
    FakeMenus menus{trace};
    DynamicPopupMenu menu{menus, 0x4400};
    // The entries shown, as "id:text" with "-" for a separator line.
    std::string Shown() {
        std::string text;
        for (const std::string& entry : menus.shown) {
            std::string flags = entry.substr(entry.find(':') + 1, entry.rfind(':') - entry.find(':') - 1);
            text += entry.substr(0, entry.find(':')) + ":" + (flags == "2048" ? "-" : entry.substr(entry.rfind(':') + 1)) +
                    (flags == "0" || flags == "2048" ? "" : "!") + " ";
        }
        return text;
    }
};

TEST_F(DynamicPopupMenuTest, ItemStringGivesPlainEntriesNumberedByField) {
    const std::pair<const char16_t*, std::string> cases[] = {
        {u"Windows audio settings ..., -, Reload list of Soundcards, -,",
         "1:Windows audio settings ... 2:- 3:Reload list of Soundcards 4:- "},
        {u"A, B", "1:A 2:B "},
        {u"A,,B", "1:A 3:B "},
        {u"A,   ,B", "1:A 3:B "},
        {u" ,-,X", "2:- 3:X "},
        {u"  -  ,--,- -", "1:- 2:-- 3:- - "},
        {u",,,Z", "4:Z "},
        {u"\tTab ,Same,Same", "1: Tab 2:Same 3:Same "},
        // Commas and backslashes escaped; "&" shown, not an underline.
        {u"Line In\\, Rear,C\\\\,x,\\y\\", "1:Line In, Rear 2:C\\ 3:x 4:\\y\\ "},
        {u"Bass & Treble,&S\ta\bb", "1:Bass && Treble 2:&&S a b "},
    };
    for (const auto& [items, shown] : cases) {
        menu.Popup(items);
        EXPECT_EQ(Shown(), shown);
        EXPECT_EQ(trace.Take().find("enable"), std::string::npos);  // enabled, no default, no bitmaps
    }
}

TEST_F(DynamicPopupMenuTest, OpensAtTheCursorOrUnderAnAnchorWithTheForegroundOwner) {
    using Probe = DynamicPopupMenuProbe;
    menu.Popup(u"A");
    menus.active = 0x9911;
    menu.Popup(u"A");
    Probe::ShowMenu(menu, 5, Probe::kUnset, Probe::kNoAnchor);
    Probe::ShowMenu(menu, 1, 2, 0x77);
    EXPECT_EQ(trace.Take(),
              "foreground 17408; track 258 300,400 owner 17408; foreground 39185; track 258 300,400 owner 39185; "
              "foreground 39185; track 258 5,400 owner 39185; foreground 39185; track 258 10,40 owner 39185");
}

TEST_F(DynamicPopupMenuTest, EntryOptionsAndIdsOutsideTheTable) {
    using Probe = DynamicPopupMenuProbe;
    Probe::AddMenuItem(menu, 3, u"Checked", true, true, MenuItemState::Disabled, 7, 8);
    Probe::AddMenuItem(menu, 4, u"Grey", false, false, MenuItemState::Grayed);
    Probe::AddMenuItem(menu, 1000, u"Too far", false, false, MenuItemState::Enabled);
    Probe::AddMenuItem(menu, -1, u"Before", false, false, MenuItemState::Enabled);
    EXPECT_EQ(menus.menus.at(menu.hwnd()), (std::vector<std::string>{"3:8:Checked", "4:0:Grey"}));
    EXPECT_EQ(trace.Take(), "bitmaps 3 0 7 8; default 3 0; enable 3 2; enable 4 1");
    for (std::int64_t outside : {-1LL, 1000LL, 4294967296LL})
        EXPECT_EQ(Probe::GetItemText(menu, outside), u"UNKNOWN") << outside;
    EXPECT_EQ(Probe::GetItemText(menu, 4), u"Grey");
    // An entry with id 0 can't be told from a dismissed menu: dismissing gives "".
    Probe::AddMenuItem(menu, 0, u"Zero", false, false, MenuItemState::Enabled);
    EXPECT_EQ(Probe::GetItemText(menu, 0), u"Zero");
    EXPECT_EQ(menu.Popup(u"A"), u"");
}

TEST_F(DynamicPopupMenuTest, PopupFromInsideTheMenuLoopLeavesTheOpenMenuAlone) {
    std::u16string nested = u"not called";
    menus.choose = [&] { return nested = menu.Popup(u"Intruder"), 2u; };
    EXPECT_EQ(menu.Popup(u"A,B"), u"B");
    EXPECT_EQ(nested, u"");
    EXPECT_EQ(Shown(), "1:A 2:B ");
}

}  // namespace
}  // namespace marvolt::fakes
