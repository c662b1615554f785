#pragma once
#include <cstdint>

namespace marvolt {

// A key with the modifiers held with it, as the system's hotkey control holds
// it. Without a key there is no hotkey.
struct Hotkey {
    std::uint8_t key = 0;        // virtual-key code
    std::uint8_t modifiers = 0;  // kHotkeyShift | kHotkeyControl | kHotkeyAlt
    bool operator==(const Hotkey& other) const { return key == other.key && modifiers == other.modifiers; }
};

// The hotkey control's own modifier bits.
constexpr std::uint8_t kHotkeyShift = 1;
constexpr std::uint8_t kHotkeyControl = 2;
constexpr std::uint8_t kHotkeyAlt = 4;

}  // namespace marvolt
