// kestrel-cli fleet: one row per crane of the archive, its design working period the
// same as `life` gives for the crane's newest reading.
#include "CliRun.h"
#include "cli/Commands.h"
#include "core/image/DataFile.h"
#include "core/fleet/FleetOverview.h"

#include "core/fleet/FleetSample.h"
#include "support/TempDir.h"

#ifdef KESTREL_HAVE_ARCHIVE
#include "support/ArchiveDamage.h"
#endif

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace kestrel::cli {
namespace {

#ifdef KESTREL_HAVE_ARCHIVE
class FleetCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Three cranes of 4, 3 and 1 readings; the files of each, oldest first.
        Args import{"archive", "import", "--archive", db};
        for (std::uint32_t crane : {3u, 8u, 11u}) {
            files.emplace_back();
            const auto readings = test::fleetSampleCrane(crane, crane == 3 ? 4 : crane == 8 ? 3 : 1);
            for (std::size_t k = 0; k < readings.size(); ++k) {
                files.back().push_back(dir.file("c" + std::to_string(crane) + "-" + std::to_string(k) + ".bbd"));
                saveImage(files.back().back(), readings[k]);
                import.push_back(files.back().back());
            }
        }
        ASSERT_EQ(run(import).code, 0);
    }

    nlohmann::json fleetJson(const Args& extra = {})
    {
        Args args{"fleet", "--archive", db, "--json", "--today", "2026-06-01"};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliRun fleet = run(args);
        EXPECT_EQ(fleet.code, 0) << fleet.err;
        return nlohmann::json::parse(fleet.out);
    }

    test::TempDir dir;
    std::string db = dir.file("archive.sqlite");
    std::vector<std::vector<std::string>> files;
};

TEST_F(FleetCommand, EachCraneAssessedAsLifeAssessesItsNewestReading)
{
    const nlohmann::json fleet = fleetJson();
    ASSERT_EQ(fleet["cranes"].size(), 3u);
    EXPECT_EQ(fleet["readings"], 8);
    const std::uint32_t cranes[] = {3, 8, 11};
    for (std::size_t c = 0; c < 3; ++c) {
        nlohmann::json row;
        for (const nlohmann::json& candidate : fleet["cranes"])
            if (candidate["crane_number"] == test::sampleCraneNumber(cranes[c]))
                row = candidate;
        ASSERT_FALSE(row.is_null());
        const CliRun life = run({"life", files[c].back(), "--archive", db, "--json"});
        ASSERT_EQ(life.code, 0) << life.err;
        const nlohmann::json assessed = nlohmann::json::parse(life.out);
        ASSERT_FALSE(assessed["crane"]["used_share"].is_null());
        EXPECT_DOUBLE_EQ(row["used_percent"].get<double>(), assessed["crane"]["used_share"].get<double>() * 100.0);
        EXPECT_EQ(row["verdict"], assessed["crane"]["verdict"]);
        EXPECT_EQ(row["recorder"], assessed["reading"]["recorder_number"]);
        EXPECT_EQ(row["readings"], files[c].size());
    }
}

TEST_F(FleetCommand, DesignKeptInTheArchiveCountsAndMarksTheCrane)
{
    // A small design group makes the crane's share large: marked, and the same as life's.
    ASSERT_EQ(run({"life", files[0].back(), "--archive", db, "--group", "A1"}).code, 0);
    const nlohmann::json row = fleetJson()["cranes"][0];
    const nlohmann::json life = nlohmann::json::parse(run({"life", files[0].back(), "--archive", db, "--json"}).out);
    EXPECT_DOUBLE_EQ(row["used_percent"].get<double>(), life["crane"]["used_share"].get<double>() * 100.0);
    EXPECT_EQ(row["near_limit"], row["used_percent"].get<double>() >= 90.0);
    EXPECT_EQ(row["near_limit"], true);

    const CliRun text = run({"fleet", "--archive", db, "--today", "2026-06-01", "--locale", "ru_RU"});
    ASSERT_EQ(text.code, 0) << text.err;
    EXPECT_NE(text.out.find(kFleetMarkNear), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("Кранов: 3, считываний: 8"), std::string::npos) << text.out;
}

TEST_F(FleetCommand, DaysSinceCountToTheDayGivenAndOldReadingsAreMarked)
{
    const nlohmann::json now = fleetJson();
    const int days = now["cranes"][1]["days_since"];
    const nlohmann::json later = fleetJson({"--today", "2027-06-01"});
    EXPECT_EQ(later["cranes"][1]["days_since"].get<int>(), days + 365);
    EXPECT_EQ(later["cranes"][1]["overdue"], days + 365 > 365);
}

TEST_F(FleetCommand, ADamagedNewestReadingIsSkippedAndSaid)
{
    // The newest reading of the first crane is its fourth stored one.
    kestrel::test::flipStoredBit(db, 4);
    const CliRun fleet = run({"fleet", "--archive", db, "--json", "--today", "2026-06-01"});
    ASSERT_EQ(fleet.code, 0) << fleet.err;
    const nlohmann::json row = nlohmann::json::parse(fleet.out)["cranes"][0];
    EXPECT_EQ(row["newest_id"], 3);
    EXPECT_EQ(row["damaged"], 1);
    EXPECT_NE(fleet.err.find("Пропущено поврежденных считываний: 1"), std::string::npos) << fleet.err;
    // The crane is assessed as life assesses the newest good reading.
    const nlohmann::json life = nlohmann::json::parse(run({"life", files[0][2], "--archive", db, "--json"}).out);
    EXPECT_DOUBLE_EQ(row["used_percent"].get<double>(), life["crane"]["used_share"].get<double>() * 100.0);
}

// The overview reads only the readings around erases, found by the counters the archive
// lists; an erase of the motor minutes alone must count as `life` counts it.
TEST_F(FleetCommand, ACraneWhoseRecorderWasErasedIsAssessedAsLifeAssessesIt)
{
    std::vector<MemoryImage> readings = test::fleetSampleCrane(21, 8);
    test::eraseSampleBefore(readings, 3, false, true);
    test::eraseSampleBefore(readings, 6, true, false);
    Args import{"archive", "import", "--archive", db};
    for (std::size_t k = 0; k < readings.size(); ++k) {
        import.push_back(dir.file("e" + std::to_string(k) + ".bbd"));
        saveImage(import.back(), readings[k]);
    }
    const CliRun imported = run(import);
    ASSERT_EQ(imported.code, 0) << imported.err;
    const nlohmann::json fleet = fleetJson();
    nlohmann::json row;
    for (const nlohmann::json& candidate : fleet["cranes"])
        if (candidate["crane_number"] == test::sampleCraneNumber(21))
            row = candidate;
    ASSERT_FALSE(row.is_null()) << fleet.dump(1);
    const CliRun life = run({"life", import.back(), "--archive", db, "--json"});
    ASSERT_EQ(life.code, 0) << life.err;
    const nlohmann::json assessed = nlohmann::json::parse(life.out);
    EXPECT_DOUBLE_EQ(row["used_percent"].get<double>(), assessed["crane"]["used_share"].get<double>() * 100.0);
    EXPECT_EQ(row["verdict"], assessed["crane"]["verdict"]);
}

TEST_F(FleetCommand, CsvHasTheHeaderAndARowPerCrane)
{
    const CliRun csv = run({"fleet", "--archive", db, "--csv", "--today", "2026-06-01"});
    ASSERT_EQ(csv.code, 0) << csv.err;
    EXPECT_EQ(csv.out.rfind("Тип крана,Зав. № крана,Владелец,", 0), 0u) << csv.out;
    std::size_t lines = 0;
    for (std::size_t at = csv.out.find("\r\n"); at != std::string::npos; at = csv.out.find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(lines, 4u);
}
#endif

TEST(FleetCommandUsage, RefusesWhatCannotBeDone)
{
    EXPECT_EQ(run({"fleet", "--today", "01.06.2026"}).code, kExitUsage);
    EXPECT_EQ(run({"fleet", "--today", "2026-02-30"}).code, kExitUsage);
    EXPECT_EQ(run({"fleet", "--json", "--csv"}).code, kExitUsage);
    EXPECT_EQ(run({"fleet", "--archive", "a.sqlite", "--server", "dbname=kestrel"}).code, kExitUsage);
#ifndef KESTREL_HAVE_SERVER
    const CliRun server = run({"fleet", "--server", "dbname=kestrel"});
    EXPECT_EQ(server.code, kExitUsage);
    EXPECT_NE(server.err.find("собрана без библиотеки PostgreSQL"), std::string::npos) << server.err;
#endif
}

} // namespace
} // namespace kestrel::cli
