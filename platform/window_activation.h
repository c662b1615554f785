#pragma once
#include <string>

#include "platform/native_handle.h"

namespace marvolt {

// Brings a top-level window to the foreground: the one with exactly this title,
// or else one whose title begins with it; or the one given by its handle.
// False when there is none.
class WindowActivation {
public:
    virtual ~WindowActivation() = default;
    virtual bool ActivateByTitle(const std::u16string& title) = 0;
    virtual bool Activate(NativeHandle window) = 0;
};

}  // namespace marvolt
