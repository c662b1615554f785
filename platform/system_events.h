#pragma once
// What the system tells the program unasked: a global hotkey pressed, sound
// devices that came, went or changed, a default device changed by someone else;
// and a timer to pace the answers to them.
#include <cstdint>

#include "platform/hotkey.h"

namespace marvolt {

class SystemEventsListener {
public:
    virtual ~SystemEventsListener() = default;
    // The hotkey set under that slot was pressed.
    virtual void OnHotkey(int slot) = 0;
    // A device came, went or changed its state.
    virtual void OnDevicesChanged() = 0;
    // The default playback or recording endpoint changed.
    virtual void OnDefaultDeviceChanged() = 0;
    // The wait started by StartTimer has passed.
    virtual void OnTimer() = 0;
};

enum class HotkeyState { Registered, Taken, Refused };

class SystemEvents {
public:
    virtual ~SystemEvents() = default;
    // Starts reporting to `listener`: device changes at once, the hotkey once set.
    virtual void Listen(SystemEventsListener& listener) = 0;
    // Replaces the hotkey of a slot (0 and up); one without a key only removes
    // the old one (Registered).
    virtual HotkeyState SetHotkey(int slot, const Hotkey& hotkey) = 0;
    // Milliseconds since some start; they wrap around.
    virtual std::uint32_t Ticks() = 0;
    // One OnTimer after `milliseconds`; a new start replaces the wait.
    virtual void StartTimer(std::uint32_t milliseconds) = 0;
};

}  // namespace marvolt
