#pragma once
// Helpers for tests that drive real windows, menus and message loops.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/text.h"
#include "platform/win32/ui_controls_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"

namespace marvolt {

// Lets this thread's messages run until `done` holds; false if it does not
// within the limit (which only bounds a failing test).
inline bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 5000) {
    for (DWORD start = GetTickCount();; MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT)) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) TranslateMessage(&message), DispatchMessageW(&message);
        if (done()) return true;
        if (GetTickCount() - start >= limitMs) return false;
    }
}
inline void Pump() {
    PumpUntil([] { return true; });
}

// What the test window gives its static controls as background.
constexpr COLORREF kParentBackground = RGB(10, 200, 30);

inline LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static HBRUSH background = CreateSolidBrush(kParentBackground);
    if (message == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(background);
    return DefWindowProcW(window, message, wParam, lParam);
}

// A plain top-level window of class "TestWindow", hidden unless `show` says otherwise.
inline UniqueHwnd MakeTestWindow(const wchar_t* title, int show = SW_HIDE) {
    static WNDCLASSW windowClass{
        0, TestWindowProc, 0, 0, nullptr, nullptr, nullptr, GetSysColorBrush(COLOR_BTNFACE), nullptr, L"TestWindow"};
    static const ATOM registered [[maybe_unused]] = RegisterClassW(&windowClass);
    UniqueHwnd window(CreateWindowExW(0, L"TestWindow", title, WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, nullptr,
                                      nullptr, nullptr, nullptr));
    ShowWindow(window.get(), show);
    return window;
}

// Several numbers compared at once, as in EXPECT_EQ(Ints({left, top}), Ints({10, 5})).
using Ints = std::vector<long>;

inline bool IsTopmost(HWND window) { return GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST; }
inline NativeHandle Native(HWND window) { return reinterpret_cast<NativeHandle>(window); }

inline std::u16string ClassOf(HWND window) {
    wchar_t name[64] = {};
    return ToLowerAscii(FromWide(name, static_cast<size_t>(GetClassNameW(window, name, 64))));
}

inline int Dpi(int pixels) {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return MulDiv(pixels, dpi, 96);
}

// The popup menu window on screen, or null.
inline HWND OpenMenuWindow() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

// Runs an action from inside the modal loop of this thread's next popup menu, once it shows.
class WhenMenuOpens {
  public:
    explicit WhenMenuOpens(std::function<void()> action) : timer_(SetTimer(nullptr, 0, 10, Tick)) {
        action_ = std::move(action);
        fired_ = false;
    }
    ~WhenMenuOpens() { KillTimer(nullptr, timer_); }
    bool Fired() const { return fired_; }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        if (fired_ || !OpenMenuWindow()) return;
        KillTimer(nullptr, id);
        fired_ = true;
        action_();
    }
    static inline std::function<void()> action_;
    static inline bool fired_ = false;
    UINT_PTR timer_;
};

// Picks the n-th selectable entry of the open menu as the keyboard does.
inline void ChooseWithKeys(int downPresses) {
    for (int i = 0; i < downPresses; ++i) PostMessageW(OpenMenuWindow(), WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(OpenMenuWindow(), WM_KEYDOWN, VK_RETURN, 0);
}

// The menu's entries as "id:text|..." in UTF-8, "-" for a separator.
inline std::string ReadMenu(HMENU menu) {
    std::string entries;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        GetMenuStringW(menu, i, text, 256, MF_BYPOSITION);
        bool separator = GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR;
        entries +=
            (i ? "|" : "") + (separator ? "-" : std::to_string(GetMenuItemID(menu, i)) + ":" + ToUtf8(FromWide(text)));
    }
    return entries;
}

}  // namespace marvolt
