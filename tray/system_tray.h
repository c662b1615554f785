#pragma once
// The notification-area icon: a hidden window named in the shell's notification
// record, the record itself, the menu string and the popup menu control. Mouse
// reports from the shell open the menu (and pass the chosen text to the target
// window) or restore the target window.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/menu_api.h"
#include "platform/pending_events.h"
#include "platform/shell_notify.h"
#include "platform/tray_window.h"
#include "platform/window_activation.h"
#include "popup_menu/dynamic_popup_menu.h"
#include "tray/tray_icon.h"
#include "tray/tray_target.h"

namespace marvolt {

struct SystemTrayServices {
    ShellNotify& shell;
    TrayWindowFactory& windows;
    MenuApi& menus;
    PendingEvents& pending;
    WindowActivation& activation;
};

// Mouse messages as the shell reports them in the callback.
constexpr std::uint32_t kTrayLeftUp = 0x202;
constexpr std::uint32_t kTrayLeftDoubleClick = 0x203;
constexpr std::uint32_t kTrayRightUp = 0x205;

// The tip field: the text and a NUL, padded with blanks to 64 characters; a text
// of 64 characters or more is cut to 64 and has no NUL.
std::u16string TrayTipField(std::u16string_view text);

class SystemTray : public TrayIcon, public TrayWindowEvents {
public:
    // mainWindow is made visible by a restore when the menu is not opened by clicks.
    SystemTray(TrayTarget& mainWindow, const SystemTrayServices& services);
    ~SystemTray() override;
    SystemTray(const SystemTray&) = delete;
    SystemTray& operator=(const SystemTray&) = delete;

    void AddTrayIcon(TrayTarget& iconForm, const std::u16string& toolTipText, bool openMenuOnClick,
                     TrayTarget& showFormOnClick, const std::u16string& popupMenuString) override;
    void RemoveTrayIcon() override;
    void ChangeToolTipText(const std::u16string& toolTipText) override;
    void ChangePopupMenuString(const std::u16string& popupMenuString) override;
    void ShowNotification(const std::u16string& title, const std::u16string& text) override;
    void Unload() override;
    void ChangeIcon(TrayTarget& iconForm);
    void ChangeIcon_Picture(NativeHandle picture);

    // Null, and 0, while the tray window is not loaded.
    DynamicPopupMenu* DynamicTrayPopupMenu();
    NativeHandle WindowHandle() const;

    void OnTrayCallback(std::uint32_t eventCode) override;
    void OnTaskbarCreated() override;
    void OnClickTimer() override;

private:
    struct Loaded {
        std::unique_ptr<TrayWindow> window;
        std::unique_ptr<DynamicPopupMenu> menu;
    };
    class CallbackScope;

    void Load();
    void ReplaceIcon(NativeHandle icon);
    void RunMenu();
    void Restore(bool openMenuOnClick);

    TrayTarget& mainWindow_;
    SystemTrayServices services_;
    std::unique_ptr<Loaded> loaded_;
    // Unloaded while a callback was on the stack: kept until it returns.
    std::vector<std::unique_ptr<Loaded>> retired_;
    int callbackDepth_ = 0;
    bool menuOpen_ = false;

    std::u16string menuString_;
    bool openMenuOnClick_ = false;
    TrayTarget* target_ = nullptr;
    WindowGeometry recordedGeometry_;
    NotifyIconRecord record_;
    bool iconShown_ = false;  // added and not removed since
};

}  // namespace marvolt
