#include "open_port_table.h"

#include <gtest/gtest.h>

namespace motor::serial_backend {
namespace {

TEST(OpenPortTable, APortIsHeldOnceUntilItsClaimEnds) {
    {
        const OpenPortClaim first("\\\\.\\COM7");
        EXPECT_TRUE(first.held());
        EXPECT_FALSE(OpenPortClaim("\\\\.\\COM7").held());
        EXPECT_FALSE(OpenPortClaim("\\\\.\\com7").held());  // one port, whatever the case
        EXPECT_TRUE(OpenPortClaim("\\\\.\\COM8").held());
    }
    EXPECT_TRUE(OpenPortClaim("\\\\.\\COM7").held());
}

TEST(OpenPortTable, AMovedClaimHoldsThePortAndTheEmptiedOneNothing) {
    OpenPortClaim first("\\\\.\\COM7");
    {
        const OpenPortClaim moved(std::move(first));
        EXPECT_TRUE(moved.held());
        EXPECT_FALSE(first.held());
    }
    EXPECT_TRUE(OpenPortClaim("\\\\.\\COM7").held());
}

}  // namespace
}  // namespace motor::serial_backend
