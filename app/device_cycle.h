#pragma once
// The hotkey that cycles the devices: how it is stored, which row it goes to
// next, and how often the device list follows the system's changes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/hotkey.h"

namespace marvolt {

constexpr Hotkey kDefaultCycleHotkey{0x7B, kHotkeyControl | kHotkeyAlt};  // Ctrl+Alt+F12

// As stored: "Ctrl+Alt+F12", "Shift+Space", "Alt+0xBA": the modifiers, then the
// key as a letter, a digit, F1 to F24, one of a few names, or else its code as
// "0x" and two hex digits; "none" without a key.
std::u16string HotkeyText(const Hotkey& hotkey);
// The hotkey a text names, in any letter case and with blanks around the parts;
// nothing when the text is not one.
std::optional<Hotkey> ParseHotkey(const std::u16string& text);

struct CycleRow {
    std::u16string name;  // trimmed
    bool ticked;          // in the "Cycle through" list
    bool present;         // the system still lists the device
};

// The row the hotkey makes the default after `current`: the next row below the
// current device's row, wrapping around, that is present, ticked (every row
// counts as ticked when none is) and of another name than the current device.
// When only rows of the current name qualify, the first of them; -1 when none does.
int NextCycleRow(const std::vector<CycleRow>& rows, const std::u16string& current);

// Paces the reloads that device notifications ask for: a burst of them gives
// one reload, a little after the first, and reloads are at least a second apart.
class ChangePacer {
public:
    static constexpr std::uint32_t kSettle = 250;
    static constexpr std::uint32_t kInterval = 1000;

    // A change at `now`: how long to wait before the reload, or nothing when a
    // reload is already waiting (it will see this change too).
    std::optional<std::uint32_t> OnChange(std::uint32_t now);
    // The wait has passed and the reload runs at `now`.
    void OnReload(std::uint32_t now);

private:
    bool waiting_ = false;
    std::uint32_t waitStart_ = 0;
    bool reloaded_ = false;
    std::uint32_t lastReload_ = 0;
};

}  // namespace marvolt
