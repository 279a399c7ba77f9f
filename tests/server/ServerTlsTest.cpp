// The team server over the network, as engineers reach it: TCP with TLS, the server's
// certificate checked (sslmode=verify-full), and what happens when it is not the one expected.
#include "cli/CliRun.h"
#include "core/server/ServerArchive.h"
#include "server/ServerTestImages.h"
#include "support/TestServer.h"

#include <gtest/gtest.h>
#include <pqxx/pqxx>

namespace kestrel {
namespace {

class ServerTlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        database_ = test::freshServerDatabaseName();
        ASSERT_EQ(cli::run({"server", "init", "--server", test::connectionTo(database_)}).code, 0);
        test::ensureLoginRole("kestrel_test_tls", "tls", "kestrel_engineer");
    }

    std::string tls() const { return test::tlsConnectionTo(database_, "kestrel_test_tls", "tls"); }

    std::string refusalOf(const std::string& connection) const
    {
        try {
            openServerArchive(connection);
        } catch (const ArchiveError& e) {
            return e.what();
        }
        return "";
    }

    std::string database_;
};

TEST_F(ServerTlsTest, StoresAndReadsOverAVerifiedTlsConnection)
{
    auto archive = openServerArchive(tls());
    const auto images = test::demoReadings(31, 1, 2);
    const auto stored = archive->storeAll(images);
    // The bytes come over the archive's second connection: the same text, so TLS too.
    EXPECT_EQ(archive->image(stored[1].id), images[1].image);
    ASSERT_EQ(archive->readings().size(), 2u);

    pqxx::connection direct(tls());
    pqxx::nontransaction tx(direct);
    EXPECT_TRUE(tx.exec("SELECT ssl FROM pg_stat_ssl WHERE pid = pg_backend_pid()")[0][0].as<bool>());
    // Every session of the test role is encrypted: none went over plain TCP.
    EXPECT_EQ(tx.exec("SELECT count(*) FROM pg_stat_activity a JOIN pg_stat_ssl s USING (pid) "
                      "WHERE a.usename = 'kestrel_test_tls' AND NOT s.ssl")[0][0]
                  .as<int>(),
        0);
}

// A server whose certificate another CA signed, or that answers under another name, is
// not spoken to: refused in words before anything is sent.
TEST_F(ServerTlsTest, RefusesAServerItCannotVerify)
{
    std::string otherCa = tls();
    otherCa.replace(otherCa.find("sslrootcert="), std::string::npos, "sslrootcert=" + test::serverStateValue("other_ca")
            + " password=tls");
    const std::string wrongCa = refusalOf(otherCa);
    EXPECT_EQ(wrongCa.rfind("Сервер не подтвердил, что он сервер команды", 0), 0u) << wrongCa;
    EXPECT_NE(wrongCa.find("certificate verify failed"), std::string::npos) << wrongCa;

    std::string byAddress = tls();
    byAddress.replace(byAddress.find("host=localhost"), 14, "host=127.0.0.1");
    const std::string wrongName = refusalOf(byAddress);
    EXPECT_EQ(wrongName.rfind("Сервер не подтвердил, что он сервер команды", 0), 0u) << wrongName;
    EXPECT_NE(wrongName.find("does not match host name \"127.0.0.1\""), std::string::npos) << wrongName;

    // Plain TCP is not accepted by this server at all (hostssl only).
    std::string plain = tls();
    plain.replace(plain.find("sslmode=verify-full"), 19, "sslmode=disable");
    EXPECT_NE(refusalOf(plain).find("Не удается подключиться"), std::string::npos);
    EXPECT_TRUE(openServerArchive(tls())->readings().empty());
}

} // namespace
} // namespace kestrel
