#include "platform/fakes/fake_windows.h"

#include "platform/text.h"

namespace marvolt {

bool FakeInstanceQuery::EarlierInstanceRunning() {
    if (log_) log_->Add(running ? "query yes" : "query no");
    return running;
}

NativeHandle FakeTopLevelWindows::FindByClassAndTitle(const std::u16string& windowClass,
                                                      const std::u16string& title) {
    auto found = windows.find({windowClass, title});
    NativeHandle handle = found == windows.end() ? 0 : found->second;
    if (log_) log_->Add("find " + ToUtf8(windowClass) + " " + ToUtf8(title) + " -> " + std::to_string(handle));
    return handle;
}

void FakeTopLevelWindows::ShowAsync(NativeHandle window, int showCommand) {
    if (log_) log_->Add("show " + std::to_string(window) + " " + std::to_string(showCommand));
}

void FakeTopLevelWindows::SetTopmost(NativeHandle window, bool isTopmost) {
    topmost[window] = isTopmost;
    if (log_) log_->Add((isTopmost ? "topmost " : "notopmost ") + std::to_string(window));
}

bool FakeWindowActivation::ActivateByTitle(const std::u16string& title) {
    activated.push_back(title);
    if (log_) log_->Add("activate " + ToUtf8(title) + (result ? "" : " failed"));
    return result;
}

}  // namespace marvolt
