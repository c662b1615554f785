#include "platform/win32/tray_window_win32.h"

#include "platform/win32/win_text.h"

namespace marvolt {

namespace {

UINT TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

constexpr wchar_t kOwnerClassName[] = L"MarvoltTrayOwner";

bool RegisterTrayClasses(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        // The hidden owner needs nothing but the default handling. One of the
        // system's control classes would load the common controls for it.
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.lpszClassName = kOwnerClassName;
        ATOM owner = ::RegisterClassExW(&windowClass);
        windowClass.lpfnWndProc = procedure;
        windowClass.lpszClassName = TrayWindowWin32::kClassName;
        return owner != 0 && ::RegisterClassExW(&windowClass) != 0;
    }();
    return registered;
}

}  // namespace

std::unique_ptr<TrayWindowWin32> TrayWindowWin32::Create(TrayWindowEvents& events) {
    if (!RegisterTrayClasses(&TrayWindowWin32::Procedure)) return nullptr;
    TaskbarCreatedMessage();
    std::unique_ptr<TrayWindowWin32> tray(new TrayWindowWin32(events));
    // A tool window with a hidden owner, so that it gets no taskbar button while
    // the menu shows it: some shells (Wine's) only look at the owner.
    tray->owner_.reset(::CreateWindowExW(WS_EX_TOOLWINDOW, kOwnerClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                         nullptr, ::GetModuleHandleW(nullptr), nullptr));
    HWND window =
        ::CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, Wide(kTrayWindowCaption), WS_POPUP, 0, 0,
                          120, 30, tray->owner_.get(), nullptr, ::GetModuleHandleW(nullptr), tray.get());
    if (!window) return nullptr;
    tray->window_.reset(window);
    return tray;
}

TrayWindowWin32::~TrayWindowWin32() {
    // Messages sent while the window is destroyed must not reach this object.
    if (window_) ::SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
}

NativeHandle TrayWindowWin32::Handle() { return reinterpret_cast<NativeHandle>(window_.get()); }

void TrayWindowWin32::MoveOffScreen() {
    RECT rect{};
    ::GetWindowRect(window_.get(), &rect);
    HDC screen = ::GetDC(nullptr);
    int pixelsPerInch = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    int left = ::MulDiv(-30000, pixelsPerInch, 1440);  // -30000 twips
    ::SetWindowPos(window_.get(), nullptr, left, rect.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TrayWindowWin32::Show() { ::ShowWindow(window_.get(), SW_SHOW); }

void TrayWindowWin32::Hide() { ::ShowWindow(window_.get(), SW_HIDE); }

void TrayWindowWin32::SetIcon(NativeHandle icon) {
    auto handle = static_cast<LPARAM>(icon);
    ::SendMessageW(window_.get(), WM_SETICON, ICON_BIG, handle);
    ::SendMessageW(window_.get(), WM_SETICON, ICON_SMALL, handle);
}

constexpr UINT_PTR kClickTimerId = 1;

unsigned TrayWindowWin32::DoubleClickTime() { return ::GetDoubleClickTime(); }

void TrayWindowWin32::StartClickTimer(unsigned milliseconds) {
    ::SetTimer(window_.get(), kClickTimerId, milliseconds, nullptr);
}

void TrayWindowWin32::CancelClickTimer() { ::KillTimer(window_.get(), kClickTimerId); }

LRESULT CALLBACK TrayWindowWin32::Procedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TrayWindowWin32*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    // A handler may unload the tray and so destroy this object: only the events
    // reference is used from here on.
    TrayWindowEvents& events = self->events_;

    if (message == TaskbarCreatedMessage()) {
        events.OnTaskbarCreated();
        return 0;
    }
    switch (message) {
        case kTrayCallbackMessage:
            // The first form of the record reports the mouse message in lParam.
            events.OnTrayCallback(static_cast<std::uint32_t>(lParam));
            return 0;
        case WM_TIMER:
            if (wParam != kClickTimerId) return ::DefWindowProcW(window, message, wParam, lParam);
            ::KillTimer(window, kClickTimerId);
            events.OnClickTimer();
            return 0;
        case WM_CLOSE:
            // The window lives as long as the tray wants it; a close request only hides it.
            ::ShowWindow(window, SW_HIDE);
            return 0;
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

std::unique_ptr<TrayWindow> TrayWindowFactoryWin32::CreateTrayWindow(TrayWindowEvents& events) {
    return TrayWindowWin32::Create(events);
}

}  // namespace marvolt
