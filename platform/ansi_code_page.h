#pragma once
#include <string>

namespace marvolt {

// Conversion between the program's text and the system's ANSI code page, for
// data that the platform stores as bytes (registry text values).
class AnsiCodePage {
public:
    virtual ~AnsiCodePage() = default;
    virtual std::string ToAnsi(const std::u16string& text) = 0;
    virtual std::u16string FromAnsi(const std::string& bytes) = 0;
};

}  // namespace marvolt
