#include "cli/Commands.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kestrel::cli {
namespace {

TEST(CliUsage, NoCommandOrUnknownCommandIsAUsageError)
{
    std::ostringstream out, err;
    EXPECT_EQ(runCli({}, out, err), kExitUsage);
    EXPECT_NE(err.str().find("usage:"), std::string::npos);
    EXPECT_EQ(runCli({"frobnicate"}, out, err), kExitUsage);
}

} // namespace
} // namespace kestrel::cli
