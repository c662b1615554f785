#include "platform/win32/url_download_win32.h"

#include <windows.h>
#include <objbase.h>
#include <urlmon.h>

#include "platform/win32/win_text.h"

namespace marvolt {

namespace {

using DownloadFunction = HRESULT(WINAPI*)(IUnknown*, const wchar_t*, const wchar_t*, DWORD, IBindStatusCallback*);
using DeleteEntryFunction = BOOL(WINAPI*)(const wchar_t*);
using ComInitFunction = HRESULT(WINAPI*)(void*, DWORD);

void* Function(const wchar_t* library, const char* name) {
    HMODULE module = ::GetModuleHandleW(library);
    if (!module) module = ::LoadLibraryW(library);
    return module ? reinterpret_cast<void*>(::GetProcAddress(module, name)) : nullptr;
}

// Asks for the newest version past every cache and reports progress; the
// callback lives on the caller's stack for the one blocking download.
class BindCallback : public IBindStatusCallback {
public:
    explicit BindCallback(DownloadProgress* progress) : progress_(progress) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IBindStatusCallback) {
            *object = static_cast<IBindStatusCallback*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetPriority(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG done, ULONG total, ULONG, LPCWSTR) override {
        return progress_ && !progress_->OnProgress(done, total) ? E_ABORT : S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* flags, BINDINFO*) override {
        *flags |= BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE | BINDF_PRAGMA_NO_CACHE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

private:
    DownloadProgress* progress_;
};

}  // namespace

std::int32_t DownloadUrlToFile(const std::u16string& url, const std::u16string& file, DownloadProgress* progress) {
    auto download = reinterpret_cast<DownloadFunction>(Function(L"urlmon.dll", "URLDownloadToFileW"));
    if (!download) return static_cast<std::int32_t>(HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND));
    // urlmon needs COM on this thread; ole32 comes with urlmon anyway.
    if (auto init = reinterpret_cast<ComInitFunction>(Function(L"ole32.dll", "CoInitializeEx")))
        init(nullptr, COINIT_APARTMENTTHREADED);
    BindCallback callback(progress);
    return static_cast<std::int32_t>(download(nullptr, Wide(url), Wide(file), 0, &callback));
}

// Only this address's own entry goes: the rest of the user's cache, other
// programs' offline and pinned content included, is left alone.
void ForgetCachedUrl(const std::u16string& url) {
    if (auto remove = reinterpret_cast<DeleteEntryFunction>(Function(L"wininet.dll", "DeleteUrlCacheEntryW")))
        remove(Wide(url));
}

}  // namespace marvolt
