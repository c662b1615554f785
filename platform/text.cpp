#include "platform/text.h"

namespace marvolt {

std::u16string TrimLeft(std::u16string_view text) {
    size_t first = 0;
    while (first < text.size() && text[first] == u' ') ++first;
    return std::u16string(text.substr(first));
}

std::u16string TrimRight(std::u16string_view text) {
    size_t end = text.size();
    while (end > 0 && text[end - 1] == u' ') --end;
    return std::u16string(text.substr(0, end));
}

std::u16string Trim(std::u16string_view text) { return TrimLeft(TrimRight(text)); }

bool Contains(std::u16string_view text, std::u16string_view part) {
    return text.find(part) != std::u16string_view::npos;
}

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::u16string_view text, std::u16string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::u16string ToUpperAscii(std::u16string_view text) {
    std::u16string result(text);
    for (char16_t& c : result)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return result;
}

std::u16string ToLowerAscii(std::u16string_view text) {
    std::u16string result(text);
    for (char16_t& c : result)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return result;
}

std::u16string Decimal(long long number) {
    // Built by hand: the program avoids iostreams and locale machinery.
    unsigned long long magnitude =
        number < 0 ? 0ull - static_cast<unsigned long long>(number) : static_cast<unsigned long long>(number);
    char16_t digits[24];
    size_t count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    std::u16string result;
    if (number < 0) result += u'-';
    while (count > 0) result += digits[--count];
    return result;
}

bool ParseInteger(std::u16string_view text, long long& number) {
    std::u16string trimmed = Trim(text);
    size_t pos = 0;
    bool negative = false;
    if (pos < trimmed.size() && (trimmed[pos] == u'+' || trimmed[pos] == u'-')) {
        negative = trimmed[pos] == u'-';
        ++pos;
    }
    if (pos == trimmed.size()) return false;
    // Checked before each step: a number past the range must not wrap around
    // into one that is in it.
    constexpr unsigned long long kMost = 0x7fffffffffffffffull;
    unsigned long long value = 0;
    for (; pos < trimmed.size(); ++pos) {
        char16_t c = trimmed[pos];
        if (c < u'0' || c > u'9') return false;
        const unsigned digit = static_cast<unsigned>(c - u'0');
        if (value > (kMost - digit) / 10) return false;
        value = value * 10 + digit;
    }
    number = negative ? -static_cast<long long>(value) : static_cast<long long>(value);
    return true;
}

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;  // a surrogate without its other half stands for no character
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::u16string FromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        uint32_t cp;
        size_t extra;
        if (lead < 0x80) { cp = lead; extra = 0; }
        else if ((lead & 0xE0) == 0xC0) { cp = lead & 0x1F; extra = 1; }
        else if ((lead & 0xF0) == 0xE0) { cp = lead & 0x0F; extra = 2; }
        else if ((lead & 0xF8) == 0xF0) { cp = lead & 0x07; extra = 3; }
        else { out += u'\uFFFD'; ++i; continue; }
        bool valid = true;
        for (size_t k = 1; k <= extra; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        // As Windows does: an overlong form, an encoded surrogate or a code
        // point beyond U+10FFFF is as invalid as a broken sequence.
        constexpr uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (valid && (cp < kLeast[extra] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)) valid = false;
        if (!valid) { out += u'\uFFFD'; ++i; continue; }
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

}  // namespace marvolt
