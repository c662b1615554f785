// Loaded by the end-to-end tests into the program under test, for what can't be
// seen from another process:
// - CallWndHook (SetWindowsHookEx, WH_CALLWNDPROC) writes the popup menu being
//   opened into marvolt_e2e_menu.txt in the temporary folder, one entry a line,
//   "-" for a separator;
// - registered in the test prefix as the system's audio policy class, it appends
//   every SetDefaultEndpoint call to marvolt_e2e_policy.txt there as "<endpoint
//   id> <role>", and refuses it while marvolt_e2e_policy.fail exists.
// Both files hold UTF-16 text.
// Sent to the tray window, "MarvoltE2E.ForgetIcon" takes its icon off the shell,
// as a shell that restarted has forgotten it (Wine hands no icon to another process).
// <windows.h> before the headers that build on it: the order is kept by hand.
// clang-format off
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/win32/audio_endpoints_win32.h"
// clang-format on

namespace {

// The system's own identities, written out here so that a wrong one in the program shows.
const CLSID kClass = {0x870AF99C, 0x171D, 0x4F9E, {0xAF, 0x0D, 0xE6, 0x3D, 0xF4, 0x0C, 0x2B, 0xC9}};
const IID kInterface = {
    0xF8679F50, 0x850A, 0x41CF, {0x9C, 0x72, 0x43, 0x0F, 0x29, 0x02, 0x90, 0xC8}};

std::wstring TempFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    return std::wstring(folder, GetTempPathW(MAX_PATH, folder)) + name;
}

void Append(const std::wstring& path, const std::wstring& text) {
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written,
              nullptr);
    CloseHandle(file);
}

struct Policy final : marvolt::IPolicyConfig, IClassFactory {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IClassFactory ? static_cast<void*>(static_cast<IClassFactory*>(this))
               : iid == IID_IUnknown || iid == kInterface ? static_cast<IPolicyConfig*>(this)
                                                          : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** out) override {
        return QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
    // clang-format off
#define UNUSED(name, ...) HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return E_NOTIMPL; }
    UNUSED(GetMixFormat, PCWSTR, void**) UNUSED(GetDeviceFormat, PCWSTR, INT, void**) UNUSED(ResetDeviceFormat, PCWSTR)
    UNUSED(SetDeviceFormat, PCWSTR, void*, void*) UNUSED(GetProcessingPeriod, PCWSTR, INT, INT64*, INT64*)
    UNUSED(SetProcessingPeriod, PCWSTR, INT64*) UNUSED(GetShareMode, PCWSTR, void*) UNUSED(SetShareMode, PCWSTR, void*)
    UNUSED(GetPropertyValue, PCWSTR, const void*, void*) UNUSED(SetPropertyValue, PCWSTR, const void*, void*)
    UNUSED(SetEndpointVisibility, PCWSTR, INT)
        // clang-format on
        HRESULT STDMETHODCALLTYPE SetDefaultEndpoint(PCWSTR id, int role) override {
        Append(TempFile(L"marvolt_e2e_policy.txt"), id + (L" " + std::to_wstring(role)) + L"\n");
        return GetFileAttributesW(TempFile(L"marvolt_e2e_policy.fail").c_str()) ==
                       INVALID_FILE_ATTRIBUTES
                   ? S_OK
                   : E_ACCESSDENIED;
    }
} policy;

}  // namespace

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID id, REFIID iid, void** out) {
    *out = nullptr;
    return id == kClass ? policy.QueryInterface(iid, out) : CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }

extern "C" LRESULT CALLBACK CallWndHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call &&
        call->message == RegisterWindowMessageW(L"MarvoltE2E.ForgetIcon")) {
        NOTIFYICONDATAW icon{NOTIFYICONDATAW_V1_SIZE, call->hwnd};
        icon.uID = static_cast<UINT>(SendMessageW(call->hwnd, WM_GETICON, ICON_BIG, 0));
        Shell_NotifyIconW(NIM_DELETE, &icon);
    }
    if (code == HC_ACTION && call && call->message == WM_INITMENUPOPUP) {
        HMENU menu = reinterpret_cast<HMENU>(call->wParam);
        std::wstring content;
        for (UINT i = 0; i < static_cast<UINT>(GetMenuItemCount(menu)); ++i) {
            wchar_t text[512] = L"";
            GetMenuStringW(menu, i, text, 512, MF_BYPOSITION);
            content += (GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR ? L"-" : text) +
                       std::wstring(L"\n");
        }
        // Written under another name first, so a reader never sees half a menu.
        const std::wstring path = TempFile(L"marvolt_e2e_menu.txt");
        DeleteFileW((path + L".part").c_str());
        Append(path + L".part", content);
        MoveFileExW((path + L".part").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
