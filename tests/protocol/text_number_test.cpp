#include "text_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gbk_text.h"
#include "motor_link.h"

namespace motor {
namespace {

struct NumberCase {
    std::string text;
    double value;
};

class TextToNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(TextToNumber, ReadsTheLongestDecimalPrefix) {
    EXPECT_DOUBLE_EQ(text_to_number(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TextToNumber,
    testing::Values(NumberCase{"42", 42}, NumberCase{" 42abc", 42}, NumberCase{"+7", 7},
                    NumberCase{"1e2", 100}, NumberCase{"2d1", 20}, NumberCase{"2D1", 20},
                    NumberCase{"1,5", 1}, NumberCase{"0x1A", 0}, NumberCase{"abc", 0},
                    NumberCase{"", 0}, NumberCase{".5", 0.5}, NumberCase{"-3", -3},
                    NumberCase{"\t\n\v\f\r 9", 9}, NumberCase{"1e", 1}, NumberCase{"1e+", 1},
                    NumberCase{"1.", 1}, NumberCase{".", 0}, NumberCase{"-", 0},
                    NumberCase{"e5", 0}, NumberCase{".e5", 0}, NumberCase{"1.5E-1x", 0.15},
                    NumberCase{"1e-400", 0}, NumberCase{"0.0000e999", 0},
                    // Full-width digits, ideographic space and full-width signs become ASCII.
                    NumberCase{utf8_to_gbk("２５"), 25}, NumberCase{utf8_to_gbk("　１２"), 12},
                    NumberCase{utf8_to_gbk("－３"), -3},
                    // A lead byte at the very end ends the text; other characters stop the number.
                    NumberCase{"12\xA3", 12}, NumberCase{utf8_to_gbk("5地"), 5}));

TEST(TextToNumber, TooLargeForADoubleGivesAnInfinityOfItsSign) {
    EXPECT_EQ(text_to_number("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(text_to_number("-1e400"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(text_to_number(std::string(400, '9')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(text_to_number("1e99999999999999999999999"), std::numeric_limits<double>::infinity());
}

TEST(TruncateToInt64, OutOfRangeAndNotFiniteGiveZero) {
    EXPECT_EQ(truncate_to_int64(255.9), 255);
    EXPECT_EQ(truncate_to_int64(-0.9), 0);
    EXPECT_EQ(truncate_to_int64(-1.5), -1);
    EXPECT_EQ(truncate_to_int64(std::nan("")), 0);
    EXPECT_EQ(truncate_to_int64(std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(truncate_to_int64(9223372036854775808.0), 0);
    EXPECT_EQ(truncate_to_int64(-9223372036854775808.0), std::numeric_limits<std::int64_t>::min());
}

struct ValueByteCase {
    std::string text;
    int byte;
};

class PositionValueByte : public testing::TestWithParam<ValueByteCase> {};

TEST_P(PositionValueByte, IsTheLowByteOfTheTruncatedNumber) {
    EXPECT_EQ(position_text_to_value(GetParam().text) & 0xFF, GetParam().byte) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PositionValueByte,
    testing::Values(ValueByteCase{"50", 50}, ValueByteCase{"300", 44}, ValueByteCase{"1000", 232},
                    ValueByteCase{"255.9", 255}, ValueByteCase{"-1", 255}, ValueByteCase{"-3", 253},
                    ValueByteCase{"-0.9", 0}, ValueByteCase{"abc", 0}, ValueByteCase{"", 0},
                    ValueByteCase{"1e400", 0}, ValueByteCase{utf8_to_gbk("１２"), 12},
                    ValueByteCase{"4294967296", 0}, ValueByteCase{"4294967297", 1}));

}  // namespace
}  // namespace motor
