#include "platform/win32/top_level_windows_win32.h"

#include <windows.h>

#include "platform/win32/win_text.h"

namespace marvolt {

NativeHandle Win32TopLevelWindows::FindByClassAndTitle(const std::u16string& windowClass,
                                                       const std::u16string& title) {
    return reinterpret_cast<NativeHandle>(
        FindWindowA(ToAnsi(windowClass).c_str(), ToAnsi(title).c_str()));
}

void Win32TopLevelWindows::ShowAsync(NativeHandle window, int showCommand) {
    if (window) ShowWindowAsync(reinterpret_cast<HWND>(window), showCommand);
}

void Win32TopLevelWindows::SetTopmost(NativeHandle window, bool topmost) {
    if (!window) return;
    SetWindowPos(reinterpret_cast<HWND>(window), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE);
}

}  // namespace marvolt
