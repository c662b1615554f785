#pragma once
// A popup menu built from one item string: every "," separates two fields, a
// field's 1-based number is its entry's command id, blanks around a field are
// dropped, an empty field makes no entry but uses up its number, and "-" is a
// separator line. "\," and "\\" stand for a comma and a backslash within a
// field. Popup shows the menu at the mouse pointer and hands back the chosen
// entry's text, or the empty text when the menu was dismissed. Entry texts are
// shown as they are: "&" and tabs have no meaning.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/menu_api.h"
#include "platform/native_handle.h"

namespace marvolt {

// `text` as (part of) one field of an item string, whatever commas it holds.
std::u16string EscapeMenuField(std::u16string_view text);

enum class MenuItemState : std::uint32_t { Enabled = 0, Disabled = 1, Grayed = 2 };

class DynamicPopupMenu {
public:
    static constexpr int kMaxItemId = 999;

    // fallbackOwner owns the menu when the application has no active window.
    DynamicPopupMenu(MenuApi& menus, NativeHandle fallbackOwner);
    ~DynamicPopupMenu();
    DynamicPopupMenu(const DynamicPopupMenu&) = delete;
    DynamicPopupMenu& operator=(const DynamicPopupMenu&) = delete;

    std::u16string Popup(const std::u16string& items);

    // The menu currently being filled (a menu handle, not a window).
    NativeHandle hwnd() const { return menu_; }

private:
    static constexpr int kUnset = -1;
    static constexpr NativeHandle kNoAnchor = static_cast<NativeHandle>(-1);

    void AddMenuItem(int id, const std::u16string& text, bool isDefault, bool isChecked,
                     MenuItemState state, NativeHandle uncheckedBitmap, NativeHandle checkedBitmap);
    std::uint32_t ShowMenu(int x, int y, NativeHandle anchor);
    std::u16string GetItemText(std::int64_t id) const;

    MenuApi& menus_;
    NativeHandle fallbackOwner_;
    NativeHandle menu_ = 0;
    bool tracking_ = false;
    std::array<std::u16string, kMaxItemId + 1> texts_;
};

}  // namespace marvolt
