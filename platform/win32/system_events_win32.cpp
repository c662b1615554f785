#include "platform/win32/system_events_win32.h"

#include <objbase.h>

#include <algorithm>

#include "platform/win32/audio_endpoints_win32.h"
#include "platform/win32/window_proc.h"

namespace marvolt {

namespace {

const IID kUnknownInterface = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kNotificationClientInterface = {0x7991EEC9, 0x7E89, 0x4D85, {0x83, 0x90, 0x6C, 0x70, 0x3C, 0xEC, 0x60, 0xC0}};

constexpr UINT kDevicesChanged = WM_APP + 1;
constexpr UINT kDefaultChanged = WM_APP + 2;
constexpr int kHotkeyId = 1;
constexpr UINT_PTR kTimerId = 1;
constexpr UINT_PTR kListenTimerId = 2;
constexpr WPARAM kNodesChanged = 0x0007;     // DBT_DEVNODES_CHANGED
constexpr WPARAM kArrival = 0x8000;          // DBT_DEVICEARRIVAL
constexpr WPARAM kRemoveComplete = 0x8004;   // DBT_DEVICEREMOVECOMPLETE

bool RegisterEventsClass(WNDPROC procedure) {
    static const ATOM atom = [procedure] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = SystemEventsWin32::kClassName;
        return RegisterClassExW(&windowClass);
    }();
    return atom != 0;
}

}  // namespace

// Called on whatever thread the system picks: it only posts to the window.
class EndpointClient final : public IMMNotificationClient {
public:
    explicit EndpointClient(HWND target) : target_(target) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (!IsEqualIID(id, kUnknownInterface) && !IsEqualIID(id, kNotificationClientInterface)) return E_NOINTERFACE;
        *object = static_cast<IMMNotificationClient*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return Post(kDevicesChanged); }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return Post(kDevicesChanged); }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return Post(kDevicesChanged); }
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow, ERole, LPCWSTR) override {
        return Post(kDefaultChanged);
    }
    // Volume and format changes among them: nothing the program shows.
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override { return S_OK; }

private:
    HRESULT Post(UINT message) {
        PostMessageW(target_, message, 0, 0);
        return S_OK;
    }

    HWND target_;
    LONG references_ = 1;
};

SystemEventsWin32::~SystemEventsWin32() {
    // The system holds the client without a reference: it is taken back first.
    if (enumerator_ && client_) enumerator_.get()->UnregisterEndpointNotificationCallback(client_.get());
    enumerator_.reset();
    client_.reset();
    if (comInitialized_)
        if (auto uninitialize = ole32_.Find<decltype(&::CoUninitialize)>("CoUninitialize")) uninitialize();
    if (window_) {
        for (int slot = 0; slot < hotkeySlots_; ++slot) UnregisterHotKey(window_.get(), kHotkeyId + slot);
        SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
    }
}

void SystemEventsWin32::Listen(SystemEventsListener& listener) {
    listener_ = &listener;
    if (!window_ && RegisterEventsClass(&SystemEventsWin32::Procedure)) {
        // No caption: a second start looks for the running one by its title.
        window_.reset(CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
        if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    // COM and the endpoint enumerator cost a start tens of milliseconds: they
    // come once the program is up and its queue has run empty, which is when
    // a timer's message is taken. WM_DEVICECHANGE reaches the window at once.
    if (window_ && !enumerator_) SetTimer(window_.get(), kListenTimerId, USER_TIMER_MINIMUM, nullptr);
}

// Where the system has no endpoint audio (before Vista) the enumerator is
// missing, and WM_DEVICECHANGE alone tells of devices.
void SystemEventsWin32::ListenToEndpoints() {
    if (enumerator_) return;
    auto initialize = ole32_.Find<decltype(&::CoInitializeEx)>("CoInitializeEx");
    auto create = ole32_.Find<decltype(&::CoCreateInstance)>("CoCreateInstance");
    if (!initialize || !create) return;
    HRESULT init = initialize(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(init))
        comInitialized_ = true;
    else if (init != RPC_E_CHANGED_MODE)
        return;
    if (FAILED(create(kDeviceEnumeratorClass, nullptr, CLSCTX_INPROC_SERVER, kDeviceEnumeratorInterface,
                      reinterpret_cast<void**>(enumerator_.put()))))
        return;
    client_.reset(new EndpointClient(window_.get()));
    if (FAILED(enumerator_.get()->RegisterEndpointNotificationCallback(client_.get()))) enumerator_.reset();
}

// A held hotkey repeats: MOD_NOREPEAT (Windows 7 and later) makes it one
// press; Vista refuses the flag, and takes the hotkey without it.
HotkeyState SystemEventsWin32::SetHotkey(int slot, const Hotkey& hotkey) {
    // A slot that holds nothing is let go all the same: the call only fails.
    UnregisterHotKey(window_.get(), kHotkeyId + slot);
    if (hotkey.key == 0) return HotkeyState::Registered;
    if (!window_) return HotkeyState::Refused;
    UINT modifiers = ((hotkey.modifiers & kHotkeyAlt) ? MOD_ALT : 0) |
                     ((hotkey.modifiers & kHotkeyControl) ? MOD_CONTROL : 0) |
                     ((hotkey.modifiers & kHotkeyShift) ? MOD_SHIFT : 0);
    const int id = kHotkeyId + slot;
    bool registered = RegisterHotKey(window_.get(), id, modifiers | MOD_NOREPEAT, hotkey.key) != FALSE;
    if (!registered && GetLastError() != ERROR_HOTKEY_ALREADY_REGISTERED)
        registered = RegisterHotKey(window_.get(), id, modifiers, hotkey.key) != FALSE;
    if (registered) return hotkeySlots_ = std::max(hotkeySlots_, slot + 1), HotkeyState::Registered;
    return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED ? HotkeyState::Taken : HotkeyState::Refused;
}

std::uint32_t SystemEventsWin32::Ticks() { return GetTickCount(); }

void SystemEventsWin32::StartTimer(std::uint32_t milliseconds) {
    if (window_) SetTimer(window_.get(), kTimerId, milliseconds, nullptr);
}

LRESULT CALLBACK SystemEventsWin32::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return OwnerWindowProc<SystemEventsWin32, &SystemEventsWin32::HandleMessage>(window, message, wParam, lParam);
}

LRESULT SystemEventsWin32::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_.get();
    if (!listener_) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_HOTKEY:
            // An application's hotkey ids run to 0xBFFF.
            if (wParam >= kHotkeyId && wParam <= 0xBFFF) listener_->OnHotkey(static_cast<int>(wParam) - kHotkeyId);
            return 0;
        case WM_DEVICECHANGE:
            if (wParam == kNodesChanged || wParam == kArrival || wParam == kRemoveComplete)
                listener_->OnDevicesChanged();
            return TRUE;
        case kDevicesChanged:
            listener_->OnDevicesChanged();
            return 0;
        case kDefaultChanged:
            listener_->OnDefaultDeviceChanged();
            return 0;
        case WM_TIMER:
            if (wParam == kListenTimerId) {
                KillTimer(window, kListenTimerId);
                ListenToEndpoints();
                return 0;
            }
            if (wParam != kTimerId) break;
            KillTimer(window, kTimerId);
            listener_->OnTimer();
            return 0;
        case WM_CLOSE:
            return 0;  // lives as long as its owner
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace marvolt
