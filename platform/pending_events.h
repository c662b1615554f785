#pragma once

namespace marvolt {

// Lets the queued window messages of this process run once, then returns.
class PendingEvents {
public:
    virtual ~PendingEvents() = default;
    virtual void ProcessPending() = 0;
};

}  // namespace marvolt
