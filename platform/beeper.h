#pragma once

namespace marvolt {

class Beeper {
public:
    virtual ~Beeper() = default;
    virtual void DefaultBeep() = 0;
};

}  // namespace marvolt
