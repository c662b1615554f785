#include "instance/prev_instance.h"

#include "app/main_window_view.h"

namespace marvolt {

// The earlier instance is the process that holds the instance mutex, and its
// window is the settings window of that process. A title names no window for
// sure: the running one's caption carries the version, and any program may
// show a window whose title starts with the product name.
void PrevInstance::CheckPrevInstance(const std::u16string& firstKeys,
                                     const std::u16string& secondKeys) {
    InstanceQuery& query = services_.query;
    TopLevelWindows& windows = services_.windows;
    if (!query.EarlierInstanceRunning()) return;

    NativeHandle target = windows.FindByClassInProcess(kMainWindowClass, query.EarlierInstanceProcess());
    // No window means the earlier instance is just starting or ending; this one
    // ends as well, quietly.
    if (!target) services_.processEnd.EndNow();
    // Made topmost to come forward and let go again; a window the user pinned
    // stays pinned.
    const bool pinned = windows.IsTopmost(target);
    windows.ShowAsync(target, kShowRestore);
    windows.SetTopmost(target, true);
    services_.activation.Activate(target);
    if (!firstKeys.empty() && services_.keystrokes) {
        services_.keystrokes->SendKeys(firstKeys);
        services_.pendingEvents.ProcessPending();
        services_.keystrokes->SendKeys(secondKeys);
        services_.pendingEvents.ProcessPending();
    }
    if (!pinned) windows.SetTopmost(target, false);
    services_.processEnd.EndNow();
}

}  // namespace marvolt
