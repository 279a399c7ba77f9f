#include "CliRun.h"
#include "cli/Commands.h"
#include "core/demo/DemoImage.h"
#include "core/image/DataFile.h"
#include "core/oplog/OperationalChart.h"
#include "core/oplog/OplogTestLog.h"
#include "core/pipeline/Pipeline.h"
#include "core/records/CycleRecordLookup.h"
#include "core/ui/ScriptedUserInterface.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

namespace kestrel::cli {
namespace {

class OplogCommand : public ::testing::Test {
protected:
    test::TempDir dir;

    std::string demoFile(std::uint32_t seed)
    {
        const std::string name = dir.file("demo" + std::to_string(seed) + ".bbd");
        saveImage(name, makeDemoImage(seed));
        return name;
    }
};

TEST_F(OplogCommand, RowOpensTheSectionOfItsRecordAsJson)
{
    const std::string file = demoFile(11);
    Session session;
    session.image = makeDemoImage(11);
    ScriptedUserInterface ui;
    decodeRecords(session, ui);
    const auto& row = session.cycleRows[35]; // a limiter trip
    ASSERT_TRUE(row.hasDetail);

    const CliRun r = run({"oplog", file, "--row", "35", "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    const auto doc = nlohmann::ordered_json::parse(r.out);
    std::vector<std::string> keys;
    for (const auto& [key, value] : doc.items())
        keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"stamp", "found", "title", "series", "pages"}));
    EXPECT_EQ(doc["stamp"], row.dateText);
    EXPECT_TRUE(doc["found"].template get<bool>());

    const auto record = findCycleRecord(session.image, row.dateText);
    ASSERT_TRUE(record.has_value());
    const OperationalChart chart = showOperationalSection(session.image, record->stamp);
    EXPECT_EQ(doc["title"], chart.title);
    ASSERT_EQ(doc["series"].size(), kOperationalSeriesCount);
    for (std::size_t i = 0; i < kOperationalSeriesCount; ++i) {
        const auto& s = doc["series"][i];
        EXPECT_EQ(s["title"], chart.series[i].title);
        EXPECT_EQ(s["checked"], chart.series[i].checked);
        ASSERT_EQ(s["points"].size(), chart.pointCount());
        for (std::size_t k = 0; k < chart.pointCount(); ++k) {
            const auto& p = s["points"][k];
            const OperationalPoint& expected = chart.series[i].points[k];
            EXPECT_EQ(p["label"], expected.label);
            if (expected.value)
                EXPECT_DOUBLE_EQ(p["value"].template get<double>(), *expected.value);
            else
                EXPECT_TRUE(p["value"].is_null());
            // Colours only on the event bars of "Служебный".
            EXPECT_EQ(p.contains("color"), expected.color.has_value());
        }
    }
    EXPECT_EQ(doc["pages"]["Цикл"], 1);
    EXPECT_EQ(doc["pages"]["20 секунд"], static_cast<int>((chart.pointCount() + 19) / 20));
}

TEST_F(OplogCommand, StampWithNextAndTheReadableText)
{
    test::OplogTestLog log;
    log.at(0).mark(test::kStampA).bytes({0x1B, 50}).mark(test::kStampB).bytes({0x00, 20, 0x00, 30});
    const std::string file = dir.file("log.bbd");
    saveImage(file, log.image);

    const CliRun first = run({"oplog", file, "--stamp", "07.12.2026 14:30 ", "--yes"});
    ASSERT_EQ(first.code, kExitOk) << first.err;
    EXPECT_NE(first.out.find("Метка времени: 07.12.2026 14:30     Длительность: 0 мин 2 с\n"), std::string::npos);
    EXPECT_NE(first.out.find("5 вкл #008000"), std::string::npos) << first.out;

    // The closing blank may be left out; "След." once moves to the second section.
    const CliRun next = run({"oplog", file, "--stamp", "07.12.2026 14:30", "--next", "1", "--json", "--yes"});
    ASSERT_EQ(next.code, kExitOk) << next.err;
    const auto doc = nlohmann::ordered_json::parse(next.out);
    EXPECT_EQ(doc["stamp"], "07.12.2026 14:31 ");
    EXPECT_EQ(doc["series"][0]["points"][1]["value"], 30.0);

    // "След." goes round the log: twice from the first section is the first again.
    const CliRun round = run({"oplog", file, "--stamp", "07.12.2026 14:30", "--next", "2", "--json", "--yes"});
    EXPECT_EQ(nlohmann::ordered_json::parse(round.out)["stamp"], "07.12.2026 14:30 ");

    // A log without any valid stamp: the message, and the chart shown so far.
    const std::string emptyFile = dir.file("empty.bbd");
    saveImage(emptyFile, MemoryImage{});
    const CliRun none = run({"oplog", emptyFile, "--stamp", "07.12.2026 14:30", "--next", "1", "--json", "--yes"});
    EXPECT_EQ(none.code, kExitOk);
    EXPECT_NE(none.err.find(kNoNextSectionMessage), std::string::npos);
    EXPECT_FALSE(nlohmann::ordered_json::parse(none.out)["found"].template get<bool>());
}

TEST_F(OplogCommand, MissingStampIsReportedNotFailed)
{
    const std::string file = demoFile(3);
    const CliRun text = run({"oplog", file, "--stamp", "01.01.2001 00:00"});
    EXPECT_EQ(text.code, kExitOk);
    EXPECT_EQ(text.out, "Записей с меткой времени <01.01.2001 00:00 > в оперативной памяти не найдено!\n");
    const CliRun json = run({"oplog", file, "--stamp", "01.01.2001 00:00", "--json"});
    const auto doc = nlohmann::ordered_json::parse(json.out);
    EXPECT_FALSE(doc["found"].template get<bool>());
    EXPECT_EQ(doc["series"].size(), kOperationalSeriesCount);
    EXPECT_TRUE(doc["series"][0]["points"].empty());
}

TEST_F(OplogCommand, RefusesUnusableArguments)
{
    const std::string file = demoFile(3);
    for (const Args& args : std::vector<Args>{{"oplog", file},
             {"oplog", file, "--row", "1", "--stamp", "01.01.2001 00:00"},
             {"oplog", file, "--row", "64"},
             {"oplog", file, "--row", "1", "--next", "-1"},
             {"oplog", file, "--stamp", "31.02.1999 00:00"},
             {"oplog", file, "--stamp", "1.1.2020 0:00"},
             {"oplog", "--row", "1"}}) {
        const CliRun r = run(args);
        EXPECT_EQ(r.code, kExitUsage) << args.back();
        EXPECT_NE(r.err.find("Использование: kestrel-cli oplog"), std::string::npos);
    }
    // A row without a record (empty ring slot) opens nothing.
    MemoryImage empty{};
    const std::string emptyFile = dir.file("empty.bbd");
    saveImage(emptyFile, empty);
    EXPECT_EQ(run({"oplog", emptyFile, "--row", "0"}).code, kExitUsage);
    EXPECT_EQ(run({"oplog", dir.file("missing.bbd"), "--row", "0"}).code, kExitFileError);
}

} // namespace
} // namespace kestrel::cli
