// Loaded by the end-to-end tests into the program under test
// (SetWindowsHookEx with WH_CALLWNDPROC). A menu can't be read from another
// process, so this module writes what a person sees in the popup menu being
// opened into marvolt_e2e_menu.txt in the temporary folder, one entry a line:
// "-" for a separator, otherwise "<id>\t<text>" (UTF-8).
#include <windows.h>

#include <string>

namespace {

std::wstring TempFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) return L"";
    return std::wstring(folder) + name;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int needed = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string out(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), needed, nullptr,
                        nullptr);
    return out;
}

void WriteWhole(const std::wstring& path, const std::string& content) {
    // Written under another name first, so a reader never sees half a menu.
    std::wstring partial = path + L".part";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void DumpMenu(HMENU menu) {
    std::string content;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = L"";
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 511;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        if (info.fType & MFT_SEPARATOR) {
            content += "-\n";
        } else {
            content += std::to_string(info.wID) + "\t" + Utf8(text) + "\n";
        }
    }
    WriteWhole(TempFile(L"marvolt_e2e_menu.txt"), content);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK CallWndHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && lParam != 0) {
        const CWPSTRUCT& call = *reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (call.message == WM_INITMENUPOPUP) DumpMenu(reinterpret_cast<HMENU>(call.wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
