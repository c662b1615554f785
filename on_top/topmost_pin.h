#pragma once

namespace marvolt {

// What a window asks of its always-on-top pin.
class TopmostPin {
public:
    virtual ~TopmostPin() = default;
    virtual bool GetIsOnTop() = 0;
    // recordAgain: record the state a second time, as the optional argument True does.
    virtual void SetToTop(bool recordAgain = false) = 0;
    virtual void SetToNormal(bool recordAgain = false) = 0;
};

}  // namespace marvolt
