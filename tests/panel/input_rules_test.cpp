#include "input_rules.h"

#include <gtest/gtest.h>

#include "fake_window.h"

namespace motor::panel {
namespace {

TEST(FilterAddressChar, TakesHexDigitsBackspaceAndDeleteOnly) {
    for (std::int32_t code = 0; code <= 255; ++code) {
        const bool taken = code == 8 || code == 127 || (code >= '0' && code <= '9') ||
                           (code >= 'A' && code <= 'F') || (code >= 'a' && code <= 'f');
        EXPECT_EQ(filter_address_char(code), taken ? code : 0) << "code " << code;
    }
}

TEST(ByteMode, TakesDigitsAndControlCharactersOnly) {
    for (std::int32_t code = 0; code <= 255; ++code) {
        const bool taken = code < 32 || code == 127 || (code >= '0' && code <= '9');
        EXPECT_EQ(byte_mode_takes_char(code), taken) << "code " << code;
    }
}

struct TextCase {
    const char* text;
    const char* normal;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class NormaliseByteText : public testing::TestWithParam<TextCase> {};

TEST_P(NormaliseByteText, ClampsTheLeadingIntegerAndEmptiesZero) {
    EXPECT_EQ(normalise_byte_text(GetParam().text), GetParam().normal) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NormaliseByteText,
    testing::Values(TextCase{"50", "50"}, TextCase{"007", "7"}, TextCase{"999", "255"},
                    TextCase{"256", "255"}, TextCase{"255", "255"}, TextCase{"1", "1"},
                    TextCase{"0", ""}, TextCase{"00", ""}, TextCase{"000", ""}, TextCase{"", ""},
                    TextCase{"4x", "4"}, TextCase{"12a", "12"}, TextCase{"-5", ""},
                    TextCase{"-0", ""}, TextCase{"+7", "7"}, TextCase{"abc", ""},
                    TextCase{"1e3", "1"}, TextCase{"  12", "12"}, TextCase{"- 5", ""},
                    TextCase{"0.9", ""}, TextCase{"99999999999999999999999999", "255"},
                    // GBK double-byte characters: lead and trail bytes are never digits.
                    TextCase{"\xd6\xd0", ""}, TextCase{"3\xd6\xd0", "3"}));

struct FocusCase {
    const char* text;
    const char* after;  // nullptr: the field is not written
};

void PrintTo(const FocusCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class PositionLostFocus : public testing::TestWithParam<FocusCase> {};

TEST_P(PositionLostFocus, ShowsZeroForAFieldThatReadsAsZero) {
    test::FakeWindow window;
    window.set_text(Control::编辑框_目标位置, GetParam().text);
    window.writes.clear();
    on_position_lost_focus(window);
    if (GetParam().after) {
        ASSERT_EQ(window.writes.size(), 1u);
        EXPECT_EQ(window.text(Control::编辑框_目标位置), GetParam().after);
    } else {
        EXPECT_TRUE(window.writes.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, PositionLostFocus,
                         testing::Values(FocusCase{"", "0"}, FocusCase{"0", "0"},
                                         FocusCase{"abc", "0"}, FocusCase{"1e-8", "0"},
                                         FocusCase{"0.0000001", "0"}, FocusCase{"5", nullptr},
                                         FocusCase{"255", nullptr}, FocusCase{"0.000001", nullptr},
                                         FocusCase{"-0.5", nullptr}));

}  // namespace
}  // namespace motor::panel
