#pragma once
// Conversions at the Win32 edge. char16_t and wchar_t are both UTF-16 on Windows.
#include <windows.h>

#include <string>
#include <string_view>

namespace marvolt {

inline const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline std::u16string FromWide(const wchar_t* text, size_t length) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

inline std::u16string FromWide(const wchar_t* text) { return FromWide(text, wcslen(text)); }

// To the system's ANSI code page, for calls that take ANSI text.
std::string ToAnsi(std::u16string_view text);
std::u16string FromAnsi(std::string_view bytes);

}  // namespace marvolt
