#include "platform/win32/menu_api_win32.h"

#include <windows.h>

#include "platform/win32/win_text.h"

namespace marvolt {

namespace {
HMENU Menu(NativeHandle menu) { return reinterpret_cast<HMENU>(menu); }
HWND Window(NativeHandle window) { return reinterpret_cast<HWND>(window); }
}  // namespace

NativeHandle MenuApiWin32::CreatePopup() {
    return reinterpret_cast<NativeHandle>(::CreatePopupMenu());
}

bool MenuApiWin32::DestroyPopup(NativeHandle menu) { return ::DestroyMenu(Menu(menu)) != FALSE; }

bool MenuApiWin32::AppendItem(NativeHandle menu, std::uint32_t flags, std::uint32_t id,
                              const std::u16string& text) {
    if (flags & MF_SEPARATOR) return ::AppendMenuW(Menu(menu), flags, id, nullptr) != FALSE;
    return ::AppendMenuW(Menu(menu), flags, id, Wide(text)) != FALSE;
}

bool MenuApiWin32::SetItemBitmaps(NativeHandle menu, std::uint32_t id, std::uint32_t flags,
                                  NativeHandle uncheckedBitmap, NativeHandle checkedBitmap) {
    return ::SetMenuItemBitmaps(Menu(menu), id, flags, reinterpret_cast<HBITMAP>(uncheckedBitmap),
                                reinterpret_cast<HBITMAP>(checkedBitmap)) != FALSE;
}

bool MenuApiWin32::SetDefaultItem(NativeHandle menu, std::uint32_t id, std::uint32_t byPosition) {
    return ::SetMenuDefaultItem(Menu(menu), id, byPosition) != FALSE;
}

void MenuApiWin32::EnableItem(NativeHandle menu, std::uint32_t id, std::uint32_t enable) {
    ::EnableMenuItem(Menu(menu), id, enable);
}

bool MenuApiWin32::CursorPosition(ScreenPoint& point) {
    POINT cursor{};
    if (!::GetCursorPos(&cursor)) return false;
    point = {cursor.x, cursor.y};
    return true;
}

bool MenuApiWin32::WindowRectangle(NativeHandle window, ScreenRect& rect) {
    RECT r{};
    if (!::GetWindowRect(Window(window), &r)) return false;
    rect = {r.left, r.top, r.right, r.bottom};
    return true;
}

NativeHandle MenuApiWin32::ActiveWindow() {
    return reinterpret_cast<NativeHandle>(::GetActiveWindow());
}

void MenuApiWin32::MakeForeground(NativeHandle window) { ::SetForegroundWindow(Window(window)); }

std::uint32_t MenuApiWin32::TrackPopup(NativeHandle menu, std::uint32_t flags, int x, int y,
                                       NativeHandle owner) {
    BOOL chosen = ::TrackPopupMenuEx(Menu(menu), flags, x, y, Window(owner), nullptr);
    // Without a message after the menu loop, the next menu of a notification icon
    // may close again at once.
    ::PostMessageW(Window(owner), WM_NULL, 0, 0);
    return chosen > 0 ? static_cast<std::uint32_t>(chosen) : 0;
}

}  // namespace marvolt
