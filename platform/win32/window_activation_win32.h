#pragma once
#include "platform/window_activation.h"

namespace marvolt {

// Finds the window by its title (exact first, then by prefix; visible windows
// before hidden ones) or takes the one given, shows or restores it and makes it
// the foreground window, also when the foreground belongs to another process.
class Win32WindowActivation : public WindowActivation {
public:
    bool ActivateByTitle(const std::u16string& title) override;
    bool Activate(NativeHandle window) override;
};

}  // namespace marvolt
