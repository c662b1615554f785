#pragma once
// Reaches the private steps of DynamicPopupMenu that the item string cannot
// express (checked, default, disabled and grayed entries, bitmaps, explicit
// positions and an anchor window).
#include "popup_menu/dynamic_popup_menu.h"

namespace marvolt {

class DynamicPopupMenuProbe {
public:
    static constexpr int kUnset = DynamicPopupMenu::kUnset;
    static constexpr NativeHandle kNoAnchor = DynamicPopupMenu::kNoAnchor;

    static void AddMenuItem(DynamicPopupMenu& menu, int id, const std::u16string& text,
                            bool isDefault, bool isChecked, MenuItemState state,
                            NativeHandle uncheckedBitmap = 0, NativeHandle checkedBitmap = 0) {
        menu.AddMenuItem(id, text, isDefault, isChecked, state, uncheckedBitmap, checkedBitmap);
    }
    static std::uint32_t ShowMenu(DynamicPopupMenu& menu, int x, int y, NativeHandle anchor) {
        return menu.ShowMenu(x, y, anchor);
    }
    static std::u16string GetItemText(const DynamicPopupMenu& menu, std::int64_t id) {
        return menu.GetItemText(id);
    }
};

}  // namespace marvolt
