#include "platform/text.h"

#include <gtest/gtest.h>

namespace marvolt {
namespace {

TEST(Text, TrimRemovesSpacesOnlyAtBothEnds) {
    EXPECT_EQ(Trim(u"  a b  "), u"a b");
    EXPECT_EQ(Trim(u"\tx "), u"\tx");
    EXPECT_EQ(Trim(u"   "), u"");
    EXPECT_EQ(TrimLeft(u"  x  "), u"x  ");
    EXPECT_EQ(TrimRight(u"  x  "), u"  x");
}

TEST(Text, ParseIntegerAcceptsWholeNumbersOnly) {
    long long n = 77;
    EXPECT_TRUE(ParseInteger(u" 1 ", n));
    EXPECT_EQ(n, 1);
    EXPECT_TRUE(ParseInteger(u"-32", n));
    EXPECT_EQ(n, -32);
    n = 77;
    for (const char16_t* bad : {u"", u" ", u"abc", u"1x", u"-", u"99999999999999999999"}) {
        EXPECT_FALSE(ParseInteger(bad, n)) << ToUtf8(bad);
        EXPECT_EQ(n, 77);
    }
}

TEST(Text, DecimalAndUtf8RoundTrip) {
    EXPECT_EQ(Decimal(0), u"0");
    EXPECT_EQ(Decimal(-2147483648LL), u"-2147483648");
    EXPECT_EQ(Decimal(999), u"999");
    std::u16string mixed = u"Lautsprecher \u00e4\u20ac \U0001F50A";
    EXPECT_EQ(FromUtf8(ToUtf8(mixed)), mixed);
    EXPECT_EQ(FromUtf8("\xff" "a"), u"\uFFFD" u"a");
    EXPECT_EQ(FromUtf8("\xe2\x82"), u"\uFFFD\uFFFD");
}

}  // namespace
}  // namespace marvolt
