#pragma once
#include <string>

namespace marvolt {

// Brings the top-level window with exactly this title, or else one whose title
// begins with it, to the foreground. False when there is none.
class WindowActivation {
public:
    virtual ~WindowActivation() = default;
    virtual bool ActivateByTitle(const std::u16string& title) = 0;
};

}  // namespace marvolt
