#pragma once
#include <string>

namespace marvolt {

class Environment {
public:
    virtual ~Environment() = default;
    virtual std::u16string Variable(const std::u16string& name) = 0;  // empty if unset
};

}  // namespace marvolt
