// kestrel-cli life and the sixth document: the design working period of a reading, alone
// or with the recorder's earlier readings from the archive.
#include "CliRun.h"
#include "cli/Commands.h"
#include "core/demo/DemoHistory.h"
#include "core/image/DataFile.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/life/LifeAssessment.h"
#include "core/text/Cp1251.h"

#include "support/TempDir.h"

#ifdef KESTREL_HAVE_ARCHIVE
#include "support/ArchiveDamage.h"
#endif

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

namespace kestrel::cli {
namespace {

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class LifeCommand : public ::testing::Test {
protected:
    test::TempDir dir;
    std::vector<std::string> files;

    void SetUp() override
    {
        const auto history = makeDemoHistory(7, 3);
        for (std::size_t k = 0; k < history.size(); ++k) {
            files.push_back(dir.file("reading-" + std::to_string(k) + ".bbd"));
            saveImage(files.back(), history[k]);
        }
    }
};

TEST_F(LifeCommand, JsonHasEveryFigureAndNullWhereThereIsNone)
{
    // No archive named and none in this HOME-less run: the image alone.
    const std::string db = dir.file("none.sqlite");
    const CliRun alone = run({"life", files.back(), "--archive", db, "--json"});
    ASSERT_EQ(alone.code, 0) << alone.err;
    const auto json = nlohmann::json::parse(alone.out);
    const auto& crane = json["crane"];
    for (const char* key : {"group", "design_duty", "recorded_duty", "years_recorded", "rate_per_year",
             "years_before_recorder", "estimated_duty_before", "used_duty", "used_share", "remaining_duty",
             "years_left", "verdict"})
        EXPECT_TRUE(crane.contains(key)) << key;
    EXPECT_EQ(crane["group"], "A5");
    EXPECT_EQ(json["group_source"], "passport");
    EXPECT_EQ(crane["group_source"], "passport");
    EXPECT_EQ(crane["design_duty"], 125000.0);
    EXPECT_NEAR(crane["used_duty"].get<double>(),
        crane["recorded_duty"].get<double>() + crane["estimated_duty_before"].get<double>(), 1e-6);
    EXPECT_EQ(crane["verdict"], kVerdictWithin);
    EXPECT_TRUE(json["winch1"].is_null());
    // The passport's service life beside it, and the verdicts in the order the page shows them.
    const auto& normative = json["normative_life"];
    for (const char* key : {"years", "start", "start_basis", "end", "passed", "verdict"})
        EXPECT_TRUE(normative.contains(key)) << key;
    ASSERT_TRUE(json["verdicts"].is_array());
    EXPECT_EQ(json["verdicts"][0], normative["verdict"]);
    EXPECT_EQ(json["verdicts"][1], std::string("Кран: ") + kVerdictWithin);
    EXPECT_EQ(json["reading"]["recorder_number"], fixedTextTrimmed(readImageFile(files.back()), layout::kRecorderSerial, 16));
    EXPECT_EQ(json["readings"], 1);

    // Group 8: no design duty, said in words; winch groups as given.
    const auto unlimited = nlohmann::json::parse(
        run({"life", files.back(), "--archive", db, "--group", "A8", "--winch2", "М4", "--json"}).out);
    EXPECT_EQ(unlimited["crane"]["group"], "A8"); // what the user names comes before the passport
    EXPECT_EQ(unlimited["group_source"], "user");
    EXPECT_TRUE(unlimited["crane"]["design_duty"].is_null());
    EXPECT_EQ(unlimited["winch2"]["group"], "M4");
    EXPECT_EQ(unlimited["winch2"]["group_source"], "user");
    EXPECT_EQ(unlimited["winch2"]["design_duty"], 63000.0);
}

TEST_F(LifeCommand, TheArchiveAddsTheEarlierReadingsAndKeepsTheDesign)
{
    const std::string db = dir.file("archive.sqlite");
    ASSERT_EQ(run({"archive", "import", "--archive", db, files[0], files[1], files[2]}).code, 0);
    const CliRun first = run({"life", files[2], "--archive", db, "--winch1", "M6", "--json"});
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(nlohmann::json::parse(first.out)["readings"], 3);
    // The winch group was kept for the crane: the next run needs no option.
    const auto kept = nlohmann::json::parse(run({"life", files[2], "--archive", db, "--json"}).out);
    EXPECT_EQ(kept["winch1"]["group"], "M6");
    // An earlier reading's assessment does not see the later ones.
    EXPECT_EQ(nlohmann::json::parse(run({"life", files[0], "--archive", db, "--json"}).out)["readings"], 1);

    const CliRun text = run({"life", files[2], "--archive", db, "--locale", "ru_RU"});
    EXPECT_NE(text.out.find("Расчетная наработка D, циклов полной нагрузки"), std::string::npos);
    EXPECT_NE(text.out.find(std::string("Кран: ") + kVerdictWithin), std::string::npos);
    EXPECT_NE(text.out.find("Лебедка №1"), std::string::npos);
}

#ifdef KESTREL_HAVE_ARCHIVE
TEST_F(LifeCommand, ADamagedEarlierReadingIsLeftOutAndSaid)
{
    const std::string db = dir.file("archive.sqlite");
    ASSERT_EQ(run({"archive", "import", "--archive", db, files[0], files[1], files[2]}).code, 0);
    kestrel::test::flipStoredBit(db, 2); // files[1], imported second
    const CliRun life = run({"life", files[2], "--archive", db, "--json"});
    ASSERT_EQ(life.code, 0) << life.err;
    EXPECT_EQ(nlohmann::json::parse(life.out)["readings"], 2);
    EXPECT_NE(life.err.find("kestrel-cli life: Считывание №2 ("), std::string::npos) << life.err;
    EXPECT_NE(life.err.find("Срок службы оценен без него."), std::string::npos) << life.err;
}
#endif

TEST_F(LifeCommand, NormativeLifeFromThePassportAndItsVerdict)
{
    MemoryImage image = readImageFile(files.back());
    image[layout::kServiceLife] = 5; // every demo crane is older than that
    putFixedText(image, layout::kInServiceDate, 20, "12.05.2001 г.");
    const std::string old = dir.file("old.bbd");
    saveImage(old, image);
    const auto json = nlohmann::json::parse(
        run({"life", old, "--archive", dir.file("n.sqlite"), "--yes", "--json"}).out);
    const auto& normative = json["normative_life"];
    EXPECT_EQ(normative["years"], 5);
    EXPECT_EQ(normative["start"], "2001-05-12");
    EXPECT_EQ(normative["start_basis"], "commissioning");
    EXPECT_EQ(normative["end"], "2006-05-12");
    EXPECT_EQ(normative["passed"], true);
    EXPECT_NE(json["verdicts"][0].get<std::string>().find("требуется экспертиза промышленной безопасности"),
        std::string::npos);

    // No service life in the passport: words, no dates.
    image[layout::kServiceLife] = 0;
    saveImage(old, image);
    const auto none = nlohmann::json::parse(
        run({"life", old, "--archive", dir.file("n.sqlite"), "--yes", "--json"}).out)["normative_life"];
    EXPECT_TRUE(none["years"].is_null());
    EXPECT_TRUE(none["end"].is_null());
    EXPECT_TRUE(none["passed"].is_null());
    EXPECT_NE(none["verdict"].get<std::string>().find("не определен"), std::string::npos);
}

TEST_F(LifeCommand, GroupAndClassesAreOneChoice)
{
    const std::string db = dir.file("choice.sqlite");
    const auto life = [&](std::vector<std::string> options) {
        std::vector<std::string> args{"life", files.back(), "--archive", db, "--json"};
        args.insert(args.end(), options.begin(), options.end());
        const CliRun result = run(args);
        EXPECT_EQ(result.code, 0) << result.err;
        return nlohmann::json::parse(result.out);
    };
    EXPECT_EQ(life({"--design", "U5 Q3"})["crane"]["group"], "U5 Q3");
    EXPECT_EQ(life({})["crane"]["group"], "U5 Q3"); // kept for the crane
    // A group named later replaces the classes kept before, and is kept in their place.
    EXPECT_EQ(life({"--group", "А4"})["crane"]["group"], "A4");
    const auto kept = life({});
    EXPECT_EQ(kept["crane"]["group"], "A4");
    EXPECT_EQ(kept["group_source"], "user");

    const CliRun conflict = run({"life", files.back(), "--archive", db, "--group", "A7", "--design", "U5 Q3"});
    EXPECT_EQ(conflict.code, kExitUsage);
    EXPECT_NE(conflict.err.find("не соответствует классам U5 Q3"), std::string::npos) << conflict.err;
}

TEST_F(LifeCommand, RefusesWhatDoesNotReadAsAGroup)
{
    for (const char* option : {"--group", "--winch1", "--design"}) {
        const CliRun refused = run({"life", files.back(), "--archive", dir.file("a.sqlite"), option, "B7"});
        EXPECT_EQ(refused.code, kExitUsage) << option;
        EXPECT_NE(refused.err.find("«B7»"), std::string::npos) << refused.err;
    }
}

TEST_F(LifeCommand, SixthDocumentShowsTheFiguresAndTheVerdict)
{
    const std::string out = dir.file("life.html");
    const CliRun report = run({"report", files.back(), "--doc", "6", "--archive", dir.file("a.sqlite"),
        "--locale", "ru_RU", "-o", out});
    ASSERT_EQ(report.code, 0) << report.err;
    const std::string html = cp1251ToUtf8(fileText(out));
    EXPECT_NE(html.find("<TITLE>ОЦЕНКА РАСЧЕТНОГО СРОКА СЛУЖБЫ от "), std::string::npos)
        << html.substr(0, 400);
    EXPECT_NE(html.find("Наработка до регистратора B (оценка)"), std::string::npos);
    EXPECT_NE(html.find(std::string("Кран: ") + kVerdictWithin), std::string::npos);
    EXPECT_NE(html.find("125000"), std::string::npos);
    EXPECT_NE(fileText(out).find("\r\n"), std::string::npos);
    // It names the reading it assesses and where the group came from.
    const MemoryImage image = readImageFile(files.back());
    EXPECT_NE(html.find("Оценка выполнена по считыванию РП " + fixedTextTrimmed(image, layout::kRecorderType, 32)
                  + " № " + fixedTextTrimmed(image, layout::kRecorderSerial, 16) + " от "),
        std::string::npos);
    EXPECT_NE(html.find("взята из паспорта крана"), std::string::npos);
    EXPECT_NE(html.find("Нормативный срок службы: "), std::string::npos);

    // --group in the document too: the user's group, said so.
    ASSERT_EQ(run({"report", files.back(), "--doc", "6", "--archive", dir.file("a.sqlite"), "--group", "A7",
                  "--locale", "ru_RU", "-o", out})
                  .code,
        0);
    const std::string user = cp1251ToUtf8(fileText(out));
    EXPECT_NE(user.find("Расчетная группа (классы) крана A7 указана пользователем"), std::string::npos);
    EXPECT_NE(user.find("500000"), std::string::npos);
    const CliRun refused = run({"report", files.back(), "--doc", "6", "--archive", dir.file("a.sqlite"),
        "--winch1", "A5", "-o", out});
    EXPECT_EQ(refused.code, kExitUsage);
}

} // namespace
} // namespace kestrel::cli
