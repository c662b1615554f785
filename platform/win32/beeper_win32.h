#pragma once
#include "platform/beeper.h"

namespace marvolt {

class BeeperWin32 final : public Beeper {
public:
    void DefaultBeep() override;
};

}  // namespace marvolt
