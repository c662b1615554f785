#pragma once
#include "platform/keystrokes.h"

namespace marvolt {

// Types a key sequence (see platform/key_sequence.h) into the active window
// through SendInput.
class Win32Keystrokes : public Keystrokes {
public:
    void SendKeys(const std::u16string& keys) override;
};

}  // namespace marvolt
