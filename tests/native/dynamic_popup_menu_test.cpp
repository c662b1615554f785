#include "popup_menu/dynamic_popup_menu.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/fakes/fake_menu_api.h"
#include "platform/text.h"
#include "tests/common/dynamic_popup_menu_probe.h"

namespace marvolt {
namespace {

constexpr NativeHandle kOwner = 0x4400;

struct Entry {
    std::uint32_t id;
    std::u16string text;  // "-" for a separator line
    bool operator==(const Entry& other) const { return id == other.id && text == other.text; }
};

std::ostream& operator<<(std::ostream& out, const Entry& entry) {
    return out << entry.id << ":" << ToUtf8(entry.text);
}

std::vector<Entry> Entries(const std::vector<FakeMenuItem>& items) {
    std::vector<Entry> entries;
    for (const FakeMenuItem& item : items)
        entries.push_back({item.id, (item.flags & kMenuSeparator) ? u"-" : item.text});
    return entries;
}

class DynamicPopupMenuTest : public ::testing::Test {
protected:
    CallLog log;
    FakeMenuApi menus{&log};
    DynamicPopupMenu menu{menus, kOwner};
};

TEST_F(DynamicPopupMenuTest, ItemStringGivesEntriesNumberedByField) {
    struct Case {
        std::u16string items;
        std::vector<Entry> expected;
    } cases[] = {
        {u"Windows audio settings ..., Windows audio mixer ..., -, Reload list of Soundcards, -,",
         {{1, u"Windows audio settings ..."},
          {2, u"Windows audio mixer ..."},
          {3, u"-"},
          {4, u"Reload list of Soundcards"},
          {5, u"-"}}},
        {u"A, B", {{1, u"A"}, {2, u"B"}}},
        {u"A,B", {{1, u"A"}, {2, u"B"}}},
        {u"A,,B", {{1, u"A"}, {3, u"B"}}},
        {u"A,   ,B", {{1, u"A"}, {3, u"B"}}},
        {u" ,-,X", {{2, u"-"}, {3, u"X"}}},
        {u"  -  ,--,- -", {{1, u"-"}, {2, u"--"}, {3, u"- -"}}},
        {u",,,Z", {{4, u"Z"}}},
        {u"\tTab ,x", {{1, u"\tTab"}, {2, u"x"}}},
        {u"Same,Same", {{1, u"Same"}, {2, u"Same"}}},
        {u"Soundcard 1: Speakers  <default>   (Play + Rec)",
         {{1, u"Soundcard 1: Speakers  <default>   (Play + Rec)"}}},
    };
    for (const Case& c : cases) {
        menus.tracked.clear();
        menu.Popup(c.items);
        ASSERT_EQ(menus.tracked.size(), 1u) << ToUtf8(c.items);
        const std::vector<FakeMenuItem>& shown = menus.tracked[0].items;
        EXPECT_EQ(Entries(shown), c.expected) << ToUtf8(c.items);
        for (const FakeMenuItem& item : shown) {
            // Plain entries: no check mark, no default, enabled, null bitmaps.
            std::uint32_t kind = (item.flags & kMenuSeparator) ? kMenuSeparator : kMenuString;
            EXPECT_EQ(item.flags, kind) << item.id;
            EXPECT_TRUE(item.bitmapsSet) << item.id;
            EXPECT_EQ(item.bitmapFlags, kMenuByCommand);
            EXPECT_EQ(item.uncheckedBitmap, 0u);
            EXPECT_EQ(item.checkedBitmap, 0u);
            EXPECT_FALSE(item.isDefault);
            EXPECT_EQ(item.enable, 0u);
        }
    }
}

TEST_F(DynamicPopupMenuTest, ReturnsTheChosenEntrysTextAndEmptyWhenDismissed) {
    const std::u16string items =
        u"Windows audio settings ..., Windows audio mixer ..., -, Reload list of Soundcards, -,";
    struct Case {
        std::uint32_t chosen;
        std::u16string expected;
    } cases[] = {{4, u"Reload list of Soundcards"}, {1, u"Windows audio settings ..."}, {0, u""}};
    for (const Case& c : cases) {
        menus.trackResult = c.chosen;
        EXPECT_EQ(menu.Popup(items), c.expected) << c.chosen;
    }
    // A blank string shows nothing and keeps the menu.
    NativeHandle before = menu.hwnd();
    std::size_t shown = menus.tracked.size();
    for (const char16_t* blank : {u"", u" ", u"     "}) EXPECT_EQ(menu.Popup(blank), u"");
    EXPECT_EQ(menus.tracked.size(), shown);
    EXPECT_EQ(menu.hwnd(), before);
}

TEST_F(DynamicPopupMenuTest, EveryPopupLeavesAFreshEmptyMenu) {
    for (std::uint32_t chosen : {2u, 0u}) {
        NativeHandle shown = menu.hwnd();
        menus.trackResult = chosen;
        menu.Popup(u"A,B,C");
        ASSERT_EQ(menus.tracked.back().menu, shown);
        EXPECT_EQ(menus.menus.count(shown), 0u) << "the shown menu still exists";
        ASSERT_NE(menu.hwnd(), shown);
        ASSERT_EQ(menus.menus.count(menu.hwnd()), 1u);
        EXPECT_TRUE(menus.menus[menu.hwnd()].empty());
    }
    // A shorter second string shows only its own entries, and the ids of the
    // longer first one are not answered from it.
    menus.trackResult = 0;
    menu.Popup(u"One,Two,Three,Four,Five");
    menus.trackResult = 2;
    EXPECT_EQ(menu.Popup(u"X, Y"), u"Y");
    EXPECT_EQ(Entries(menus.tracked.back().items), (std::vector<Entry>{{1, u"X"}, {2, u"Y"}}));
}

TEST_F(DynamicPopupMenuTest, FieldsBeyondTheLastIdAreLeftOutAndTheMenuShows) {
    for (int fields : {999, 1000, 1500}) {
        std::u16string items;
        for (int i = 1; i <= fields; ++i) items += (i > 1 ? u"," : u"") + (u"f" + Decimal(i));
        menus.tracked.clear();
        menus.trackResult = 999;
        EXPECT_EQ(menu.Popup(items), u"f999") << fields;
        ASSERT_EQ(menus.tracked.size(), 1u) << fields;
        const std::vector<FakeMenuItem>& shown = menus.tracked[0].items;
        ASSERT_EQ(shown.size(), 999u) << fields;
        EXPECT_EQ(shown.back().id, 999u);
        EXPECT_EQ(shown.back().text, u"f999");
    }
}

TEST_F(DynamicPopupMenuTest, OpensAtTheCursorWithTheForegroundOwner) {
    menus.cursor = {640, 470};
    struct Case {
        NativeHandle active, expectedOwner;
    } cases[] = {{0, kOwner}, {0x9911, 0x9911}};
    for (const Case& c : cases) {
        log.Clear();
        menus.activeWindow = c.active;
        menu.Popup(u"A");
        const FakeTrackCall& call = menus.tracked.back();
        EXPECT_EQ(call.owner, c.expectedOwner);
        EXPECT_EQ(call.flags, 0x102u);
        EXPECT_EQ(call.x, 640);
        EXPECT_EQ(call.y, 470);
        // The owner is the foreground window before the menu is tracked.
        std::vector<std::string> order;
        for (const std::string& entry : log.Entries())
            if (entry.rfind("foreground", 0) == 0 || entry.rfind("track", 0) == 0)
                order.push_back(entry);
        ASSERT_EQ(order.size(), 2u);
        EXPECT_EQ(order[0],
                  "foreground " + ToUtf8(Decimal(static_cast<long long>(c.expectedOwner))));
        EXPECT_EQ(order[1].rfind("track", 0), 0u);
    }
}

TEST_F(DynamicPopupMenuTest, IdsOutsideTheTextsTableNeverReachTheMenu) {
    using Probe = DynamicPopupMenuProbe;
    Probe::AddMenuItem(menu, 1000, u"Too far", false, false, MenuItemState::Enabled);
    Probe::AddMenuItem(menu, -1, u"Before", false, false, MenuItemState::Enabled);
    EXPECT_TRUE(menus.menus.at(menu.hwnd()).empty());
    for (std::int64_t outside : {-1LL, 1000LL, 4294967296LL})
        EXPECT_EQ(Probe::GetItemText(menu, outside), u"UNKNOWN") << outside;

    // An entry with id 0 cannot be told from a dismissed menu: dismissing still
    // gives the empty text.
    Probe::AddMenuItem(menu, 0, u"Zero", false, false, MenuItemState::Enabled);
    menus.trackResult = 0;
    EXPECT_EQ(menu.Popup(u"A"), u"");
}

TEST_F(DynamicPopupMenuTest, PopupFromInsideTheMenuLoopLeavesTheOpenMenuAlone) {
    std::u16string nested = u"not called";
    menus.onTrack = [&](const FakeTrackCall& call) {
        nested = menu.Popup(u"Intruder");
        EXPECT_EQ(Entries(menus.menus.at(call.menu)), (std::vector<Entry>{{1, u"A"}, {2, u"B"}}));
        return 2u;
    };
    EXPECT_EQ(menu.Popup(u"A,B"), u"B");
    EXPECT_EQ(nested, u"");
    EXPECT_EQ(menus.tracked.size(), 1u);
    // And the control works normally afterwards.
    menus.onTrack = nullptr;
    menus.trackResult = 1;
    EXPECT_EQ(menu.Popup(u"C"), u"C");
}

}  // namespace
}  // namespace marvolt
