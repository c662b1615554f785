#pragma once
// Doubles for the notification-area icon: a shell that keeps the icons it shows
// (refusing a second add and a change of an icon it does not have), hidden tray
// windows, and a target window.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/fakes/simple_fakes.h"
#include "platform/shell_notify.h"
#include "platform/tray_window.h"
#include "tray/tray_target.h"

namespace marvolt {

class FakeShellNotify : public ShellNotify {
public:
    explicit FakeShellNotify(CallLog* log = nullptr) : log_(log) {}
    bool NotifyIcon(NotifyAction action, const NotifyIconRecord& record) override;

    struct Call {
        NotifyAction action;
        NotifyIconRecord record;
        bool accepted;
    };
    std::vector<Call> calls;
    // The icons on show, by (hWnd, uID).
    std::map<std::pair<NativeHandle, std::uint32_t>, NotifyIconRecord> icons;
    bool available = true;  // false: no notification area, every call refused

private:
    CallLog* log_;
};

class FakeTrayWindowFactory;

class FakeTrayWindow : public TrayWindow {
public:
    FakeTrayWindow(FakeTrayWindowFactory& factory, TrayWindowEvents& events, NativeHandle handle);
    ~FakeTrayWindow() override;
    NativeHandle Handle() override { return handle_; }
    void MoveOffScreen() override;
    void Show() override;
    void Hide() override;
    void SetIcon(NativeHandle icon) override;
    unsigned DoubleClickTime() override { return doubleClickTime; }
    void StartClickTimer(unsigned milliseconds) override;
    void CancelClickTimer() override;
    // Lets the running click timer expire, as the system would.
    void ExpireClickTimer();

    TrayWindowEvents& events;
    unsigned doubleClickTime = 500;
    unsigned clickTimer = 0;  // milliseconds of the running timer, 0 when none
    bool visible = false;
    bool offScreen = false;
    NativeHandle icon = 0;

private:
    FakeTrayWindowFactory& factory_;
    NativeHandle handle_;
};

class FakeTrayWindowFactory : public TrayWindowFactory {
public:
    explicit FakeTrayWindowFactory(CallLog* log = nullptr) : log(log) {}
    std::unique_ptr<TrayWindow> CreateTrayWindow(TrayWindowEvents& events) override;
    // The one window that exists, or null.
    FakeTrayWindow* Only() const;

    std::map<NativeHandle, FakeTrayWindow*> live;
    int created = 0;
    bool fail = false;
    CallLog* log;
};

class FakeTrayTarget : public TrayTarget {
public:
    explicit FakeTrayTarget(std::string name, CallLog* log = nullptr)
        : name_(std::move(name)), log_(log) {}
    void OnTrayMenu(const std::u16string& selected) override;
    NativeHandle IconHandle() override { return icon; }
    std::u16string Caption() override { return caption; }
    void SetVisible(bool visible) override;
    void SetWindowStateNormal() override;
    WindowGeometry Geometry() override { return geometry; }
    void SetGeometry(const WindowGeometry& geometry) override;

    NativeHandle icon = 0x1234;
    std::u16string caption = u"Marvolt 1.01";
    bool visible = false;
    bool normal = false;
    WindowGeometry geometry{100, 80, 400, 300};
    std::vector<std::u16string> chosen;
    std::function<void(const std::u16string&)> onTrayMenu;  // runs after recording

private:
    std::string name_;
    CallLog* log_;
};

}  // namespace marvolt
