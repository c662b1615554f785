#pragma once
#include <string>

#include "platform/text.h"

namespace marvolt {

// Conversion between the program's text and the bytes of registry text values.
class AnsiCodePage {
public:
    virtual ~AnsiCodePage() = default;
    virtual std::string ToAnsi(const std::u16string& text) = 0;
    virtual std::u16string FromAnsi(const std::string& bytes) = 0;
};

// Text values as UTF-8 bytes: the Windows registry layer turns them into the
// system's wide text and back, so no character is lost to the ANSI code page.
class Utf8RegistryText final : public AnsiCodePage {
public:
    std::string ToAnsi(const std::u16string& text) override { return ToUtf8(text); }
    std::u16string FromAnsi(const std::string& bytes) override { return FromUtf8(bytes); }
};

}  // namespace marvolt
