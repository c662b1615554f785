#include "windows/cycle_controls_win32.h"

#include <commctrl.h>

#include "platform/win32/win_text.h"

namespace marvolt {

namespace {

// The keys that come from the extended part of the keyboard: the control
// names them apart from the number pad's keys only when told.
bool IsExtendedKey(BYTE key) {
    return (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE || key == VK_DIVIDE ||
           key == VK_NUMLOCK;
}

constexpr int kTicked = 2, kCleared = 1;  // the list's state pictures

}  // namespace

void HotkeyWin32::HandOver() {
    SendMessageW(window_, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    SetValue(value_);
}

Hotkey HotkeyWin32::Value() {
    if (Waiting()) return value_;
    auto value = static_cast<WORD>(SendMessageW(window_, HKM_GETHOTKEY, 0, 0));
    return {LOBYTE(value), static_cast<std::uint8_t>(HIBYTE(value) & (kHotkeyShift | kHotkeyControl | kHotkeyAlt))};
}

void HotkeyWin32::SetValue(const Hotkey& hotkey) {
    if (Waiting()) return void(value_ = hotkey);
    BYTE modifiers = hotkey.modifiers | (IsExtendedKey(hotkey.key) ? HOTKEYF_EXT : 0);
    SendMessageW(window_, HKM_SETHOTKEY, hotkey.key ? MAKEWORD(hotkey.key, modifiers) : 0, 0);
    seen_ = static_cast<WORD>(SendMessageW(window_, HKM_GETHOTKEY, 0, 0));
}

// The box empties at the first modifier pressed: that is a hotkey still being
// typed, not "none". A person may also press the hotkey itself while the box
// has the focus (the modifiers reach the box, the key the hotkey): once no
// modifier is held and no key came, the box shows its hotkey again. Only
// Backspace or Delete clear it.
bool HotkeyWin32::TakeChange(UINT message, WPARAM key) {
    if (Waiting()) return false;
    auto value = static_cast<WORD>(SendMessageW(window_, HKM_GETHOTKEY, 0, 0));
    if (value == seen_) return false;
    if (LOBYTE(value) == 0 && !(message == WM_KEYDOWN && (key == VK_BACK || key == VK_DELETE))) {
        bool held = ((GetKeyState(VK_CONTROL) | GetKeyState(VK_MENU) | GetKeyState(VK_SHIFT)) & 0x8000) != 0;
        if (!held && (message == WM_KEYUP || message == WM_SYSKEYUP)) SendMessageW(window_, HKM_SETHOTKEY, seen_, 0);
        return false;
    }
    seen_ = value;
    return true;
}

void CheckListWin32::HandOver() {
    SendMessageW(window_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    SendMessageW(window_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    FitColumn();
    for (const auto& [text, ticked] : std::exchange(rows_, {})) AddItem(text, ticked);
}

// Room is left for the scroll bar that more rows bring, so that there is never
// a second one across.
void CheckListWin32::FitColumn() {
    if (Waiting()) return;
    RECT client{};
    GetClientRect(window_, &client);
    if (GetWindowLongPtrW(window_, GWL_STYLE) & WS_VSCROLL) client.right += GetSystemMetrics(SM_CXVSCROLL);
    SendMessageW(window_, LVM_SETCOLUMNWIDTH, 0, client.right - GetSystemMetrics(SM_CXVSCROLL));
}

void CheckListWin32::Clear() {
    if (Waiting()) return rows_.clear();
    SendMessageW(window_, LVM_DELETEALLITEMS, 0, 0);
}

void CheckListWin32::AddItem(const std::u16string& text, bool ticked) {
    if (Waiting()) return void(rows_.emplace_back(text, ticked));
    filling_ = true;
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = Count();
    item.pszText = const_cast<LPWSTR>(Wide(text));  // read only
    auto index = static_cast<int>(SendMessageW(window_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (index >= 0) {
        LVITEMW state{};
        state.stateMask = LVIS_STATEIMAGEMASK;
        state.state = INDEXTOSTATEIMAGEMASK(ticked ? kTicked : kCleared);
        SendMessageW(window_, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&state));
    }
    filling_ = false;
}

int CheckListWin32::Count() {
    if (Waiting()) return static_cast<int>(rows_.size());
    return static_cast<int>(SendMessageW(window_, LVM_GETITEMCOUNT, 0, 0));
}

bool CheckListWin32::Ticked(int index) {
    if (index < 0 || index >= Count()) return false;
    if (Waiting()) return rows_[static_cast<size_t>(index)].second;
    auto state =
        static_cast<UINT>(SendMessageW(window_, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_STATEIMAGEMASK));
    return (state >> 12) == kTicked;
}

}  // namespace marvolt
