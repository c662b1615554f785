#pragma once
// What the main window asks of the notification-area icon.
#include <string>

#include "tray/tray_target.h"

namespace marvolt {

class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    // An empty popupMenuString keeps the menu string stored before.
    virtual void AddTrayIcon(TrayTarget& iconForm, const std::u16string& toolTipText,
                             bool openMenuOnClick, TrayTarget& showFormOnClick,
                             const std::u16string& popupMenuString) = 0;
    virtual void RemoveTrayIcon() = 0;
    virtual void ChangeToolTipText(const std::u16string& toolTipText) = 0;
    virtual void ChangePopupMenuString(const std::u16string& popupMenuString) = 0;
    // A short notification beside the icon; nothing while no icon shows.
    virtual void ShowNotification(const std::u16string& title, const std::u16string& text) = 0;
    // Removes the icon and destroys the hidden tray window; the next AddTrayIcon creates it again.
    virtual void Unload() = 0;
};

}  // namespace marvolt
