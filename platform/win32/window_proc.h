#pragma once
// The window procedure of a class whose object sits in the window's
// GWLP_USERDATA: messages before the object is attached go to the default
// procedure, and nothing thrown by the handler unwinds through the system.
#include <windows.h>

namespace marvolt {

template <typename Owner, LRESULT (Owner::*Handler)(UINT, WPARAM, LPARAM)>
LRESULT CALLBACK OwnerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!owner) return DefWindowProcW(window, message, wParam, lParam);
#if __cpp_exceptions
    try {
        return (owner->*Handler)(message, wParam, lParam);
    } catch (...) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
#else
    return (owner->*Handler)(message, wParam, lParam);
#endif
}

}  // namespace marvolt
