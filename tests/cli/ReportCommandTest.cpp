#include "cli/Commands.h"
#include "core/image/Checksum.h"
#include "core/image/DataFile.h"
#include "core/pipeline/Pipeline.h"
#include "support/ImageBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

#include <fstream>
#include <sstream>

namespace kestrel::cli {
namespace {

using namespace layout;
using test::ImageBuilder;

ImageBuilder reading()
{
    ImageBuilder b;
    b.text(kCraneType, 32, "КПП <16/20>").text(kRecorderSerial, 16, "77").i32(kInstallationDay, 46000);
    b.capacities(16.0f, 16.0f, 8.0f).byte(kServiceLife, 20).stamp(kReadingStamp, 30, 14, 7, 12, 26);
    b.bucket(1, 49, 1000).bucket(2, 129, 20);
    b.byte(kCycleRingIndex, 3).record(kCycleRing, 2, 0, 10, 6, 12, 26, 50, 0, 0);
    return b;
}

struct CliFixture : ::testing::Test {
    test::TempDir dir;
    std::ostringstream out, err;

    std::string save(const std::string& name, ImageBuilder b, bool goodChecksum = true)
    {
        b.fixChecksum();
        if (!goodChecksum)
            b.image[0x10] ^= 1;
        saveImage(dir.file(name), b.image);
        return dir.file(name);
    }
    int run(const Args& args)
    {
        out.str({});
        err.str({});
        return runCli(args, out, err);
    }
    std::string read(const std::string& path)
    {
        std::ifstream f(path, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
};

TEST_F(CliFixture, ReportWritesTheDocumentInWindows1251WithCrLf)
{
    const auto image = save("a.bbd", reading());
    const auto html = dir.file("p2.html");
    ASSERT_EQ(run({"report", image, "--doc", "2", "--locale", "ru_RU", "-o", html}), kExitOk) << err.str();
    const auto bytes = read(html);
    EXPECT_EQ(bytes.rfind("<!DOCTYPE HTML PUBLIC", 0), 0u);
    EXPECT_NE(bytes.find("</HTML>\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\xCF\xD0\xCE\xD2\xCE\xCA\xCE\xCB \xB9\x32 \xEE\xF2 07.12.2026 14:30   \xD0\xCF \xB9\x37\x37"),
        std::string::npos); // the full title in cp1251
    EXPECT_NE(bytes.find("&lt;16/20&gt;"), std::string::npos);
    EXPECT_EQ(bytes.find("<16/20>"), std::string::npos);
}

TEST_F(CliFixture, LimitTextBehavesAsTheDialogDoes)
{
    const auto image = save("a.bbd", reading());
    auto report = [&](const std::vector<std::string>& extra) {
        Args args = {"report", image, "--doc", "4", "-o", dir.file("r.html")};
        args.insert(args.end(), extra.begin(), extra.end());
        EXPECT_EQ(run(args), kExitOk) << err.str();
        return read(dir.file("r.html"));
    };
    EXPECT_EQ(report({}), report({"--limit", "32"}));    // the proposal is the 32 rows of lvLast
    EXPECT_NE(report({"--limit", "0"}), report({"--limit", "1"}));

    // A limit that is no number makes no document and says why, instead of taking 10.
    std::filesystem::remove(dir.file("r.html"));
    EXPECT_EQ(run({"report", image, "--doc", "4", "--limit", "abc", "-o", dir.file("r.html")}), kExitUsage);
    EXPECT_NE(err.str().find("Количество циклов задано неверно: «abc»"), std::string::npos) << err.str();
    EXPECT_FALSE(std::filesystem::exists(dir.file("r.html")));
}

TEST_F(CliFixture, StepChangesTheLoadTable)
{
    const auto image = save("a.bbd", reading());
    ASSERT_EQ(run({"report", image, "--doc", "2", "--step", "1", "-o", dir.file("s1.html")}), kExitOk);
    ASSERT_EQ(run({"report", image, "--doc", "2", "--step", "20", "-o", dir.file("s20.html")}), kExitOk);
    const auto s1 = read(dir.file("s1.html"));
    EXPECT_NE(s1.find("130%</TD>"), std::string::npos);
    EXPECT_EQ(read(dir.file("s20.html")).find("130%</TD>"), std::string::npos);
    EXPECT_EQ(run({"report", image, "--doc", "2", "--step", "3", "-o", dir.file("x.html")}), kExitUsage);
}

// An option the chosen document does not read is refused before anything is written;
// --archive and --limit, which one command line for every document names, only say so.
TEST_F(CliFixture, OptionsTheDocumentDoesNotReadAreRefusedOrSaid)
{
    const auto image = save("a.bbd", reading());
    const auto earlier = save("e.bbd", reading());
    const auto html = dir.file("d.html");
    const std::vector<std::pair<Args, std::string>> refused{
        {{"--doc", "5", "--step", "5"}, "--step: в документе 5 нет распределения нагрузки"},
        {{"--doc", "6", "--step", "5"}, "--step: в документе 6 нет распределения нагрузки"},
        {{"--doc", "6", "--previous", earlier}, "--previous: в документе 6 нет данных отчетного периода"},
        {{"--doc", "2", "--group", "A5"}, "--group: действует только в оценке срока службы (--doc 6)"},
        {{"--doc", "1", "--winch1", "M3"}, "--winch1: действует только в оценке срока службы (--doc 6)"},
    };
    for (const auto& [options, message] : refused) {
        Args args{"report", image, "-o", html};
        args.insert(args.end(), options.begin(), options.end());
        EXPECT_EQ(run(args), kExitUsage) << message;
        EXPECT_NE(err.str().find("kestrel-cli report: " + message), std::string::npos) << err.str();
        EXPECT_FALSE(std::filesystem::exists(html)) << message;
    }

    ASSERT_EQ(run({"report", image, "--doc", "2", "--archive", dir.file("x.sqlite"), "-o", html}), kExitOk) << err.str();
    EXPECT_NE(err.str().find("kestrel-cli report: --archive не действует: в документе 2 архив не используется"),
        std::string::npos) << err.str();
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.sqlite")));
    ASSERT_EQ(run({"report", image, "--doc", "6", "--limit", "7", "--archive", dir.file("x.sqlite"), "-o", html}),
        kExitOk) << err.str();
    EXPECT_NE(err.str().find("kestrel-cli report: --limit не действует: в документе 6 нет списка циклов"),
        std::string::npos) << err.str();
    // What the documents do read is taken silently.
    ASSERT_EQ(run({"report", image, "--doc", "1", "--step", "5", "--previous", earlier, "--limit", "3", "-o", html}),
        kExitPreviousRefused) << err.str(); // the same reading is no earlier one
    EXPECT_EQ(err.str().find("не действует"), std::string::npos) << err.str();
}

TEST_F(CliFixture, BadChecksumNeedsYes)
{
    const auto image = save("bad.bbd", reading(), false);
    const auto html = dir.file("p.html");
    EXPECT_EQ(run({"report", image, "--doc", "1", "-o", html}), kExitChecksumRefused);
    EXPECT_NE(err.str().find(kChecksumQuestionFile), std::string::npos);
    EXPECT_FALSE(std::ifstream(html).good());
    EXPECT_EQ(run({"report", image, "--doc", "1", "--yes", "-o", html}), kExitOk);
    EXPECT_TRUE(std::ifstream(html).good());
}

TEST_F(CliFixture, StepFailuresAreReportedAndTheDocumentIsStillWritten)
{
    const auto image = save("zero.bbd", ImageBuilder{});
    const auto html = dir.file("z.html");
    EXPECT_EQ(run({"report", image, "--doc", "5", "-o", html}), kExitOk);
    EXPECT_NE(err.str().find(kDecodingFailedMessage), std::string::npos);
    EXPECT_NE(err.str().find(kStatisticsFailedMessage), std::string::npos);
    EXPECT_FALSE(read(html).empty());
}

TEST_F(CliFixture, PreviousPeriodRefusalExits4)
{
    const auto image = save("now.bbd", reading());
    auto other = reading();
    other.text(kRecorderSerial, 16, "78");
    const auto previous = save("other.bbd", other);
    EXPECT_EQ(run({"report", image, "--doc", "2", "--previous", previous, "-o", dir.file("p.html")}),
        kExitPreviousRefused);
    EXPECT_NE(err.str().find(kWrongPreviousFileMessage), std::string::npos);
    EXPECT_EQ(run({"show", image, "--previous", image}), kExitPreviousRefused);
}

TEST_F(CliFixture, UsageAndFileErrors)
{
    const auto image = save("a.bbd", reading());
    EXPECT_EQ(run({"report", image, "--doc", "7", "-o", dir.file("x.html")}), kExitUsage);
    EXPECT_EQ(run({"report", image, "--doc", "2"}), kExitUsage);
    EXPECT_EQ(run({"report", image, "--doc"}), kExitUsage);
    EXPECT_EQ(run({"show", image, "--bogus"}), kExitUsage);
    EXPECT_EQ(run({"show", dir.file("missing.bbd")}), kExitFileError);
    EXPECT_NE(err.str().find("No such file"), std::string::npos);
    EXPECT_EQ(run({"show", dir.file("a.txt")}), kExitFileError);
    EXPECT_EQ(run({"report", image, "--doc", "2", "-o", dir.file("no/such/dir.html")}), kExitFileError);
}

TEST_F(CliFixture, ShowPrintsTheWindowAsTextAndJson)
{
    const auto image = save("a.bbd", reading());
    ASSERT_EQ(run({"show", image, "--locale", "ru_RU"}), kExitOk);
    EXPECT_NE(out.str().find("eMarka: КПП <16/20>"), std::string::npos);
    EXPECT_NE(out.str().find("eStartDateCheck: 09.12.2025"), std::string::npos);
    ASSERT_EQ(run({"show", image, "--json"}), kExitOk);
    const auto json = out.str();
    for (const char* key : {"\"identification\"", "\"statistics\"", "\"lvCommon\"", "\"lvLoad\"", "\"lvLast\"",
             "\"lvStop\"", "\"settings\"", "\"sgVylet\"", "\"lvCalibr\"", "\"eKp\": \"", "\"stateIcon\""})
        EXPECT_NE(json.find(key), std::string::npos) << key;
}

TEST_F(CliFixture, ShowNeverPassesControlCharactersOfTheImageToTheTerminal)
{
    auto b = reading();
    b.text(kCraneType, 32, "КПП\x1b[2J 16\x07");
    b.byte(kCraneOwner, 0x98); // cp1251 has no letter there: U+0098, a C1 control
    const auto image = save("esc.bbd", b);
    ASSERT_EQ(run({"show", image}), kExitOk) << err.str();
    EXPECT_NE(out.str().find("eMarka: КПП?[2J 16?\n"), std::string::npos) << out.str();
    EXPECT_EQ(out.str().find('\x1b'), std::string::npos);
    EXPECT_EQ(out.str().find("\xc2\x98"), std::string::npos);

    // JSON keeps the value exactly, escaped.
    ASSERT_EQ(run({"show", image, "--json"}), kExitOk);
    EXPECT_NE(out.str().find("\"eMarka\": \"КПП\\u001b[2J 16\\u0007\""), std::string::npos);
    EXPECT_NE(out.str().find("\"eOwner\": \"\\u0098\""), std::string::npos);
    EXPECT_EQ(out.str().find('\x1b'), std::string::npos);
}

TEST_F(CliFixture, ShowRefusesANamedPipeAtOnce)
{
    const auto fifo = dir.file("fifo.bbd");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(run({"show", fifo}), kExitFileError); // would wait for a writer for ever
    EXPECT_EQ(err.str(), fifo + ": это именованный канал, а не файл данных\n");
    EXPECT_EQ(run({"show", save("a.bbd", reading()), "--previous", fifo}), kExitFileError);
}

} // namespace
} // namespace kestrel::cli
