#pragma once
// The settings window's hotkey box and "Cycle through" list: the common
// controls' hotkey control and a list view with a box on every row.
#include <windows.h>

#include <utility>
#include <vector>

#include "platform/ui.h"
#include "windows/ui_controls_win32.h"

namespace marvolt {

class HotkeyWin32 final : public HotkeyControl, public ControlWin32 {
public:
    Hotkey Value() override;
    void SetValue(const Hotkey& hotkey) override;
    // True, once, when the user made a new hotkey or cleared the box, after
    // `message` (a key message, or 0 for the box's own change notification).
    bool TakeChange(UINT message, WPARAM key);
    HWND Hwnd() const { return window_; }

private:
    // Lets no key count as a hotkey alone or with Shift only: Ctrl+Alt is added.
    void HandOver() override;
    Hotkey value_{};
    WORD seen_ = 0;
};

class CheckListWin32 final : public CheckListControl, public ControlWin32 {
public:
    // The column as wide as the list, after a change of size.
    void FitColumn();
    void Clear() override;
    void AddItem(const std::u16string& text, bool ticked) override;
    int Count() override;
    bool Ticked(int index) override;
    // While the list is filled, its changes are not the user's clicks.
    bool Filling() const { return filling_; }

private:
    // Gives the list its boxes, its one column and the rows kept so far.
    void HandOver() override;
    std::vector<std::pair<std::u16string, bool>> rows_;
    bool filling_ = false;
};

}  // namespace marvolt
