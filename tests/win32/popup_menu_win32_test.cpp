#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/menu_api_win32.h"
#include "popup_menu/dynamic_popup_menu.h"
#include "tests/common/dynamic_popup_menu_probe.h"
#include "tests/win32/win32_test_support.h"

namespace marvolt {
namespace {

class PopupMenuWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        owner_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"menu owner", WS_POPUP, 10, 10, 50,
                                   20, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner_, nullptr);
        menu_ = std::make_unique<DynamicPopupMenu>(api_, reinterpret_cast<NativeHandle>(owner_));
    }
    void TearDown() override {
        menu_.reset();
        ::DestroyWindow(owner_);
    }

    MenuApiWin32 api_;
    HWND owner_ = nullptr;
    std::unique_ptr<DynamicPopupMenu> menu_;
};

TEST_F(PopupMenuWin32Test, BuildsTheRealMenuAndReturnsTheChosenText) {
    HMENU shown = reinterpret_cast<HMENU>(menu_->hwnd());
    std::vector<MenuEntry> entries;
    WhenMenuOpens inMenu([&] {
        entries = ReadMenu(shown);
        ChooseWithKeys(3);  // separators are skipped: the third line of text
    });
    std::u16string chosen = menu_->Popup(
        u"Windows audio settings ..., Windows audio mixer ..., -, Reload list of Soundcards, -,"
        u",Lautsprecher \u00c4u\u00dfer");
    ASSERT_TRUE(inMenu.Fired());
    EXPECT_EQ(entries, (std::vector<MenuEntry>{{1, "Windows audio settings ..."},
                                               {2, "Windows audio mixer ..."},
                                               {3, "-"},
                                               {4, "Reload list of Soundcards"},
                                               {5, "-"},
                                               {7, "Lautsprecher \u00c4u\u00dfer"}}));
    EXPECT_EQ(chosen, u"Reload list of Soundcards");

    // The shown menu is gone; the control holds a new, empty one.
    EXPECT_FALSE(::IsMenu(shown));
    HMENU fresh = reinterpret_cast<HMENU>(menu_->hwnd());
    EXPECT_TRUE(::IsMenu(fresh));
    EXPECT_EQ(::GetMenuItemCount(fresh), 0);
}

TEST_F(PopupMenuWin32Test, DismissedMenuGivesTheEmptyText) {
    for (bool escape : {true, false}) {
        WhenMenuOpens inMenu([&] {
            if (escape)
                ::PostMessageW(OpenMenuWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
            else
                ::EndMenu();
        });
        EXPECT_EQ(menu_->Popup(u"A, B, C"), u"") << escape;
        EXPECT_TRUE(inMenu.Fired());
    }
}

TEST_F(PopupMenuWin32Test, EntryLooksReachTheRealMenu) {
    using Probe = DynamicPopupMenuProbe;
    HBITMAP unchecked = ::CreateBitmap(13, 13, 1, 1, nullptr);
    HBITMAP checked = ::CreateBitmap(13, 13, 1, 1, nullptr);
    Probe::AddMenuItem(*menu_, 1, u"Checked", false, true, MenuItemState::Enabled);
    Probe::AddMenuItem(*menu_, 2, u"Default", true, false, MenuItemState::Enabled);
    Probe::AddMenuItem(*menu_, 3, u"Disabled", false, false, MenuItemState::Disabled);
    Probe::AddMenuItem(*menu_, 4, u"Grayed", false, false, MenuItemState::Grayed);
    Probe::AddMenuItem(*menu_, 5, u"Pictures", false, false, MenuItemState::Enabled,
                       reinterpret_cast<NativeHandle>(unchecked),
                       reinterpret_cast<NativeHandle>(checked));
    HMENU menu = reinterpret_cast<HMENU>(menu_->hwnd());
    EXPECT_TRUE(::GetMenuState(menu, 1, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(::GetMenuState(menu, 2, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(::GetMenuDefaultItem(menu, FALSE, 0), 2u);
    UINT disabled = ::GetMenuState(menu, 3, MF_BYCOMMAND);
    EXPECT_TRUE(disabled & MF_DISABLED);
    EXPECT_FALSE(disabled & MF_GRAYED);
    EXPECT_TRUE(::GetMenuState(menu, 4, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(::GetMenuState(menu, 1, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_CHECKMARKS;
    ASSERT_TRUE(::GetMenuItemInfoW(menu, 5, FALSE, &info));
    EXPECT_EQ(info.hbmpUnchecked, unchecked);
    EXPECT_EQ(info.hbmpChecked, checked);
    menu_.reset();
    ::DeleteObject(unchecked);
    ::DeleteObject(checked);
}

TEST_F(PopupMenuWin32Test, OpensAtTheCursorOrBelowTheAnchor) {
    HWND anchor = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"anchor", WS_POPUP | WS_VISIBLE,
                                    120, 90, 200, 40, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(anchor, nullptr);
    struct Case {
        bool useAnchor;
        POINT expected;
    } cases[] = {{false, {230, 170}}, {true, {120, 130}}};
    for (const Case& c : cases) {
        ASSERT_TRUE(::SetCursorPos(230, 170));
        RECT placed{};
        WhenMenuOpens inMenu([&] {
            ::GetWindowRect(OpenMenuWindow(), &placed);
            ::EndMenu();
        });
        if (c.useAnchor) {
            // Entries first: ShowMenu tracks whatever the current menu holds.
            DynamicPopupMenuProbe::AddMenuItem(*menu_, 1, u"Below", false, false,
                                               MenuItemState::Enabled);
            DynamicPopupMenuProbe::ShowMenu(*menu_, 5, 5, reinterpret_cast<NativeHandle>(anchor));
        } else {
            menu_->Popup(u"At the cursor");
        }
        ASSERT_TRUE(inMenu.Fired());
        EXPECT_EQ(placed.left, c.expected.x) << c.useAnchor;
        EXPECT_EQ(placed.top, c.expected.y) << c.useAnchor;
    }
    ::DestroyWindow(anchor);
}

}  // namespace
}  // namespace marvolt
