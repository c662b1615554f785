#include "platform/fakes/simple_fakes.h"

#include "platform/text.h"

namespace marvolt {

MessageAnswer FakeMessageService::ShowMessage(const std::u16string& text, const std::u16string& title,
                                              MessageButtons buttons, MessageIcon icon) {
    shown.push_back({text, title, buttons, icon});
    if (log_) log_->Add("message " + ToUtf8(text));
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : answer;
}

void FakeAppIdentity::SetTitle(const std::u16string& newTitle) {
    title = newTitle;
    if (log_) log_->Add("title " + ToUtf8(newTitle));
}

void FakeProcessEnd::EndNow() {
    ++calls;
    if (log_) log_->Add("end");
    throw ProcessEnded{};
}

std::uint32_t FakeProcessLauncher::StartProcess(const std::u16string& commandLine, int showStyle) {
    started.push_back({commandLine, showStyle});
    if (log_) log_->Add("start " + ToUtf8(commandLine));
    return result;
}

void FakeBeeper::DefaultBeep() {
    ++beeps;
    if (log_) log_->Add("beep");
}

void FakePendingEvents::ProcessPending() {
    ++calls;
    if (log_) log_->Add("pending");
}

void FakeKeystrokes::SendKeys(const std::u16string& keys) {
    sent.push_back(keys);
    if (log_) log_->Add("keys " + ToUtf8(keys));
}

}  // namespace marvolt
