// Loaded by the end-to-end tests into the program under test (SetWindowsHookEx
// with WH_CALLWNDPROC). A menu can't be read from another process, so this module
// writes the popup menu being opened into marvolt_e2e_menu.txt in the temporary
// folder, one entry a line: "-" for a separator, otherwise "<id>\t<text>" (UTF-8).
// Sent to the tray window, "MarvoltE2E.ForgetIcon" takes its icon off the shell,
// as a shell that restarted has forgotten it (Wine hands no icon to another process).
#include <windows.h>
#include <shellapi.h>

#include <string>

extern "C" __declspec(dllexport) LRESULT CALLBACK CallWndHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call && call->message == RegisterWindowMessageW(L"MarvoltE2E.ForgetIcon")) {
        NOTIFYICONDATAW icon{NOTIFYICONDATAW_V1_SIZE, call->hwnd};
        icon.uID = static_cast<UINT>(SendMessageW(call->hwnd, WM_GETICON, ICON_BIG, 0));
        Shell_NotifyIconW(NIM_DELETE, &icon);
    }
    if (code == HC_ACTION && call && call->message == WM_INITMENUPOPUP) {
        HMENU menu = reinterpret_cast<HMENU>(call->wParam);
        std::string content;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[512] = L"";
            char utf8[2048] = "";
            MENUITEMINFOW info{sizeof(info), MIIM_FTYPE | MIIM_ID | MIIM_STRING};
            info.dwTypeData = text;
            info.cch = 511;
            if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
            WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
            content += info.fType & MFT_SEPARATOR ? "-\n" : std::to_string(info.wID) + "\t" + utf8 + "\n";
        }
        // Written under another name first, so a reader never sees half a menu.
        wchar_t folder[MAX_PATH];
        const std::wstring path = std::wstring(folder, GetTempPathW(MAX_PATH, folder)) + L"marvolt_e2e_menu.txt";
        HANDLE file = CreateFileW((path + L".part").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        if (file != INVALID_HANDLE_VALUE) {
            WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
            CloseHandle(file);
            MoveFileExW((path + L".part").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
