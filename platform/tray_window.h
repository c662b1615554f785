#pragma once
// The hidden top-level window that owns the tray icon. It is a real window, not a
// message-only one, because the popup menu needs it as an owner that can become
// the foreground window.
#include <cstdint>
#include <memory>

#include "platform/native_handle.h"

namespace marvolt {

// The window's caption. It must not begin with the program's name: a second
// instance finds the running one by a title prefix.
constexpr char16_t kTrayWindowCaption[] = u"SystemTray";

// The callback message named in the notification record: the window's own
// WM_MOUSEMOVE, with the mouse event's message number where a mouse move
// carries its position.
constexpr std::uint32_t kTrayCallbackMessage = 0x200;

class TrayWindowEvents {
public:
    virtual ~TrayWindowEvents() = default;
    // A callback message from the shell; eventCode is the mouse message number.
    virtual void OnTrayCallback(std::uint32_t eventCode) = 0;
    // The registered "TaskbarCreated" message: the shell's notification area was
    // (re)created and has forgotten every icon.
    virtual void OnTaskbarCreated() = 0;
    // The wait started by StartClickTimer has passed.
    virtual void OnClickTimer() = 0;
};

class TrayWindow {
public:
    // Destroys the window.
    virtual ~TrayWindow() = default;
    virtual NativeHandle Handle() = 0;
    // To the left edge -30000 twips, off every screen; top and size stay.
    virtual void MoveOffScreen() = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void SetIcon(NativeHandle icon) = 0;  // WM_SETICON; the window does not own it
    // The system's double-click time, in milliseconds.
    virtual unsigned DoubleClickTime() = 0;
    // One OnClickTimer after `milliseconds`; a new start or a cancel replaces it.
    virtual void StartClickTimer(unsigned milliseconds) = 0;
    virtual void CancelClickTimer() = 0;
};

class TrayWindowFactory {
public:
    virtual ~TrayWindowFactory() = default;
    // A new hidden window that reports to `events`; null when it cannot be made.
    virtual std::unique_ptr<TrayWindow> CreateTrayWindow(TrayWindowEvents& events) = 0;
};

}  // namespace marvolt
