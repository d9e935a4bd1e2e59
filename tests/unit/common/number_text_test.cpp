// The two number conversions of set files: lenient leading numbers and the strict integer.
#include <gtest/gtest.h>

#include "common/number_text.h"

namespace corvane {
namespace {

TEST(NumberText, LeadingNumberTakesWhatStartsTheText) {
    const std::pair<const char*, double> cases[] = {
        {"6", 6},        {"  9", 9},    {"1 2", 12},      {"abc", 0},   {"", 0},
        {"600 MB", 600}, {"-3x", -3},   {"2.5kg", 2.5},   {"1e2", 100}, {"1e", 1},
        {".5", 0.5},     {"+7", 7},     {"12abc34", 12},
    };
    for (const auto& [text, expected] : cases) EXPECT_DOUBLE_EQ(leadingNumber(text), expected) << text;
}

TEST(NumberText, StrictConversionRefusesAnythingButANumber) {
    EXPECT_EQ(*strictInt16("1"), 1);
    EXPECT_EQ(*strictInt16(" -12 "), -12);
    EXPECT_EQ(*strictInt16("2.5"), 2);  // half to even
    EXPECT_EQ(*strictInt16("3.5"), 4);
    for (const char* bad : {"", "abc", "1a", "1 2", "-"}) {
        const auto result = strictInt16(bad);
        ASSERT_FALSE(result) << bad;
        EXPECT_EQ(result.error().code, errc::kTypeMismatch) << bad;
    }
    const auto overflow = strictInt16("40000");
    ASSERT_FALSE(overflow);
    EXPECT_EQ(overflow.error().code, errc::kOverflow);
}

TEST(NumberText, RoundingIntoSixteenBits) {
    EXPECT_EQ(*roundToInt16(0.5), 0);
    EXPECT_EQ(*roundToInt16(1.5), 2);
    EXPECT_EQ(*roundToInt16(-32768), -32768);
    EXPECT_FALSE(roundToInt16(32767.5));
    EXPECT_FALSE(roundToInt16(1e300));
}

}  // namespace
}  // namespace corvane
