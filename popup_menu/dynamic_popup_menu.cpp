#include "popup_menu/dynamic_popup_menu.h"

#include <string_view>

#include "platform/text.h"

namespace marvolt {

namespace {

// The field that starts at `next`, unescaped; `next` moves past the comma that
// ends it, or past the end of `items`.
std::u16string NextField(std::u16string_view items, std::size_t& next) {
    std::u16string field;
    for (; next < items.size() && items[next] != u','; ++next) {
        bool escape = items[next] == u'\\' && next + 1 < items.size() &&
                      (items[next + 1] == u',' || items[next + 1] == u'\\');
        field += items[escape ? ++next : next];
    }
    ++next;
    return field;
}

// The menu draws "&" as an underline under the next letter (and makes it a
// shortcut) and moves text after a tab or another control character to the
// right edge: entry texts are shown as they are.
std::u16string ShownText(const std::u16string& text) {
    std::u16string shown;
    for (char16_t c : text) {
        if (c == u'&') shown += u'&';
        shown += c < 0x20 ? u' ' : c;
    }
    return shown;
}

}  // namespace

std::u16string EscapeMenuField(std::u16string_view text) {
    std::u16string escaped;
    for (char16_t c : text) {
        if (c == u',' || c == u'\\') escaped += u'\\';
        escaped += c;
    }
    return escaped;
}

DynamicPopupMenu::DynamicPopupMenu(MenuApi& menus, NativeHandle fallbackOwner)
    : menus_(menus), fallbackOwner_(fallbackOwner), menu_(menus.CreatePopup()) {}

DynamicPopupMenu::~DynamicPopupMenu() {
    if (menu_) menus_.DestroyPopup(menu_);
}

std::u16string DynamicPopupMenu::Popup(const std::u16string& items) {
    if (Trim(items).empty()) return {};
    // A nested call from inside the menu loop would add entries to the menu on
    // screen and destroy it under the running TrackPopupMenuEx.
    if (tracking_) return {};

    std::size_t next = 0;
    for (int id = 1; id <= kMaxItemId && next <= items.size(); ++id) {
        std::u16string text = Trim(NextField(items, next));
        if (!text.empty()) AddMenuItem(id, text, false, false, MenuItemState::Enabled, 0, 0);
    }
    // Fields past the last id are left out; the menu shows what fits.

    tracking_ = true;
    std::uint32_t chosen = ShowMenu(kUnset, kUnset, kNoAnchor);
    tracking_ = false;
    // Slot 0 is never filled by Popup, but a dismissed menu must give "" even if
    // someone stored a text there.
    std::u16string result = chosen == 0 ? std::u16string() : GetItemText(chosen);

    if (menu_) menus_.DestroyPopup(menu_);
    menu_ = menus_.CreatePopup();
    return result;
}

void DynamicPopupMenu::AddMenuItem(int id, const std::u16string& text, bool isDefault,
                                   bool isChecked, MenuItemState state,
                                   NativeHandle uncheckedBitmap, NativeHandle checkedBitmap) {
    // Ids outside the texts table could never be answered with their text.
    if (id < 0 || id > kMaxItemId) return;
    auto command = static_cast<std::uint32_t>(id);
    if (text == u"-")
        menus_.AppendItem(menu_, kMenuSeparator, command, {});
    else
        menus_.AppendItem(menu_, isChecked ? kMenuChecked : kMenuString, command, ShownText(text));
    menus_.SetItemBitmaps(menu_, command, kMenuByCommand, uncheckedBitmap, checkedBitmap);
    if (isDefault) menus_.SetDefaultItem(menu_, command, 0);
    if (state == MenuItemState::Disabled)
        menus_.EnableItem(menu_, command, kMenuDisabled);
    else if (state == MenuItemState::Grayed)
        menus_.EnableItem(menu_, command, kMenuGrayed);
    texts_[static_cast<std::size_t>(id)] = text;
}

std::uint32_t DynamicPopupMenu::ShowMenu(int x, int y, NativeHandle anchor) {
    NativeHandle owner = menus_.ActiveWindow();
    if (!owner) owner = fallbackOwner_;

    if (anchor == kNoAnchor) {
        ScreenPoint cursor;
        menus_.CursorPosition(cursor);
        if (x == kUnset) x = cursor.x;
        if (y == kUnset) y = cursor.y;
    } else {
        ScreenRect rect;
        menus_.WindowRectangle(anchor, rect);
        x = rect.left;
        y = rect.bottom;
    }
    // Unless its owner is the foreground window, the menu stays open when the
    // user clicks elsewhere.
    menus_.MakeForeground(owner);
    return menus_.TrackPopup(menu_, kTrackReturnCommand, x, y, owner);
}

std::u16string DynamicPopupMenu::GetItemText(std::int64_t id) const {
    if (id < 0 || id > kMaxItemId) return u"UNKNOWN";
    return texts_[static_cast<std::size_t>(id)];
}

}  // namespace marvolt
