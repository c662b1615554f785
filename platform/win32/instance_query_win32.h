#pragma once
#include <windows.h>

#include <string>

#include "platform/instance_query.h"
#include "platform/win32/unique_handle.h"

namespace marvolt {

// A named mutex in the session's namespace, created when this object is made
// (construct it first thing at program start) and held for its lifetime. The
// first instance also keeps its process id in a named section beside it. One
// that only looks (a start that carries out a command and ends) takes nothing:
// no later start mistakes it for the running program.
class Win32InstanceQuery : public InstanceQuery {
public:
    enum Mode { kTake, kLookOnly };
    explicit Win32InstanceQuery(Mode mode = kTake);
    Win32InstanceQuery(const std::u16string& mutexName, Mode mode = kTake);
    bool EarlierInstanceRunning() override { return earlier_; }
    std::uint32_t EarlierInstanceProcess() override;

private:
    UniqueKernelHandle mutex_;
    std::u16string ownerName_;
    UniqueKernelHandle owner_;
    bool earlier_ = false;
};

}  // namespace marvolt
