#pragma once
#include <cstdint>

namespace marvolt {

// True when another instance of this program was already running when this
// one started.
class InstanceQuery {
public:
    virtual ~InstanceQuery() = default;
    virtual bool EarlierInstanceRunning() = 0;
    // The process id of that earlier instance; 0 when there is none or it can't be told.
    virtual std::uint32_t EarlierInstanceProcess() = 0;
};

}  // namespace marvolt
