#pragma once
#include <windows.h>

#include <memory>

#include "platform/tray_window.h"
#include "platform/win32/unique_handle.h"

namespace marvolt {

class TrayWindowWin32 : public TrayWindow {
public:
    static constexpr wchar_t kClassName[] = L"MarvoltTrayWindow";

    // Null when the window cannot be created.
    static std::unique_ptr<TrayWindowWin32> Create(TrayWindowEvents& events);
    ~TrayWindowWin32() override;

    NativeHandle Handle() override;
    void MoveOffScreen() override;
    void Show() override;
    void Hide() override;
    void SetIcon(NativeHandle icon) override;
    unsigned DoubleClickTime() override;
    void StartClickTimer(unsigned milliseconds) override;
    void CancelClickTimer() override;

private:
    explicit TrayWindowWin32(TrayWindowEvents& events) : events_(events) {}
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    TrayWindowEvents& events_;
    UniqueHwnd owner_;  // declared first: destroyed after the window it owns
    UniqueHwnd window_;
};

class TrayWindowFactoryWin32 : public TrayWindowFactory {
public:
    std::unique_ptr<TrayWindow> CreateTrayWindow(TrayWindowEvents& events) override;
};

}  // namespace marvolt
