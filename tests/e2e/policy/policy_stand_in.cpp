// Stands in for the system's audio policy class in the end-to-end tests, which
// register it in the test prefix: every SetDefaultEndpoint call is appended to
// marvolt_e2e_policy.txt in the temporary folder as "<endpoint id> <role>"
// (UTF-8), and refused while marvolt_e2e_policy.fail exists there.
#include "platform/win32/audio_endpoints_win32.h"

#include <string>

namespace {

const CLSID kClass = {0x870AF99C, 0x171D, 0x4F9E, {0xAF, 0x0D, 0xE6, 0x3D, 0xF4, 0x0C, 0x2B, 0xC9}};
const IID kInterface = {0xF8679F50, 0x850A, 0x41CF, {0x9C, 0x72, 0x43, 0x0F, 0x29, 0x02, 0x90, 0xC8}};

std::wstring TempFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

struct Policy final : marvolt::IPolicyConfig {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == kInterface ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
#define UNUSED(name, ...) \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return E_NOTIMPL; }
    UNUSED(GetMixFormat, PCWSTR, void**) UNUSED(GetDeviceFormat, PCWSTR, INT, void**)
    UNUSED(ResetDeviceFormat, PCWSTR) UNUSED(SetDeviceFormat, PCWSTR, void*, void*)
    UNUSED(GetProcessingPeriod, PCWSTR, INT, INT64*, INT64*) UNUSED(SetProcessingPeriod, PCWSTR, INT64*)
    UNUSED(GetShareMode, PCWSTR, void*) UNUSED(SetShareMode, PCWSTR, void*)
    UNUSED(GetPropertyValue, PCWSTR, const void*, void*) UNUSED(SetPropertyValue, PCWSTR, const void*, void*)
    UNUSED(SetEndpointVisibility, PCWSTR, INT)
    HRESULT STDMETHODCALLTYPE SetDefaultEndpoint(PCWSTR id, int role) override {
        char line[1024];
        int length = WideCharToMultiByte(CP_UTF8, 0, id, -1, line, 1000, nullptr, nullptr);
        length = length > 0 ? length - 1 : 0;
        length += wsprintfA(line + length, " %d\n", role);
        HANDLE file = CreateFileW(TempFile(L"marvolt_e2e_policy.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
        CloseHandle(file);
        return GetFileAttributesW(TempFile(L"marvolt_e2e_policy.fail").c_str()) == INVALID_FILE_ATTRIBUTES ? S_OK
                                                                                                         : E_ACCESSDENIED;
    }
} policy;

struct Factory final : IClassFactory {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** out) override {
        return policy.QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
} factory;

}  // namespace

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID id, REFIID iid, void** out) {
    if (id != kClass) return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(iid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }
