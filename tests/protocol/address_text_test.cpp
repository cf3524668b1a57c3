#include "address_text.h"

#include <gtest/gtest.h>

#include "gbk_text.h"

namespace motor {
namespace {

struct HexCase {
    std::string text;
    std::int64_t value;
};

class HexTextToValue : public testing::TestWithParam<HexCase> {};

TEST_P(HexTextToValue, ReadsEachByteAsADigitOrZero) {
    EXPECT_EQ(hex_text_to_value(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Pieces, HexTextToValue,
                         testing::Values(HexCase{"1A", 26}, HexCase{"ff", 255}, HexCase{"G1", 1},
                                         HexCase{"9Z", 144}, HexCase{" F", 15}, HexCase{"", 0},
                                         HexCase{"00", 0}, HexCase{"+-", 0},
                                         HexCase{"\x81\x41", 10},  // a trail byte reads as 'A'
                                         HexCase{"FFFFFFFFFFFFF", 0xFFFFFFFFFFFFF},
                                         HexCase{"123456789abcd", 0x123456789ABCD}));

TEST(HexTextToValue, NeverMisbehavesOnLongTexts) {
    EXPECT_NO_FATAL_FAILURE(hex_text_to_value(std::string(400, 'F')));
    EXPECT_NO_FATAL_FAILURE(hex_text_to_value(std::string(400, '0') + "1"));
    EXPECT_EQ(hex_text_to_value(std::string(400, '0') + "1"), 1);
}

TEST(AddressBytesToText, WritesByteTwoFirstInUpperCaseHex) {
    EXPECT_EQ(address_bytes_to_text(0x03, 0x02, 0x01), "010203");
    EXPECT_EQ(address_bytes_to_text(0x0A, 0x00, 0xFF), "FF000A");
    EXPECT_EQ(address_bytes_to_text(0xEF, 0xCD, 0xAB), "ABCDEF");
    EXPECT_EQ(address_bytes_to_text(0, 0, 0), "000000");
}

struct AddressCase {
    std::string text;
    AddressBytes bytes;
};

class AddressBytesFromText : public testing::TestWithParam<AddressCase> {};

TEST_P(AddressBytesFromText, TakesPositionsFiveToSixThenThreeToFourThenOneToTwo) {
    EXPECT_EQ(address_bytes_from_text(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Texts, AddressBytesFromText,
                         testing::Values(AddressCase{"010203", {0x03, 0x02, 0x01}},
                                         AddressCase{"abcdef", {0xEF, 0xCD, 0xAB}},
                                         AddressCase{"0A0B0C7", {0x0C, 0x0B, 0x0A}},
                                         AddressCase{"12 4Z6", {0x06, 0x04, 0x12}},
                                         AddressCase{utf8_to_gbk("地址12"), {0x12, 0x00, 0x00}},
                                         AddressCase{utf8_to_gbk("丄0000"), {0x00, 0x00, 0x0A}}));

}  // namespace
}  // namespace motor
