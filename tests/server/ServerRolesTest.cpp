#include "cli/CliRun.h"
#include "core/archive/SqliteArchive.h"
#include "core/server/ServerArchive.h"
#include "core/sync/ArchiveSync.h"
#include "core/server/ServerConnection.h"
#include "core/server/ServerErrors.h"
#include "server/ServerTestImages.h"
#include "support/TempDir.h"
#include "support/TestServer.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::asAdmin;
using test::connectionTo;

// One database set up as the administrator would, with an engineer and an auditor.
class ServerRolesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        database_ = test::freshServerDatabaseName();
        const auto init = cli::run({"server", "init", "--server", connectionTo(database_)});
        ASSERT_EQ(init.code, 0) << init.err;
        EXPECT_NE(init.out.find("kestrel_engineer"), std::string::npos) << init.out;
        // Repeating it changes nothing and says so.
        const auto again = cli::run({"server", "init", "--server", connectionTo(database_)});
        ASSERT_EQ(again.code, 0) << again.err;
        EXPECT_NE(again.out.find("уже были"), std::string::npos) << again.out;
        test::ensureLoginRole("kestrel_test_engineer", "eng", "kestrel_engineer");
        test::ensureLoginRole("kestrel_test_auditor", "aud", "kestrel_auditor");
    }

    std::string engineer() const { return connectionTo(database_, "kestrel_test_engineer", "eng"); }
    std::string auditor() const { return connectionTo(database_, "kestrel_test_auditor", "aud"); }

    std::string database_;
};

TEST_F(ServerRolesTest, AnEngineerAddsAndReadsButCannotDeleteOrChangeAReading)
{
    auto archive = openServerArchive(engineer());
    const auto images = test::demoReadings(21, 1, 2);
    archive->storeAll(images);
    archive->setDesign({"КПМ", "7"}, {"A5", "", "", ""});
    ASSERT_EQ(archive->readings().size(), 2u);

    ServerConnection direct(engineer());
    for (const char* sql : {"DELETE FROM kestrel.readings", "UPDATE kestrel.readings SET source = 'x'",
             "DELETE FROM kestrel.design_changes"}) {
        try {
            onServer("удалить считывания", [&] {
                pqxx::work tx(direct.connection());
                tx.exec(sql);
                tx.commit();
            });
            FAIL() << sql << " was allowed";
        } catch (const ArchiveError& e) {
            EXPECT_NE(std::string(e.what()).find("нет такого права"), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(archive->readings().size(), 2u);
}

TEST_F(ServerRolesTest, AnAuditorReadsEverythingAndChangesNothing)
{
    openServerArchive(engineer())->storeAll(test::demoReadings(31, 1, 2));
    auto archive = openServerArchive(auditor());
    const auto list = archive->readings();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_TRUE(archive->image(list[0].id).has_value());
    try {
        archive->store(makeDemoImage(99), "auditor.bbd");
        FAIL() << "an auditor stored a reading";
    } catch (const ArchiveError& e) {
        EXPECT_NE(std::string(e.what()).find("Сервер команды не разрешил сохранить считывания"), std::string::npos)
            << e.what();
    }
    EXPECT_THROW(archive->setDesign({"КПМ", "7"}, {"A5", "", "", ""}), ArchiveError);
    EXPECT_EQ(openServerArchive(engineer())->readings().size(), 2u);
}

TEST_F(ServerRolesTest, AnAuditorsSyncBringsEverythingDownAndSaysWhatCouldNotGoUp)
{
    openServerArchive(engineer())->storeAll(test::demoReadings(41, 1, 3));
    test::TempDir dir;
    auto laptop = openSqliteArchive(dir.file("auditor.sqlite"));
    laptop->store(makeDemoImage(77), "own.bbd");
    laptop->setDesign({"КПМ", "9"}, {"A4", "", "", ""});
    auto server = openServerArchive(auditor());
    SyncOptions all;
    all.allReadings = true;
    const SyncReport report = synchroniseArchives(*laptop, *server, all);
    EXPECT_EQ(report.sent, 0u);
    EXPECT_EQ(report.fetched, 3u);
    EXPECT_NE(report.sendRefused.find("не разрешил"), std::string::npos) << report.sendRefused;
    EXPECT_NE(syncReportText(report).find("На сервер ничего не отправлено"), std::string::npos);
    EXPECT_EQ(laptop->readings().size(), 4u);
    EXPECT_EQ(server->readings().size(), 3u);
    EXPECT_TRUE(server->designs().empty());

    const auto cli = cli::run({"archive", "sync", "--archive", dir.file("auditor.sqlite"), "--server", auditor()});
    EXPECT_EQ(cli.code, 1);
    EXPECT_NE(cli.err.find("на сервер ничего не отправлено"), std::string::npos) << cli.err;
}

TEST(ServerInitTest, AnEmptyDatabaseIsNotCreatedByAnEngineerWithoutTheRight)
{
    const std::string database = test::freshServerDatabaseName();
    asAdmin(database, "REVOKE CREATE ON DATABASE " + database + " FROM PUBLIC");
    test::ensureLoginRole("kestrel_test_plain", "p");
    try {
        openServerArchive(connectionTo(database, "kestrel_test_plain", "p"));
        FAIL() << "opened";
    } catch (const ArchiveError& e) {
        EXPECT_NE(std::string(e.what()).find("kestrel-cli server init"), std::string::npos) << e.what();
    }
}

} // namespace
} // namespace kestrel
