#include "platform/win32/top_level_windows_win32.h"

#include <windows.h>

#include "platform/win32/win_text.h"

namespace marvolt {

// The windows of the class are walked with FindWindowExW rather than every
// top-level window with EnumWindows: under Wine the latter loads the display
// driver, a good part of what a second start would cost.
NativeHandle Win32TopLevelWindows::FindByClassInProcess(const std::u16string& windowClass,
                                                        std::uint32_t processId) {
    if (!processId) return 0;
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, Wide(windowClass), nullptr)) != nullptr) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == processId) return reinterpret_cast<NativeHandle>(window);
    }
    return 0;
}

void Win32TopLevelWindows::ShowAsync(NativeHandle window, int showCommand) {
    if (window) ShowWindowAsync(reinterpret_cast<HWND>(window), showCommand);
}

// Another thread's window takes the change as a request in its turn: a busy or
// hung owner does not hold the caller up. The caller's own windows change at once.
// Only the z-order changes: the settings window is pinned while still hidden at
// start, and activating it then took the keyboard from whatever window the user
// was typing in. Where the window should come forward, the caller activates it.
void Win32TopLevelWindows::SetTopmost(NativeHandle window, bool topmost) {
    if (!window) return;
    SetWindowPos(reinterpret_cast<HWND>(window), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
}

bool Win32TopLevelWindows::IsTopmost(NativeHandle window) {
    return window && (GetWindowLongW(reinterpret_cast<HWND>(window), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

std::optional<long> Win32TopLevelWindows::SendData(NativeHandle window, std::uint32_t tag,
                                                   const std::vector<std::uint8_t>& bytes, unsigned timeoutMs) {
    COPYDATASTRUCT data{tag, static_cast<DWORD>(bytes.size()), const_cast<std::uint8_t*>(bytes.data())};
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(reinterpret_cast<HWND>(window), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, timeoutMs, &answer))
        return std::nullopt;
    return static_cast<long>(answer);
}

}  // namespace marvolt
