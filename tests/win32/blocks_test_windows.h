#pragma once
// Plain top-level test windows for the guard, activation and pin tests.
#include <windows.h>

#include <string>

#include "platform/win32/unique_handle.h"

namespace marvolt {
namespace blocks_test {

constexpr wchar_t kTestWindowClass[] = L"BlocksTestWindow";
// What the test window gives its static controls as background.
constexpr COLORREF kParentBackground = RGB(10, 200, 30);

inline LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static HBRUSH background = CreateSolidBrush(kParentBackground);
    if (message == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(background);
    return DefWindowProcW(window, message, wParam, lParam);
}

inline UniqueHwnd MakeTestWindow(const std::wstring& title, DWORD style = WS_OVERLAPPEDWINDOW,
                                 const wchar_t* windowClass = kTestWindowClass) {
    static bool registered = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = TestWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = kTestWindowClass;
        return RegisterClassW(&windowClass) != 0;
    }();
    (void)registered;
    return UniqueHwnd(CreateWindowExW(0, windowClass, title.c_str(), style, 100, 100, 300, 200, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr));
}

inline void PumpMessages() {
    MSG message;
    for (int i = 0; i < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

inline bool IsTopmost(HWND window) { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

}  // namespace blocks_test
}  // namespace marvolt
