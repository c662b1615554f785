#pragma once
// Text helpers shared by all logic. The program's one internal string type is
// std::u16string: 16-bit on Windows and Linux alike, so the logic tested natively
// is the logic that ships. Conversion to ANSI or UTF-8 happens at the edges.
#include <cstdint>
#include <string>
#include <string_view>

namespace marvolt {

// Blanks are the space character only; tabs and other white space stay.
std::u16string Trim(std::u16string_view text);
std::u16string TrimLeft(std::u16string_view text);
std::u16string TrimRight(std::u16string_view text);

bool Contains(std::u16string_view text, std::u16string_view part);
bool StartsWith(std::u16string_view text, std::u16string_view prefix);
bool EndsWith(std::u16string_view text, std::u16string_view suffix);

// Letter case of A-Z / a-z only; registry root names and the like are ASCII.
std::u16string ToUpperAscii(std::u16string_view text);
std::u16string ToLowerAscii(std::u16string_view text);

std::u16string Decimal(long long number);

// A whole decimal number with optional blanks around it and an optional sign.
// Returns false (and leaves `number` alone) for anything else, an empty text included.
bool ParseInteger(std::u16string_view text, long long& number);

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

}  // namespace marvolt
