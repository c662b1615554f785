#include "tray/system_tray.h"

#include <utility>

#include "platform/text.h"

namespace marvolt {

namespace {
constexpr std::uint32_t kRecordFlags = kNotifyMessage | kNotifyIcon | kNotifyTip;
}

std::u16string TrayTipField(std::u16string_view text) {
    if (text.size() >= kNotifyTipLength) return std::u16string(text.substr(0, kNotifyTipLength));
    std::u16string field(text);
    field += u'\0';
    field.resize(kNotifyTipLength, u' ');
    return field;
}

// Counts the callbacks on the stack, so that an unload from inside one keeps the
// window and the menu alive until the outermost callback has returned.
class SystemTray::CallbackScope {
public:
    explicit CallbackScope(SystemTray& tray) : tray_(tray) { ++tray_.callbackDepth_; }
    ~CallbackScope() {
        if (--tray_.callbackDepth_ == 0) tray_.retired_.clear();
    }
    CallbackScope(const CallbackScope&) = delete;
    CallbackScope& operator=(const CallbackScope&) = delete;

private:
    SystemTray& tray_;
};

SystemTray::SystemTray(TrayTarget& mainWindow, const SystemTrayServices& services)
    : mainWindow_(mainWindow), services_(services) {}

SystemTray::~SystemTray() { Unload(); }

void SystemTray::Load() {
    auto loaded = std::make_unique<Loaded>();
    loaded->window = services_.windows.CreateTrayWindow(*this);
    NativeHandle owner = loaded->window ? loaded->window->Handle() : 0;
    loaded->menu = std::make_unique<DynamicPopupMenu>(services_.menus, owner);
    loaded_ = std::move(loaded);
}

void SystemTray::AddTrayIcon(TrayTarget& iconForm, const std::u16string& toolTipText,
                             bool openMenuOnClick, TrayTarget& showFormOnClick,
                             const std::u16string& popupMenuString) {
    if (!loaded_) Load();
    if (!popupMenuString.empty()) menuString_ = popupMenuString;
    openMenuOnClick_ = openMenuOnClick;
    target_ = &showFormOnClick;
    recordedGeometry_ = showFormOnClick.Geometry();

    NativeHandle icon = iconForm.IconHandle();
    if (loaded_->window) loaded_->window->SetIcon(icon);
    record_.cbSize = kNotifyFirstFormSize;
    record_.hWnd = loaded_->window ? loaded_->window->Handle() : 0;
    // The icon handle doubles as the icon's id. While an icon is shown its id is
    // kept, so that the shown icon is changed instead of a second one put beside
    // one whose picture ChangeIcon replaced.
    if (!iconShown_) record_.uID = static_cast<std::uint32_t>(icon);
    record_.uFlags = kRecordFlags;
    record_.uCallbackMessage = kTrayCallbackMessage;
    record_.hIcon = icon;
    record_.szTip = TrayTipField(toolTipText);
    // An icon on show is changed in place: the shell refuses an add for an icon
    // it has, and the tip would keep its old text. One the shell does not have
    // (it refused it, or its notification area is new) is added.
    if (!iconShown_ || !services_.shell.NotifyIcon(NotifyAction::Modify, record_))
        services_.shell.NotifyIcon(NotifyAction::Add, record_);
    // Also when the shell refused: a notification area that appears later asks
    // for the icon with "TaskbarCreated".
    iconShown_ = true;
}

void SystemTray::RemoveTrayIcon() {
    if (!loaded_) return;
    services_.shell.NotifyIcon(NotifyAction::Delete, record_);
    iconShown_ = false;
}

void SystemTray::ChangeToolTipText(const std::u16string& toolTipText) {
    if (!loaded_) return;
    record_.szTip = TrayTipField(TrimLeft(toolTipText));
    services_.shell.NotifyIcon(NotifyAction::Modify, record_);
}

void SystemTray::ChangePopupMenuString(const std::u16string& popupMenuString) {
    menuString_ = popupMenuString;
}

// The second form of the record, for this one change only: the icon keeps the
// first form the shell knows it by.
void SystemTray::ShowNotification(const std::u16string& title, const std::u16string& text) {
    if (!loaded_ || !iconShown_) return;
    NotifyIconRecord notification = record_;
    notification.cbSize = kNotifySecondFormSize;
    notification.uFlags = kNotifyInfo;
    notification.szInfo = text;
    notification.szInfoTitle = title;
    // Short: the shell keeps it for its least time. The switch beeps already.
    notification.uTimeout = 3000;
    notification.dwInfoFlags = kNotifyInfoNoSound;
    services_.shell.NotifyIcon(NotifyAction::Modify, notification);
}

void SystemTray::ChangeIcon(TrayTarget& iconForm) { ReplaceIcon(iconForm.IconHandle()); }

void SystemTray::ChangeIcon_Picture(NativeHandle picture) { ReplaceIcon(picture); }

// The picture changes in place: the id stays the one the shell knows, so the
// icon is modified rather than lost.
void SystemTray::ReplaceIcon(NativeHandle icon) {
    if (!loaded_) return;
    if (loaded_->window) loaded_->window->SetIcon(icon);
    record_.cbSize = kNotifyFirstFormSize;
    record_.uFlags = kRecordFlags;
    record_.hIcon = icon;
    if (!iconShown_) record_.uID = static_cast<std::uint32_t>(icon);
    services_.shell.NotifyIcon(NotifyAction::Modify, record_);
}

void SystemTray::Unload() {
    if (!loaded_) return;
    services_.shell.NotifyIcon(NotifyAction::Delete, record_);
    std::unique_ptr<Loaded> old = std::move(loaded_);
    menuString_.clear();
    openMenuOnClick_ = false;
    target_ = nullptr;
    recordedGeometry_ = {};
    record_ = {};
    iconShown_ = false;
    if (callbackDepth_ > 0) {
        // A callback of this window, or the menu it shows, is still running.
        if (old->window) old->window->Hide();
        retired_.push_back(std::move(old));
    }
}

DynamicPopupMenu* SystemTray::DynamicTrayPopupMenu() {
    return loaded_ ? loaded_->menu.get() : nullptr;
}

NativeHandle SystemTray::WindowHandle() const {
    return loaded_ && loaded_->window ? loaded_->window->Handle() : 0;
}

void SystemTray::OnTrayCallback(std::uint32_t eventCode) {
    // Reports that arrive while the menu is open (its loop dispatches them) or
    // for a window already unloaded are dropped.
    if (menuOpen_ || !loaded_) return;
    CallbackScope scope(*this);
    TrayWindow* window = loaded_->window.get();
    bool rightUp = eventCode == kTrayRightUp;
    bool leftUp = eventCode == kTrayLeftUp;
    bool doubleClick = eventCode == kTrayLeftDoubleClick;
    // Read once: the menu's callee may add the icon again with another setting.
    bool openMenuOnClick = openMenuOnClick_;
    if (doubleClick && window) window->CancelClickTimer();
    if (leftUp && openMenuOnClick && window) {
        // The release may be the first half of a double click, which restores
        // the window instead; the menu opens once the double-click time has
        // passed without one. An open menu would swallow the second click.
        window->StartClickTimer(window->DoubleClickTime());
        return;
    }
    if (rightUp && openMenuOnClick) {
        if (window) window->CancelClickTimer();
        RunMenu();
    } else if ((leftUp && !openMenuOnClick) || doubleClick) {
        Restore(openMenuOnClick);
    }
}

void SystemTray::OnClickTimer() {
    if (menuOpen_ || !loaded_) return;
    CallbackScope scope(*this);
    if (openMenuOnClick_) RunMenu();
}

// The shell's notification area was created again (Explorer restarted, or it
// started after us) and has no icons: a shown icon comes back with its tip.
void SystemTray::OnTaskbarCreated() {
    if (loaded_ && iconShown_) services_.shell.NotifyIcon(NotifyAction::Add, record_);
}

void SystemTray::RunMenu() {
    // Both stay alive until the callback returns, even if the callee unloads.
    TrayWindow* window = loaded_->window.get();
    DynamicPopupMenu* menu = loaded_->menu.get();
    if (window) {
        window->MoveOffScreen();
        window->Show();
    }
    menuOpen_ = true;
    std::u16string chosen = menu->Popup(menuString_);
    menuOpen_ = false;
    // target_ is gone when the tray was unloaded while the menu was open.
    if (!chosen.empty() && target_) target_->OnTrayMenu(chosen);
    if (window) window->Hide();
}

void SystemTray::Restore(bool openMenuOnClick) {
    TrayTarget* target = target_;
    if (!target) return;
    WindowGeometry geometry = recordedGeometry_;
    bool hasGeometry = geometry.width > 0 && geometry.height > 0;
    if (openMenuOnClick) {
        target->SetWindowStateNormal();
        if (hasGeometry) target->SetGeometry(geometry);
        target->SetVisible(true);
        services_.pending.ProcessPending();
        services_.activation.ActivateByTitle(target->Caption());
    } else {
        target->SetVisible(true);
        services_.pending.ProcessPending();
        services_.activation.ActivateByTitle(target->Caption());
        mainWindow_.SetVisible(true);
        mainWindow_.SetWindowStateNormal();
        target->SetWindowStateNormal();
        if (hasGeometry) target->SetGeometry(geometry);
    }
    Unload();
}

}  // namespace marvolt
