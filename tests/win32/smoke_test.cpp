#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/win_text.h"

namespace marvolt {
namespace {

TEST(WinText, AnsiRoundTripOfPlainText) {
    EXPECT_EQ(ToAnsi(u"Speakers 2"), "Speakers 2");
    EXPECT_EQ(FromAnsi("Headset"), u"Headset");
    EXPECT_EQ(ToAnsi(u""), "");
}

}  // namespace
}  // namespace marvolt
