#pragma once
#include <string>

namespace marvolt {

// Delivers a key sequence (in the notation of platform/key_sequence.h) to the
// active window without waiting for it.
class Keystrokes {
public:
    virtual ~Keystrokes() = default;
    virtual void SendKeys(const std::u16string& keys) = 0;
};

}  // namespace marvolt
