#pragma once
// Recording doubles of the parts the main window drives: the tray icon, the
// single-instance guard, the always-on-top pin and the document opener.
#include <cstdint>
#include <string>
#include <vector>

#include "instance/instance_guard.h"
#include "on_top/topmost_pin.h"
#include "platform/fakes/simple_fakes.h"
#include "platform/process_end.h"
#include "shell/document_opener.h"
#include "tray/tray_icon.h"

namespace marvolt {

// Keeps what the shell and the tray window would hold: an add for an icon that
// is already shown is refused, unloading removes the icon and forgets the menu.
class FakeTrayIcon : public TrayIcon {
public:
    explicit FakeTrayIcon(CallLog* log = nullptr) : log_(log) {}
    void AddTrayIcon(TrayTarget& iconForm, const std::u16string& toolTipText, bool openMenuOnClick,
                     TrayTarget& showFormOnClick, const std::u16string& popupMenuString) override;
    void RemoveTrayIcon() override;
    void ChangeToolTipText(const std::u16string& toolTipText) override;
    void ChangePopupMenuString(const std::u16string& popupMenuString) override;
    void Unload() override;

    // What a double click on the icon does: restores the target and unloads.
    void Restore();

    struct Add {
        std::u16string toolTip;
        bool openMenuOnClick;
        TrayTarget* iconForm;
        TrayTarget* showFormOnClick;
        std::u16string popupMenuString;
    };
    std::vector<Add> adds;
    int removes = 0;
    int unloads = 0;
    bool loaded = false;
    bool iconShown = false;
    std::u16string toolTip;     // of the icon shown
    std::u16string menuString;  // stored by the tray window
    TrayTarget* target = nullptr;

private:
    CallLog* log_;
};

// Ends the process through `end` when told that an earlier instance runs.
class FakeInstanceGuard : public InstanceGuard {
public:
    FakeInstanceGuard(ProcessEnd& end, CallLog* log = nullptr) : end_(end), log_(log) {}
    void CheckPrevInstance(const std::u16string& firstKeys, const std::u16string& secondKeys) override;

    bool earlierInstance = false;
    int calls = 0;
    std::u16string firstKeys, secondKeys;

private:
    ProcessEnd& end_;
    CallLog* log_;
};

class FakeTopmostPin : public TopmostPin {
public:
    explicit FakeTopmostPin(CallLog* log = nullptr) : log_(log) {}
    bool GetIsOnTop() override { return onTop; }
    void SetToTop(bool recordAgain = false) override;
    void SetToNormal(bool recordAgain = false) override;

    bool onTop = false;
    int toTopCalls = 0;
    int toNormalCalls = 0;

private:
    CallLog* log_;
};

class FakeDocumentOpener : public DocumentOpener {
public:
    explicit FakeDocumentOpener(CallLog* log = nullptr) : log_(log) {}
    std::uint32_t OpenDocument(const std::u16string& target, int windowStyle) override;

    struct Open {
        std::u16string target;
        int windowStyle;
    };
    std::vector<Open> opened;
    std::uint32_t result = 77;

private:
    CallLog* log_;
};

}  // namespace marvolt
