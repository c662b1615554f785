#pragma once
#include <string>

#include "instance/instance_guard.h"
#include "platform/instance_query.h"
#include "platform/keystrokes.h"
#include "platform/pending_events.h"
#include "platform/process_end.h"
#include "platform/top_level_windows.h"
#include "platform/window_activation.h"

namespace marvolt {

struct PrevInstanceServices {
    InstanceQuery& query;
    TopLevelWindows& windows;
    WindowActivation& activation;
    // Null where keys are never sent: Marvolt's own second start sends none.
    Keystrokes* keystrokes;
    PendingEvents& pendingEvents;
    ProcessEnd& processEnd;
};

// The single-instance guard. Construct the InstanceQuery at program start,
// before any window.
class PrevInstance : public InstanceGuard {
public:
    explicit PrevInstance(const PrevInstanceServices& services) : services_(services) {}
    void CheckPrevInstance(const std::u16string& firstKeys, const std::u16string& secondKeys) override;

private:
    PrevInstanceServices services_;
};

}  // namespace marvolt
