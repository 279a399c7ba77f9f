#pragma once

// The throw-away PostgreSQL cluster the CTest fixture "postgres" starts
// (tests/support/pg-cluster.sh): fresh databases on it, and the means to crash and restart it.

#include <pqxx/pqxx>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

#ifndef KESTREL_TEST_SERVER_STATE
#error "KESTREL_TEST_SERVER_STATE names the fixture's state file"
#endif

namespace kestrel::test {

// What the fixture wrote: "connection=..." of the superuser kestrel_admin on database postgres.
inline std::string serverStateValue(const std::string& key)
{
    std::ifstream state(KESTREL_TEST_SERVER_STATE);
    std::string line;
    while (std::getline(state, line))
        if (line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    throw std::runtime_error("no test server: the CTest fixture \"postgres\" did not start it (" +
        std::string(KESTREL_TEST_SERVER_STATE) + ")");
}

inline std::string adminConnection() { return serverStateValue("connection"); }

// The same connection to another database, or as another user (with a password).
inline std::string connectionTo(const std::string& database, const std::string& user = "kestrel_admin",
    const std::string& password = "")
{
    std::string connection = adminConnection();
    const auto replace = [&](const std::string& key, const std::string& value) {
        const auto at = connection.find(key + "=");
        const auto end = connection.find(' ', at);
        connection.replace(at, end == std::string::npos ? std::string::npos : end - at, key + "=" + value);
    };
    replace("dbname", database);
    replace("user", user);
    if (!password.empty())
        connection += " password=" + password;
    return connection;
}

// Over TCP with TLS, the server's certificate checked against the cluster's CA and its
// name (sslmode=verify-full), as README tells engineers to connect.
inline std::string tlsConnectionTo(const std::string& database, const std::string& user, const std::string& password)
{
    std::string connection = serverStateValue("tls_connection");
    connection.replace(connection.find("dbname=postgres"), 15, "dbname=" + database);
    connection.replace(connection.find("user=kestrel_admin"), 18, "user=" + user);
    return connection + " password=" + password;
}

// A new, empty database of its own for one test.
inline std::string freshServerDatabaseName()
{
    static std::atomic<int> counter{0};
    std::random_device random;
    const std::string name = "kestrel_test_" + std::to_string(random() % 1000000000u) + "_" + std::to_string(++counter);
    pqxx::connection admin(adminConnection());
    pqxx::nontransaction tx(admin);
    tx.exec("CREATE DATABASE " + name);
    return name;
}

inline std::string freshServerDatabase() { return connectionTo(freshServerDatabaseName()); }

// Runs SQL as the cluster's superuser on a database.
inline void asAdmin(const std::string& database, const std::string& sql)
{
    pqxx::connection admin(connectionTo(database));
    pqxx::nontransaction tx(admin);
    tx.exec(sql);
}

// A login role of the cluster, there already or created now (tests on other databases
// may create the same role at the same moment).
inline void ensureLoginRole(const std::string& name, const std::string& password, const std::string& memberOf = "")
{
    asAdmin("postgres", "DO $$ BEGIN CREATE ROLE " + name + " LOGIN PASSWORD '" + password + "'"
        + (memberOf.empty() ? "" : " IN ROLE " + memberOf)
        + "; EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL; END $$");
}

// pg_ctl stop -m immediate (the server dies as in a power cut), and a restart.
inline void crashServer()
{
    const std::string command = std::string("bash \"") + KESTREL_TEST_SERVER_SCRIPT + "\" crash \"" + KESTREL_TEST_SERVER_STATE + "\"";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("the test server did not stop");
}

inline void restartServer()
{
    const std::string command = std::string("bash \"") + KESTREL_TEST_SERVER_SCRIPT + "\" restart \"" + KESTREL_TEST_SERVER_STATE + "\"";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("the test server did not start again");
}

} // namespace kestrel::test
