#pragma once
#include <string>

namespace marvolt {

// Run first at start: when an earlier instance is running, brings it forward
// and ends this process; otherwise returns and changes nothing.
class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;
    virtual void CheckPrevInstance(const std::u16string& firstKeys, const std::u16string& secondKeys) = 0;
};

}  // namespace marvolt
