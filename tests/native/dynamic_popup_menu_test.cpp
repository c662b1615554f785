#include "popup_menu/dynamic_popup_menu.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "platform/text.h"

namespace marvolt {
namespace {

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
        {u"Windows audio settings ..., -, Reload list of Soundcards, -,",
         "1:Windows audio settings ... 2:- 3:Reload list of Soundcards 4:- "},
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
