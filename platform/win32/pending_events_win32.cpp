#include "platform/win32/pending_events_win32.h"

#include <windows.h>

namespace marvolt {

void Win32PendingEvents::ProcessPending() {
    // Bounded: a window that keeps posting to itself (or never validates its
    // paint region) must not keep the caller here for ever.
    int budget = 1000;
    MSG message;
    while (budget-- > 0 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Left for the message loop that owns the program's end.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace marvolt
