#pragma once
#include "platform/pending_events.h"

namespace marvolt {

class Win32PendingEvents : public PendingEvents {
public:
    void ProcessPending() override;
};

}  // namespace marvolt
