#pragma once
#include <string>

namespace marvolt {

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Information, Question, Critical };
enum class MessageAnswer { Ok, Yes, No };

// Modal message boxes. The title defaults to the application title when empty.
class MessageService {
public:
    virtual ~MessageService() = default;
    virtual MessageAnswer ShowMessage(const std::u16string& text, const std::u16string& title,
                                      MessageButtons buttons, MessageIcon icon) = 0;
};

}  // namespace marvolt
