#pragma once
#include "platform/app_identity.h"
#include "platform/message_service.h"

namespace marvolt {

// Task-modal message boxes owned by the program's active window, if it has one.
class MessageServiceWin32 final : public MessageService {
public:
    explicit MessageServiceWin32(AppIdentity& identity) : identity_(identity) {}
    MessageAnswer ShowMessage(const std::u16string& text, const std::u16string& title,
                              MessageButtons buttons, MessageIcon icon) override;

private:
    AppIdentity& identity_;
};

}  // namespace marvolt
