#pragma once
// Recording doubles of the window services the single-instance guard and the
// pin use.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/fakes/simple_fakes.h"
#include "platform/instance_query.h"
#include "platform/top_level_windows.h"
#include "platform/window_activation.h"

namespace marvolt {

class FakeInstanceQuery : public InstanceQuery {
public:
    explicit FakeInstanceQuery(CallLog* log = nullptr) : log_(log) {}
    bool EarlierInstanceRunning() override;
    bool running = false;

private:
    CallLog* log_;
};

class FakeTopLevelWindows : public TopLevelWindows {
public:
    explicit FakeTopLevelWindows(CallLog* log = nullptr) : log_(log) {}
    NativeHandle FindByClassAndTitle(const std::u16string& windowClass,
                                     const std::u16string& title) override;
    void ShowAsync(NativeHandle window, int showCommand) override;
    void SetTopmost(NativeHandle window, bool topmost) override;

    // (class, title) -> handle of the windows that exist.
    std::map<std::pair<std::u16string, std::u16string>, NativeHandle> windows;
    std::map<NativeHandle, bool> topmost;  // last SetTopmost per handle

private:
    CallLog* log_;
};

class FakeWindowActivation : public WindowActivation {
public:
    explicit FakeWindowActivation(CallLog* log = nullptr) : log_(log) {}
    bool ActivateByTitle(const std::u16string& title) override;
    bool result = true;
    std::vector<std::u16string> activated;

private:
    CallLog* log_;
};

}  // namespace marvolt
