#include "platform/text.h"

#include <gtest/gtest.h>

namespace marvolt {
namespace {

TEST(Text, TrimNumbersAndUtf8) {
    EXPECT_EQ(Trim(u"  a b  ") + u"|" + Trim(u"\tx ") + u"|" + Trim(u"   ") + u"|" +
                  TrimLeft(u"  x  ") + u"|" + TrimRight(u"  x  "),
              u"a b|\tx||x  |  x");
    // Whole numbers only; anything else leaves the number as it was.
    long long n = 77;
    for (const char16_t* bad :
         {u"", u" ", u"abc", u"1x", u"-", u"99999999999999999999", u"18446744073709551617"})
        EXPECT_FALSE(ParseInteger(bad, n));
    EXPECT_EQ(n, 77);
    EXPECT_TRUE(ParseInteger(u" 1 ", n) && n == 1 && ParseInteger(u"-32", n) && n == -32);
    EXPECT_EQ(Decimal(0) + Decimal(-2147483648LL) + Decimal(999), u"0-2147483648999");
    std::u16string mixed = u"Lautsprecher \u00e4\u20ac \U0001F50A";
    EXPECT_EQ(FromUtf8(ToUtf8(mixed)), mixed);
    EXPECT_EQ(FromUtf8("\xff"
                       "a") +
                  FromUtf8("\xe2\x82"),
              u"\uFFFD"
              u"a\uFFFD\uFFFD");
    // Overlong, surrogate and beyond U+10FFFF: each byte is invalid; a lone surrogate is too.
    EXPECT_EQ(FromUtf8("\xc0\xaf"
                       "\xed\xa0\x80"
                       "\xf4\x90\x80\x80") +
                  u"|" + FromUtf8(ToUtf8(u"\xD800")),
              std::u16string(9, u'\uFFFD') + u"|\uFFFD");
}

}  // namespace
}  // namespace marvolt
