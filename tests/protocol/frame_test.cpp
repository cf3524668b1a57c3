#include "frame.h"

#include <gtest/gtest.h>

namespace motor {
namespace {

TEST(FrameChecksum, IsTheSumOfTheFiveBytesModulo256) {
    EXPECT_EQ(frame_checksum(0x03, 0x02, 0x01, 0x01, 0x32), 0x39);
    EXPECT_EQ(frame_checksum(0x00, 0x00, 0x00, 0x20, 0x32), 0x52);
    EXPECT_EQ(frame_checksum(0xFF, 0xFF, 0xFF, 0xB1, 0xFF), 0xAD);  // 1197 mod 256
    EXPECT_EQ(frame_checksum(0, 0, 0, 0, 0), 0);
}

TEST(ReplyChecksum, AValidReplyBecomesInvalidWhenAnySingleByteChanges) {
    const Frame reply{0x03, 0x02, 0x01, 0x00, 0x2A, 0x30};
    ASSERT_TRUE(checksum_holds(reply));
    for (std::size_t pos = 0; pos < frame_size; ++pos) {
        for (int v = 0; v < 256; ++v) {
            if (v == reply[pos]) continue;
            Frame changed = reply;
            changed[pos] = static_cast<std::uint8_t>(v);
            EXPECT_FALSE(checksum_holds(changed)) << "byte " << pos << " = " << v;
        }
    }
}

TEST(ReplyChecksum, ChangesThatCancelModulo256LeaveItValid) {
    Frame reply{0x03, 0x02, 0x01, 0x00, 0x2A, 0x30};
    ++reply[3];
    --reply[4];
    EXPECT_TRUE(checksum_holds(reply));
    // Byte 3 need not be a command code.
    EXPECT_TRUE(checksum_holds(Frame{0x03, 0x02, 0x01, 0xEE, 0x2A, 0x1E}));
}

TEST(CommandCodes, TheFourteenCodesHaveTheirValuesAndNames) {
    const std::pair<CommandCode, int> table[] = {
        {CommandCode::READ_POSITION, 0},
        {CommandCode::OPEN, 1},
        {CommandCode::STOP, 2},
        {CommandCode::CLOSE, 3},
        {CommandCode::PROPORTIONAL_CONTROL, 4},
        {CommandCode::PULL_START_ON, 19},
        {CommandCode::PULL_START_OFF, 20},
        {CommandCode::BROADCAST_READ_ADDRESS, 32},
        {CommandCode::PAIRING, 128},
        {CommandCode::RESTORE_FACTORY_DIRECTION, 161},
        {CommandCode::RESERVED_ON, 163},
        {CommandCode::RESERVED_OFF, 164},
        {CommandCode::RESTORE_FACTORY_RESERVED, 165},
        {CommandCode::CHANGE_DIRECTION, 177},
    };
    int named = 0;
    for (int b = 0; b < 256; ++b) named += !command_name(static_cast<std::uint8_t>(b)).empty();
    EXPECT_EQ(named, 14);
    for (auto [code, value] : table) {
        EXPECT_EQ(static_cast<int>(code), value);
        EXPECT_EQ(command_from_byte(static_cast<std::uint8_t>(value)), code);
    }
    EXPECT_FALSE(command_from_byte(162).has_value());
    EXPECT_EQ(command_name(177), "CHANGE_DIRECTION");
}

}  // namespace
}  // namespace motor
