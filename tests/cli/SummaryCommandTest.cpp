#include "cli/Commands.h"
#include "core/demo/DemoImage.h"
#include "core/image/Checksum.h"
#include "core/image/DataFile.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/pipeline/Pipeline.h"
#include "core/ui/ScriptedUserInterface.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kestrel::cli {
namespace {

// The figures the window would show for the image.
StatisticsView figuresOf(const MemoryImage& image, const DisplayLocale& locale)
{
    auto session = std::make_unique<Session>();
    session->image = image;
    session->locale = locale;
    ScriptedUserInterface ui;
    resetPeriodStart(*session);
    processImage(*session, ui);
    return session->view.statistics;
}

std::vector<std::string> linesOf(const std::string& text, const std::string& end = "\n")
{
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const auto next = text.find(end, at);
        lines.push_back(text.substr(at, next - at));
        at = next == std::string::npos ? text.size() : next + end.size();
    }
    return lines;
}

// RFC 4180 records; fails the test on a line break outside quotes that is not CR LF.
std::vector<std::vector<std::string>> parseCsv(const std::string& text)
{
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                rows.back().back() += text[++i];
            else if (c == '"')
                quoted = false;
            else
                rows.back().back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\r') {
            EXPECT_EQ(text[i + 1], '\n');
            ++i;
            if (i + 1 < text.size())
                rows.emplace_back(1);
        } else {
            EXPECT_NE(c, '\n') << "bare LF";
            rows.back().back() += c;
        }
    }
    return rows;
}

std::size_t displayColumn(const std::string& line, std::size_t byteOffset)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i < byteOffset; ++i)
        n += (static_cast<unsigned char>(line[i]) & 0xC0) != 0x80;
    return n;
}

struct SummaryCommand : ::testing::Test {
    test::TempDir dir;
    std::ostringstream out, err;

    void SetUp() override
    {
        saveImage(dir.file("b.bbd"), makeDemoImage(2));
        saveImage(dir.file("a.bbd"), makeDemoImage(1));
        saveImage(dir.file("c.BBD"), makeDemoImage(3));
        auto bad = makeDemoImage(4);
        bad[0x10] ^= 0x01;
        saveImage(dir.file("bad.bbd"), bad);
        saveImage(dir.file("zero.bbd"), MemoryImage{});
        const auto demo = makeDemoImage(5);
        std::ofstream(dir.file("short.bbd"), std::ios::binary).write(reinterpret_cast<const char*>(demo.data()), 1000);
        std::ofstream(dir.file("notes.txt")) << "not a data file\n";
        std::filesystem::create_directory(dir.file("sub"));
        std::filesystem::create_directory(dir.file("zz.bbd"));
        saveImage(dir.file("sub/inner.bbd"), makeDemoImage(6));
    }

    int run(const Args& args)
    {
        out.str({});
        err.str({});
        return runCli(args, out, err);
    }
};

TEST_F(SummaryCommand, TableHasOneAlignedLinePerDataFileSortedByName)
{
    ASSERT_EQ(run({"summary", "--locale", "C", dir.path().string()}), kExitOk) << err.str();
    const auto lines = linesOf(out.str());
    ASSERT_EQ(lines.size(), 7u) << out.str(); // header + a, b, bad, c, short, zero; no txt, no subdirectories
    EXPECT_EQ(lines[0].rfind("Файл ", 0), 0u);
    const char* order[] = {"a.bbd", "b.bbd", "bad.bbd", "c.BBD", "short.bbd", "zero.bbd"};
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(lines[i + 1].rfind(dir.file(order[i]) + " ", 0), 0u) << lines[i + 1];

    const auto typeColumn = displayColumn(lines[0], lines[0].find("Тип крана"));
    const auto kpEnd = displayColumn(lines[0], lines[0].find("Kp") + 2);
    for (const auto& [line, seed] : {std::pair{lines[1], 1}, std::pair{lines[2], 2}, std::pair{lines[4], 3}}) {
        const auto figures = figuresOf(makeDemoImage(static_cast<std::uint32_t>(seed)), DisplayLocale::c());
        const auto kp = line.find("  " + figures.eKp + "  ");
        ASSERT_NE(kp, std::string::npos) << line;
        EXPECT_EQ(displayColumn(line, kp + 2 + figures.eKp.size()), kpEnd) << line; // numbers right-aligned
        EXPECT_NE(line.find("  " + figures.eNcicl + "  "), std::string::npos);
        EXPECT_NE(line.find("  " + figures.eMass + "  "), std::string::npos);
        EXPECT_NE(line.find("  " + figures.eQi + "  " + figures.eUi + "  " + figures.eAi + "  "), std::string::npos);
        EXPECT_EQ(figures.eKp.find(','), std::string::npos); // C locale unless asked
        EXPECT_NE(line.find("  верна"), std::string::npos);
        EXPECT_EQ(displayColumn(line, line.find_first_not_of(' ', dir.file("x.bbd").size())), typeColumn) << line;
    }
}

TEST_F(SummaryCommand, BadChecksumStillHasFiguresUnusableFilesSayWhy)
{
    ASSERT_EQ(run({"summary", "--locale", "C", dir.path().string()}), kExitOk) << err.str();
    const auto lines = linesOf(out.str());
    ASSERT_EQ(lines.size(), 7u);
    const auto figures = figuresOf(readImageFile(dir.file("bad.bbd")), DisplayLocale::c());
    EXPECT_NE(lines[3].find("  " + figures.eNcicl + "  "), std::string::npos) << lines[3];
    EXPECT_NE(lines[3].find("неправильная"), std::string::npos);
    EXPECT_NE(lines[5].find("1000 из 32768 байт"), std::string::npos) << lines[5];
    EXPECT_NE(lines[6].find(kDecodingFailedMessage), std::string::npos) << lines[6];
    EXPECT_EQ(lines[6].find('\n'), std::string::npos);
}

TEST_F(SummaryCommand, CsvIsRfc4180WithHeaderAndQuotedFields)
{
    const std::string odd = dir.file("q\"uote,1.bbd");
    saveImage(odd, makeDemoImage(1));
    ASSERT_EQ(run({"summary", "--csv", "--locale", "ru_RU", dir.file("a.bbd"), odd, dir.file("zero.bbd"),
                  dir.file("missing.bbd")}),
        kExitOk)
        << err.str();
    const std::string csv = out.str();
    EXPECT_NE(csv.find("\"" + dir.file("q\"\"uote,1.bbd") + "\""), std::string::npos);
    const auto rows = parseCsv(csv);
    ASSERT_EQ(rows.size(), 5u) << csv;
    for (const auto& row : rows)
        EXPECT_EQ(row.size(), 16u);
    EXPECT_EQ(rows[0][0], "Файл");
    EXPECT_EQ(rows[0][11], "Масса, т");
    EXPECT_EQ(rows[0][14], "Контрольная сумма");
    EXPECT_EQ(rows[1][0], dir.file("a.bbd"));
    EXPECT_EQ(rows[2][0], odd);
    EXPECT_EQ(rows[1][6], figuresOf(makeDemoImage(1), DisplayLocale::russian()).eKp);
    EXPECT_NE(rows[1][6].find(','), std::string::npos); // and so it was quoted
    EXPECT_EQ(rows[1][14], "верна");
    EXPECT_EQ(rows[1][15], "");
    for (std::size_t c = 1; c < 15; ++c)
        EXPECT_EQ(rows[1][c], rows[2][c]); // the same image under another name
    EXPECT_EQ(rows[3][6], "");
    EXPECT_NE(rows[3][15].find(kDecodingFailedMessage), std::string::npos);
    EXPECT_EQ(rows[4][0], dir.file("missing.bbd"));
    EXPECT_EQ(rows[4][15], "No such file or directory");
}

TEST_F(SummaryCommand, FilesNamedDirectlyAreTakenAsTheyAre)
{
    ASSERT_EQ(run({"summary", dir.file("notes.txt"), dir.file("sub")}), kExitOk) << err.str();
    const auto lines = linesOf(out.str());
    ASSERT_EQ(lines.size(), 3u) << out.str();
    EXPECT_EQ(lines[1].rfind(dir.file("notes.txt"), 0), 0u);
    EXPECT_NE(lines[1].find("16 из 32768 байт"), std::string::npos) << lines[1];
    EXPECT_EQ(lines[2].rfind(dir.file("sub/inner.bbd"), 0), 0u);
    EXPECT_NE(lines[2].find("верна"), std::string::npos);
}

TEST_F(SummaryCommand, ExitCodes)
{
    EXPECT_EQ(run({"summary"}), kExitUsage);
    EXPECT_EQ(run({"summary", "--bogus", dir.path().string()}), kExitUsage);
    EXPECT_EQ(run({"summary", dir.file("missing.bbd"), dir.file("gone.bbd")}), kExitFileError);
    EXPECT_EQ(linesOf(out.str()).size(), 3u); // still a line for each
    EXPECT_NE(err.str().find("ни один файл данных не удалось прочитать"), std::string::npos);
    EXPECT_EQ(run({"summary", dir.file("zz.bbd")}), kExitFileError); // an empty directory
    EXPECT_NE(err.str().find("файлы данных (*.bbd) не найдены"), std::string::npos);
    // A file that was read but is unusable still counts as read.
    EXPECT_EQ(run({"summary", dir.file("zero.bbd")}), kExitOk);
}

TEST_F(SummaryCommand, ANamedPipeIsAnUnusableLineAndTheRestIsSummarised)
{
    ASSERT_EQ(::mkfifo(dir.file("pipe.bbd").c_str(), 0600), 0); // no writer: opening it would wait for ever
    ASSERT_EQ(run({"summary", "--locale", "C", dir.path().string()}), kExitOk) << err.str();
    const auto lines = linesOf(out.str());
    ASSERT_EQ(lines.size(), 8u) << out.str();
    EXPECT_EQ(lines[5].rfind(dir.file("pipe.bbd") + " ", 0), 0u) << lines[5];
    EXPECT_NE(lines[5].find("это именованный канал, а не файл данных"), std::string::npos) << lines[5];
    EXPECT_NE(lines[6].find("1000 из 32768 байт"), std::string::npos);
}

TEST_F(SummaryCommand, ControlCharactersOfImagesAndNamesNeverReachTheTerminal)
{
    auto image = makeDemoImage(7);
    putFixedText(image, layout::kCraneType, 32, "КС\x1b]0;x\x07-5363");
    const auto odd = dir.file("e\x1b[1m.bbd");
    saveImage(odd, image);
    for (const char* format : {"", "--csv"}) {
        Args args{"summary", odd};
        if (*format != '\0')
            args.push_back(format);
        ASSERT_EQ(run(args), kExitOk) << err.str();
        EXPECT_EQ(out.str().find('\x1b'), std::string::npos) << out.str();
        EXPECT_EQ(out.str().find('\x07'), std::string::npos);
        EXPECT_NE(out.str().find("КС?]0;x?-5363"), std::string::npos) << out.str();
        EXPECT_NE(out.str().find("e?[1m.bbd"), std::string::npos);
    }
}

TEST_F(SummaryCommand, FollowsTheEnvironmentsLocaleUnlessOneIsNamed)
{
    const char* saved = std::getenv("LC_ALL");
    const std::string savedValue = saved != nullptr ? saved : "";
    ::setenv("LC_ALL", "ru_RU.UTF-8", 1);
    const int code = run({"summary", "--csv", dir.file("a.bbd")});
    const auto russian = out.str();
    run({"summary", "--csv", "--locale", "C", dir.file("a.bbd")});
    const auto named = out.str();
    if (saved != nullptr)
        ::setenv("LC_ALL", savedValue.c_str(), 1);
    else
        ::unsetenv("LC_ALL");

    ASSERT_EQ(code, kExitOk);
    EXPECT_EQ(parseCsv(russian)[1][6], figuresOf(makeDemoImage(1), DisplayLocale::russian()).eKp);
    EXPECT_EQ(parseCsv(named)[1][6], figuresOf(makeDemoImage(1), DisplayLocale::c()).eKp);
}

} // namespace
} // namespace kestrel::cli
