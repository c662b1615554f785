#pragma once

namespace marvolt {

// Ends the process at once: no further code runs, no window's close or unload
// handling takes place.
class ProcessEnd {
public:
    virtual ~ProcessEnd() = default;
    [[noreturn]] virtual void EndNow() = 0;
};

}  // namespace marvolt
