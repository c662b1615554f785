#include "platform/fakes/fake_app_parts.h"

#include "platform/text.h"

namespace marvolt {

void FakeTrayIcon::AddTrayIcon(TrayTarget& iconForm, const std::u16string& toolTipText, bool openMenuOnClick,
                               TrayTarget& showFormOnClick, const std::u16string& popupMenuString) {
    adds.push_back({toolTipText, openMenuOnClick, &iconForm, &showFormOnClick, popupMenuString});
    if (log_) log_->Add("tray add " + ToUtf8(toolTipText));
    loaded = true;
    if (!popupMenuString.empty()) menuString = popupMenuString;
    target = &showFormOnClick;
    if (iconShown) return;  // the shell refuses a second add of the same icon
    iconShown = true;
    toolTip = toolTipText;
}

void FakeTrayIcon::RemoveTrayIcon() {
    ++removes;
    if (log_) log_->Add("tray remove");
    iconShown = false;
}

void FakeTrayIcon::ChangeToolTipText(const std::u16string& toolTipText) {
    if (log_) log_->Add("tray tooltip " + ToUtf8(toolTipText));
    if (iconShown) toolTip = TrimLeft(toolTipText);
}

void FakeTrayIcon::ChangePopupMenuString(const std::u16string& popupMenuString) {
    if (log_) log_->Add("tray menu");
    menuString = popupMenuString;
}

void FakeTrayIcon::Unload() {
    ++unloads;
    if (log_) log_->Add("tray unload");
    iconShown = false;
    loaded = false;
    menuString.clear();
    target = nullptr;
}

void FakeTrayIcon::Restore() {
    TrayTarget* restored = target;
    if (!restored) return;
    restored->SetWindowStateNormal();
    restored->SetVisible(true);
    Unload();
}

void FakeInstanceGuard::CheckPrevInstance(const std::u16string& first, const std::u16string& second) {
    ++calls;
    firstKeys = first;
    secondKeys = second;
    if (log_) log_->Add("guard");
    if (earlierInstance) end_.EndNow();
}

void FakeTopmostPin::SetToTop(bool recordAgain) {
    ++toTopCalls;
    onTop = true;
    if (log_) log_->Add("pin top");
}

void FakeTopmostPin::SetToNormal(bool recordAgain) {
    ++toNormalCalls;
    onTop = false;
    if (log_) log_->Add("pin normal");
}

std::uint32_t FakeDocumentOpener::OpenDocument(const std::u16string& target, int windowStyle) {
    opened.push_back({target, windowStyle});
    if (log_) log_->Add("open " + ToUtf8(target));
    return result;
}

}  // namespace marvolt
