#include "cli/CliRun.h"
#include "core/demo/DemoImage.h"
#include "core/image/DataFile.h"
#include "support/TempDir.h"
#include "support/TestServer.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using cli::run;

TEST(ArchiveSyncCommandTest, SendsFetchesAndSaysWhatItDid)
{
    test::TempDir dir;
    const std::string server = test::freshServerDatabase();
    saveImage(dir.file("one.bbd"), makeDemoImage(41));
    saveImage(dir.file("two.bbd"), makeDemoImage(42));
    ASSERT_EQ(run({"archive", "import", "--archive", dir.file("a.sqlite"), dir.file("one.bbd"), dir.file("two.bbd")}).code, 0);

    const auto sent = run({"archive", "sync", "--archive", dir.file("a.sqlite"), "--server", server});
    ASSERT_EQ(sent.code, 0) << sent.err;
    EXPECT_EQ(sent.out, "sent 2, fetched 0, designs sent 0, designs fetched 0\n");
    // Another laptop knows none of these recorders: only --all brings them.
    const auto own = run({"archive", "sync", "--archive", dir.file("b.sqlite"), "--server", server});
    EXPECT_EQ(own.out, "sent 0, fetched 0, designs sent 0, designs fetched 0\n");
    const auto all = run({"archive", "sync", "--archive", dir.file("b.sqlite"), "--server", server, "--all"});
    EXPECT_EQ(all.out, "sent 0, fetched 2, designs sent 0, designs fetched 0\n");
    const auto list = run({"archive", "list", "--archive", dir.file("b.sqlite"), "--csv"});
    EXPECT_NE(list.out.find("one.bbd"), std::string::npos) << list.out;
}

TEST(ArchiveSyncCommandTest, RefusesWhatCannotWorkInWords)
{
    test::TempDir dir;
    const auto noServer = run({"archive", "sync", "--archive", dir.file("a.sqlite")});
    EXPECT_EQ(noServer.code, 2);
    EXPECT_NE(noServer.err.find("--server"), std::string::npos) << noServer.err;
    const auto misplaced = run({"archive", "list", "--archive", dir.file("a.sqlite"), "--all"});
    EXPECT_EQ(misplaced.code, 2);

    const std::string foreign = test::freshServerDatabaseName();
    test::asAdmin(foreign, "CREATE TABLE orders (id int)");
    const auto refused = run({"archive", "sync", "--archive", dir.file("a.sqlite"), "--server", test::connectionTo(foreign)});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("не является архивом Kestrel"), std::string::npos) << refused.err;

    const auto initRefused = run({"server", "init", "--server", test::connectionTo(foreign)});
    EXPECT_EQ(initRefused.code, 1);
    EXPECT_NE(initRefused.err.find("не является архивом Kestrel"), std::string::npos) << initRefused.err;
}

} // namespace
} // namespace kestrel
