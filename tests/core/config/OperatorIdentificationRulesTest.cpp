#include "core/config/OperatorIdentificationRules.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(OperatorIdentificationRules, DefaultAccessCodeFramesTheSerialNumberUncut)
{
    EXPECT_EQ(defaultAccessCode(""), "##");
    EXPECT_EQ(defaultAccessCode("77"), "#77#");
    EXPECT_EQ(defaultAccessCode("1234567890ABCDEF"), "#1234567890ABCDEF#");
    EXPECT_EQ(defaultAccessCode("1234567890ABCDEF").size(), 18U);
}

} // namespace
} // namespace kestrel
