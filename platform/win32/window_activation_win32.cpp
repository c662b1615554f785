#include "platform/win32/window_activation_win32.h"

#include <windows.h>

#include <vector>

#include "platform/text.h"
#include "platform/win32/win_text.h"

namespace marvolt {

namespace {

struct Search {
    const std::u16string* title;
    // Best candidate per rank: exact visible, exact hidden, prefix visible, prefix hidden.
    HWND ranked[4] = {};
};

BOOL CALLBACK ConsiderWindow(HWND window, LPARAM param) {
    Search& search = *reinterpret_cast<Search*>(param);
    int length = GetWindowTextLengthW(window);
    if (length < static_cast<int>(search.title->size())) return TRUE;
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    int copied = GetWindowTextW(window, buffer.data(), length + 1);
    std::u16string text = FromWide(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
    int rank;
    if (text == *search.title) {
        rank = 0;
    } else if (StartsWith(text, *search.title)) {
        rank = 2;
    } else {
        return TRUE;
    }
    if (!IsWindowVisible(window)) ++rank;
    // EnumWindows runs from the top of the z-order: the first one found stays.
    if (!search.ranked[rank]) search.ranked[rank] = window;
    return TRUE;
}

HWND FindByTitle(const std::u16string& title) {
    Search search{&title};
    EnumWindows(ConsiderWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.ranked) {
        if (window) return window;
    }
    return nullptr;
}

void BringForward(HWND window) {
    DWORD windowThread = GetWindowThreadProcessId(window, nullptr);
    DWORD ownThread = GetCurrentThreadId();
    // The window of another process may sit hidden in the tray or minimised; an
    // asynchronous show keeps a hung process from holding this one up. Its own
    // style tells whether a top-level window is shown: IsWindowVisible asks the
    // desktop too, which under Wine loads the display driver into a start that
    // only hands over.
    const bool shown = (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
    int show = IsIconic(window) ? SW_RESTORE : (!shown ? SW_SHOW : -1);
    if (show >= 0) {
        if (windowThread == ownThread) {
            ShowWindow(window, show);
        } else {
            ShowWindowAsync(window, show);
        }
    }

    // A program just started, or one the user just clicked, may take the
    // foreground. The input state of another thread is not borrowed for it:
    // under Wine the window then lost its next click, and a hung foreground
    // thread would hold this one up. Another thread's window is moved by a
    // request it takes in turn, for the same reason.
    const UINT async = windowThread == ownThread ? 0 : SWP_ASYNCWINDOWPOS;
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | async);
    SetForegroundWindow(window);
    // Should the foreground be refused, the window at least comes above the
    // others; a pinned window stays pinned.
    if (GetForegroundWindow() != window && !(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
        const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | async;
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags);
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    }
}

}  // namespace

bool Win32WindowActivation::Activate(NativeHandle handle) {
    HWND window = reinterpret_cast<HWND>(handle);
    if (!window || !IsWindow(window)) return false;
    BringForward(window);
    return true;
}

bool Win32WindowActivation::ActivateByTitle(const std::u16string& title) {
    if (title.empty()) return false;  // every window's title begins with it
    HWND window = FindByTitle(title);
    if (!window) return false;
    BringForward(window);
    return true;
}

}  // namespace marvolt
