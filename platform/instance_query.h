#pragma once

namespace marvolt {

// True when another instance of this program was already running when this
// one started.
class InstanceQuery {
public:
    virtual ~InstanceQuery() = default;
    virtual bool EarlierInstanceRunning() = 0;
};

}  // namespace marvolt
