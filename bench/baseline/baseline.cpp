// The least tray program: one hidden window, one icon with a tooltip and a
// two-entry menu on a right click. It is the yardstick the benchmark holds
// Marvolt against, so it does nothing beyond what shows at start.
//
// Built a second time with BASELINE_LIST_DEVICES, it also lists the wave-output
// devices at start, as Marvolt must, names the first in its tooltip and offers
// them all in its menu: the same job without the rest of the program, to tell
// what the job itself costs on this platform.
//
// Built a third time with BASELINE_WRITE_ON_CLICK, its menu (the devices, a
// separator and Exit, opened by either button, as Marvolt's ends) also writes
// the chosen device's name into the Sound Mapper's "Playback" value: the least
// program for the time from a click on a device entry to the value written.
#ifdef BASELINE_WRITE_ON_CLICK
#define BASELINE_LIST_DEVICES
#endif
#include <windows.h>
#include <shellapi.h>
#ifdef BASELINE_LIST_DEVICES
#include <mmsystem.h>
#endif

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT kIconId = 1;
constexpr UINT kSettingsCommand = 1;
constexpr UINT kExitCommand = 2;

NOTIFYICONDATAW g_icon;

#ifdef BASELINE_LIST_DEVICES
constexpr UINT kFirstDeviceCommand = 100;
constexpr UINT kMaxDevices = 64;
char g_devices[kMaxDevices][MAXPNAMELEN];
UINT g_deviceCount;

void ListDevices() {
    UINT count = waveOutGetNumDevs();
    for (UINT device = 0; device < count && g_deviceCount < kMaxDevices; ++device) {
        WAVEOUTCAPSA caps{};
        if (waveOutGetDevCapsA(device, &caps, sizeof(caps)) != MMSYSERR_NOERROR) continue;
        lstrcpynA(g_devices[g_deviceCount++], caps.szPname, MAXPNAMELEN);
    }
}
#endif

void ShowMenu(HWND window) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
#ifdef BASELINE_LIST_DEVICES
    for (UINT i = 0; i < g_deviceCount; ++i) AppendMenuA(menu, MF_STRING, kFirstDeviceCommand + i, g_devices[i]);
#endif
#ifdef BASELINE_WRITE_ON_CLICK
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
#else
    AppendMenuW(menu, MF_STRING, kSettingsCommand, L"Settings ...");
#endif
    AppendMenuW(menu, MF_STRING, kExitCommand, L"Exit");
    POINT cursor;
    GetCursorPos(&cursor);
    // The owner must be in front, or the menu stays open after a click elsewhere.
    SetForegroundWindow(window);
    UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
    DestroyMenu(menu);
    if (chosen == kExitCommand) DestroyWindow(window);
#ifdef BASELINE_WRITE_ON_CLICK
    if (chosen >= kFirstDeviceCommand && chosen < kFirstDeviceCommand + g_deviceCount)
        RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Multimedia\\Sound Mapper", "Playback", REG_SZ,
                        g_devices[chosen - kFirstDeviceCommand],
                        static_cast<DWORD>(lstrlenA(g_devices[chosen - kFirstDeviceCommand]) + 1));
#endif
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kTrayMessage:
#ifdef BASELINE_WRITE_ON_CLICK
        if (lParam == WM_LBUTTONUP) ShowMenu(window);
#endif
        if (lParam == WM_RBUTTONUP) ShowMenu(window);
        return 0;
    case WM_DESTROY:
        Shell_NotifyIconW(NIM_DELETE, &g_icon);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"MarvoltBenchBaseline";
    if (!RegisterClassW(&windowClass)) return 1;
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Baseline", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 200, 100, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;

    g_icon.cbSize = sizeof(g_icon);
    g_icon.hWnd = window;
    g_icon.uID = kIconId;
    g_icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    g_icon.uCallbackMessage = kTrayMessage;
    g_icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
#ifdef BASELINE_LIST_DEVICES
    ListDevices();
    MultiByteToWideChar(CP_ACP, 0, g_deviceCount > 0 ? g_devices[0] : "", -1, g_icon.szTip, ARRAYSIZE(g_icon.szTip));
#else
    lstrcpynW(g_icon.szTip, L"Baseline", ARRAYSIZE(g_icon.szTip));
#endif
    Shell_NotifyIconW(NIM_ADD, &g_icon);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
