#pragma once
// Recording test doubles of the small platform services.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/app_identity.h"
#include "platform/beeper.h"
#include "platform/keystrokes.h"
#include "platform/message_service.h"
#include "platform/pending_events.h"
#include "platform/process_end.h"
#include "platform/process_launcher.h"

namespace marvolt {

// A shared log that several doubles write to, so that tests can check the order
// of calls across services.
class CallLog {
public:
    void Add(std::string entry) { entries_.push_back(std::move(entry)); }
    const std::vector<std::string>& Entries() const { return entries_; }
    void Clear() { entries_.clear(); }

private:
    std::vector<std::string> entries_;
};

struct ShownMessage {
    std::u16string text, title;
    MessageButtons buttons;
    MessageIcon icon;
};

class FakeMessageService : public MessageService {
public:
    explicit FakeMessageService(CallLog* log = nullptr) : log_(log) {}
    MessageAnswer ShowMessage(const std::u16string& text, const std::u16string& title,
                              MessageButtons buttons, MessageIcon icon) override;
    std::vector<ShownMessage> shown;
    MessageAnswer answer = MessageAnswer::Yes;  // given to Yes/No questions

private:
    CallLog* log_;
};

class FakeAppIdentity : public AppIdentity {
public:
    explicit FakeAppIdentity(CallLog* log = nullptr) : log_(log) {}
    std::u16string Title() override { return title; }
    void SetTitle(const std::u16string& newTitle) override;
    std::u16string ProgramFolder() override { return folder; }
    std::u16string ExeBaseName() override { return exeBaseName; }
    std::u16string title = u"Marvolt";
    std::u16string folder = u"C:\\Tools";
    std::u16string exeBaseName = u"Marvolt";

private:
    CallLog* log_;
};

// Thrown by FakeProcessEnd so that no further code of the caller runs, as with
// the real end of the process.
struct ProcessEnded {};

class FakeProcessEnd : public ProcessEnd {
public:
    explicit FakeProcessEnd(CallLog* log = nullptr) : log_(log) {}
    [[noreturn]] void EndNow() override;
    int calls = 0;

private:
    CallLog* log_;
};

class FakeProcessLauncher : public ProcessLauncher {
public:
    explicit FakeProcessLauncher(CallLog* log = nullptr) : log_(log) {}
    std::uint32_t StartProcess(const std::u16string& commandLine, int showStyle) override;
    struct Start {
        std::u16string commandLine;
        int showStyle;
    };
    std::vector<Start> started;
    std::uint32_t result = 4242;

private:
    CallLog* log_;
};

class FakeBeeper : public Beeper {
public:
    explicit FakeBeeper(CallLog* log = nullptr) : log_(log) {}
    void DefaultBeep() override;
    int beeps = 0;

private:
    CallLog* log_;
};

class FakePendingEvents : public PendingEvents {
public:
    explicit FakePendingEvents(CallLog* log = nullptr) : log_(log) {}
    void ProcessPending() override;
    int calls = 0;

private:
    CallLog* log_;
};

class FakeKeystrokes : public Keystrokes {
public:
    explicit FakeKeystrokes(CallLog* log = nullptr) : log_(log) {}
    void SendKeys(const std::u16string& keys) override;
    std::vector<std::u16string> sent;

private:
    CallLog* log_;
};

}  // namespace marvolt
