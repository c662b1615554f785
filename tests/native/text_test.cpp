#include "platform/text.h"

#include <gtest/gtest.h>

namespace marvolt {
namespace {

// A number as read back, or "refused" with the number left as it was.
std::u16string Parsed(std::u16string_view text) {
    long long number = 77;
    bool ok = ParseInteger(text, number);
    return (ok ? u"" : u"refused ") + Decimal(number);
}

TEST(Text, TrimNumbersAndUtf8) {
    const std::u16string mixed = u"Lautsprecher \u00e4\u20ac \U0001F50A\U0010FFFF";
    const std::pair<std::u16string, std::u16string> cases[] = {
        {Trim(u"  a b  "), u"a b"},
        {Trim(u"\tx "), u"\tx"},
        {TrimLeft(u"  x  "), u"x  "},
        {TrimRight(u"  x  "), u"  x"},
        {TrimRight(u" ") + TrimLeft(u" "), u""},
        {Parsed(u" 1 "), u"1"},
        {Parsed(u"-32"), u"-32"},
        {Parsed(u"+9223372036854775807"), u"9223372036854775807"},
        {Parsed(u""), u"refused 77"},
        {Parsed(u"-"), u"refused 77"},
        {Parsed(u"1x"), u"refused 77"},
        {Parsed(u"9223372036854775808"), u"refused 77"},
        {Parsed(u"18446744073709551617"), u"refused 77"},
        {Decimal(-2147483648LL) + Decimal(0), u"-21474836480"},
        {FromUtf8(ToUtf8(mixed)), mixed},
        {FromUtf8("\xff!\xe2\x82"), u"\uFFFD!\uFFFD\uFFFD"},
        {FromUtf8("\xc3(\xe2\x82\xac"), u"\uFFFD(\u20ac"},
        {FromUtf8(std::string("a\0b", 3)), std::u16string(u"a\0b", 3)},
        // Overlong, surrogate and beyond U+10FFFF: each byte is invalid.
        {FromUtf8("\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80"), std::u16string(9, u'\uFFFD')},
    };
    for (const auto& [got, want] : cases) EXPECT_EQ(ToUtf8(got), ToUtf8(want));
    EXPECT_TRUE(EndsWith(u"ab", u"b") && !EndsWith(u"ab", u"a") && !EndsWith(u"b", u"ab"));
    // A pair of surrogates is one four-byte character; a lone one becomes U+FFFD.
    EXPECT_EQ(ToUtf8(mixed), "Lautsprecher \xc3\xa4\xe2\x82\xac \xf0\x9f\x94\x8a\xf4\x8f\xbf\xbf");
    const std::u16string lone = {0xD83D, u'!', 0xD83D, 0xE000};
    EXPECT_EQ(ToUtf8(lone), "\xef\xbf\xbd!\xef\xbf\xbd\xee\x80\x80");
}

}  // namespace
}  // namespace marvolt
