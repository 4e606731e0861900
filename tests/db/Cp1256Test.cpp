#include <gtest/gtest.h>

#include "db/Cp1256.h"

using namespace attcalc;

TEST(Cp1256, ConvertsPersianLabelsWithBestFitYeh) {
    // "تاریخ" : teh alef reh (Persian) yeh khah
    EXPECT_EQ(Utf8ToCp1256("تاریخ"), std::string("\xCA\xC7\xD1\xED\xCE"));
    EXPECT_EQ(Cp1256Code(U'\u06CC'), 0xED);  // Persian yeh, no exact code
    EXPECT_EQ(Cp1256Code(U'\u064A'), 0xED);  // Arabic yeh, exact
    EXPECT_EQ(Cp1256Code(U'\u06A9'), 0x98);  // Persian keheh
    EXPECT_EQ(Cp1256Code(U'\u067E'), 0x81);  // peh
    EXPECT_EQ(Cp1256Code(U'A'), 'A');
    EXPECT_EQ(Cp1256Code(U'\u4E00'), -1);
    EXPECT_EQ(Utf8ToCp1256("a\xE4\xB8\x80"), "a?");
}

TEST(Cp1256, RoundTripsEveryByte) {
    for (int b = 1; b < 256; ++b) {
        std::string one(1, static_cast<char>(b));
        std::string utf8 = Cp1256ToUtf8(one);
        EXPECT_EQ(Utf8ToCp1256(utf8), one) << "byte " << b;
    }
}
