#include "instance/prev_instance.h"

#include "app/main_window_view.h"

namespace marvolt {

namespace {
constexpr char16_t kMarkerTitle[] = u"#$#";
}

void PrevInstance::CheckPrevInstance(const std::u16string& firstKeys,
                                     const std::u16string& secondKeys) {
    TopLevelWindows& windows = services_.windows;
    AppIdentity& identity = services_.identity;

    bool earlierInstance = services_.query.EarlierInstanceRunning();
    NativeHandle found = windows.FindByClassAndTitle(kMainWindowClass, identity.Title());
    if (!earlierInstance && found == 0) return;

    // Looked up again: the earlier window may have appeared or gone meanwhile. A
    // target of 0 makes the window calls below do nothing; activation alone still
    // brings the earlier instance forward.
    NativeHandle target = windows.FindByClassAndTitle(kMainWindowClass, identity.Title());
    std::u16string title = identity.Title();
    // From here on only the earlier instance bears the program's title.
    identity.SetTitle(kMarkerTitle);
    windows.ShowAsync(target, kShowRestore);
    windows.SetTopmost(target, true);
    // No window to activate means the earlier instance is just ending; this one
    // ends as well, quietly, as it would have after the activation.
    if (!services_.activation.ActivateByTitle(title)) services_.processEnd.EndNow();
    if (!firstKeys.empty()) {
        services_.keystrokes.SendKeys(firstKeys);
        services_.pendingEvents.ProcessPending();
        services_.keystrokes.SendKeys(secondKeys);
        services_.pendingEvents.ProcessPending();
    }
    windows.SetTopmost(target, false);
    services_.processEnd.EndNow();
}

}  // namespace marvolt
