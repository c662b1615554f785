#include "platform/win32/top_level_windows_win32.h"

#include <windows.h>

#include "platform/win32/win_text.h"

namespace marvolt {

namespace {

struct ClassSearch {
    const std::u16string& windowClass;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK ConsiderWindow(HWND window, LPARAM param) {
    ClassSearch& search = *reinterpret_cast<ClassSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search.processId) return TRUE;
    wchar_t name[256] = {};
    int length = GetClassNameW(window, name, 256);
    if (FromWide(name, static_cast<size_t>(length > 0 ? length : 0)) != search.windowClass) return TRUE;
    search.found = window;
    return FALSE;
}

}  // namespace

NativeHandle Win32TopLevelWindows::FindByClassInProcess(const std::u16string& windowClass,
                                                        std::uint32_t processId) {
    if (!processId) return 0;
    ClassSearch search{windowClass, processId, nullptr};
    EnumWindows(ConsiderWindow, reinterpret_cast<LPARAM>(&search));
    return reinterpret_cast<NativeHandle>(search.found);
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
