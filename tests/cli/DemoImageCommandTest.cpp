#include "cli/Commands.h"
#include "core/demo/DemoHistory.h"
#include "core/demo/DemoImage.h"
#include "core/image/DataFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace kestrel::cli {
namespace {

struct DemoImageCommand : ::testing::Test {
    test::TempDir dir;
    std::ostringstream out, err;
    int run(const Args& args)
    {
        out.str({});
        err.str({});
        return runCli(args, out, err);
    }
};

TEST_F(DemoImageCommand, WritesTheImageOfTheSeedDefaultingToOne)
{
    ASSERT_EQ(run({"demo-image", "-o", dir.file("a.bbd")}), kExitOk) << err.str();
    EXPECT_EQ(std::filesystem::file_size(dir.file("a.bbd")), kImageSize);
    EXPECT_EQ(readImageFile(dir.file("a.bbd")), makeDemoImage(1));

    ASSERT_EQ(run({"demo-image", "--seed", "4294967295", "-o", dir.file("b.bbd")}), kExitOk) << err.str();
    EXPECT_EQ(readImageFile(dir.file("b.bbd")), makeDemoImage(4294967295u));
    EXPECT_TRUE(out.str().empty());
}

TEST_F(DemoImageCommand, WritesAHistoryOfYearlyReadingsIntoAFolder)
{
    ASSERT_EQ(run({"demo-image", "--seed", "3", "--history", "3", "-o", dir.file("history")}), kExitOk) << err.str();
    EXPECT_EQ(readImageFile(dir.file("history/reading-3.bbd")), makeDemoImage(3));
    EXPECT_TRUE(std::filesystem::exists(dir.file("history/reading-1.bbd")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("history/reading-4.bbd")));
    EXPECT_EQ(run({"demo-image", "--history", "0", "-o", dir.file("none")}), kExitUsage);
}

// Fewer readings fit after the demo recorder's installation day than may be asked for:
// the command refuses rather than writing fewer files than asked and saying nothing.
TEST_F(DemoImageCommand, AHistoryLongerThanTheRecordersIsRefusedWithHowManyFit)
{
    const int limit = demoHistoryLimit(1);
    ASSERT_GE(limit, 2);
    ASSERT_LT(limit, 100);
    ASSERT_EQ(run({"demo-image", "--history", std::to_string(limit), "-o", dir.file("fits")}), kExitOk) << err.str();
    EXPECT_TRUE(std::filesystem::exists(dir.file("fits/reading-" + std::to_string(limit) + ".bbd")));
    EXPECT_EQ(makeDemoHistory(1, 100).size(), static_cast<std::size_t>(limit));

    EXPECT_EQ(run({"demo-image", "--history", std::to_string(limit + 1), "-o", dir.file("more")}), kExitUsage);
    EXPECT_NE(err.str().find("не более " + std::to_string(limit) + " ежегодных считываний, а задано "
                  + std::to_string(limit + 1)),
        std::string::npos) << err.str();
    EXPECT_FALSE(std::filesystem::exists(dir.file("more")));
    EXPECT_EQ(run({"demo-image", "--history", "100", "-o", dir.file("more")}), kExitUsage);
}

TEST_F(DemoImageCommand, UsageErrors)
{
    EXPECT_EQ(run({"demo-image"}), kExitUsage);
    EXPECT_EQ(run({"demo-image", "-o"}), kExitUsage);
    EXPECT_EQ(run({"demo-image", "--seed", "x", "-o", dir.file("a.bbd")}), kExitUsage);
    EXPECT_EQ(run({"demo-image", "--seed", "-1", "-o", dir.file("a.bbd")}), kExitUsage);
    EXPECT_EQ(run({"demo-image", "--seed", "4294967296", "-o", dir.file("a.bbd")}), kExitUsage);
    EXPECT_EQ(run({"demo-image", "extra", "-o", dir.file("a.bbd")}), kExitUsage);
    EXPECT_NE(err.str().find("Использование: kestrel-cli demo-image"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.bbd")));
}

TEST_F(DemoImageCommand, UnwritableFileGivesTheSystemsReason)
{
    EXPECT_EQ(run({"demo-image", "-o", dir.file("no/such/dir.bbd")}), kExitFileError);
    EXPECT_NE(err.str().find("No such file or directory"), std::string::npos) << err.str();
    EXPECT_EQ(run({"demo-image", "-o", dir.path().string()}), kExitFileError);
    EXPECT_NE(err.str().find("это папка, а не файл"), std::string::npos) << err.str();
}

} // namespace
} // namespace kestrel::cli
