// The fleet summary as an Excel workbook: the rows `summary` prints, typed.
#include "cli/Commands.h"
#include "cli/SummaryTable.h"
#include "core/demo/DemoImage.h"
#include "core/export/FleetSummaryWorkbook.h"
#include "core/image/DataFile.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"
#include "support/TempDir.h"
#include "support/XlsxDump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace kestrel::cli {
namespace {

using namespace kestrel::fleet;
using test::cellRef;

const DisplayLocale kRussian = DisplayLocale::russian();

double shownNumber(std::string text)
{
    std::replace(text.begin(), text.end(), ',', '.');
    return test::DumpedCell{"n", text, "", false}.number().value();
}

// The fields of CSV records (quotes doubled inside quoted fields, CR LF ends).
std::vector<std::vector<std::string>> csvRecords(const std::string& text)
{
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"')
            rows.back().back() += text[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == ',')
            rows.back().emplace_back();
        else if (!quoted && c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            if (i + 1 < text.size())
                rows.emplace_back(1);
        } else
            rows.back().back() += c;
    }
    return rows;
}

class SummaryWorkbook : public ::testing::Test {
protected:
    test::TempDir dir;

    void SetUp() override
    {
        saveImage(dir.file("a.bbd"), makeDemoImage(1));
        saveImage(dir.file("b.bbd"), makeDemoImage(2));
        const auto demo = makeDemoImage(3);
        std::ofstream(dir.file("short.bbd"), std::ios::binary).write(reinterpret_cast<const char*>(demo.data()), 1000);
    }
};

TEST_F(SummaryWorkbook, RowsAreThoseTheCsvPrints)
{
    const SummaryTable table = summaryTable({dir.path().string()}, kRussian);
    ASSERT_EQ(table.lines.size(), 3u);
    EXPECT_TRUE(table.anyRead);
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(runCli({"summary", "--csv", "--locale", "ru_RU", dir.path().string()}, out, err), kExitOk) << err.str();
    const auto records = csvRecords(out.str());
    ASSERT_EQ(records.size(), 4u) << out.str();
    for (std::size_t i = 0; i < 3; ++i) {
        const FleetSummaryLine& line = table.lines[i];
        std::vector<std::string> expected(line.cells.begin(), line.cells.end());
        expected.push_back(line.error);
        EXPECT_EQ(records[i + 1], expected) << i;
    }
    // The dates behind the two date texts.
    const MemoryImage a = makeDemoImage(1);
    EXPECT_DOUBLE_EQ(table.lines[0].readingDate, stampToDateTime(stampAt(a, layout::kReadingStamp)));
    EXPECT_GT(table.lines[0].installationDate, 0.0);
    EXPECT_LT(table.lines[0].installationDate, table.lines[0].readingDate);
}

TEST_F(SummaryWorkbook, FiguresAreNumbersDatesAreDatesUnusableFilesSayWhy)
{
    if (!xlsxSupported() || !test::xlsxReaderAvailable())
        GTEST_SKIP() << "no libxlsxwriter or no Python";
    const SummaryTable table = summaryTable({dir.path().string()}, kRussian);
    const std::string path = dir.file("Парк кранов.xlsx");
    writeFleetSummaryWorkbook(table.lines, kRussian, path);

    std::string error;
    const auto sheets = test::dumpXlsx(path, &error);
    ASSERT_EQ(sheets.size(), 1u) << error;
    const auto& sheet = sheets[0];
    EXPECT_EQ(sheet.name, "Сводка");
    EXPECT_EQ(sheet.frozen, "A2");
    EXPECT_EQ(sheet.autofilter, "A1:P4");
    for (std::size_t c = 0; c < kColumnCount; ++c) {
        ASSERT_NE(sheet.cell(cellRef(c, 1)), nullptr) << c;
        EXPECT_EQ(sheet.cell(cellRef(c, 1))->value, kHeader[c]);
        EXPECT_TRUE(sheet.cell(cellRef(c, 1))->bold);
    }
    EXPECT_EQ(sheet.cell("P1")->value, "Ошибка");

    for (std::size_t row : {0, 1}) {
        const FleetSummaryLine& line = table.lines[row];
        ASSERT_TRUE(line.error.empty()) << line.error;
        const std::size_t r = row + 2;
        for (std::size_t c : {kFile, kCraneType, kCraneNumber, kRecorderNumber, kQ, kU, kA, kChecksum}) {
            const auto* cell = sheet.cell(cellRef(c, r));
            ASSERT_NE(cell, nullptr) << cellRef(c, r);
            EXPECT_EQ(cell->kind, "s") << cellRef(c, r);
            EXPECT_EQ(cell->value, line.cells[c]) << cellRef(c, r);
        }
        for (const auto& [c, format] : {std::pair{kKp, "0.00"}, std::pair{kCycles, "0"}, std::pair{kMass, "0.0"},
                 std::pair{kMotorHours, "0.0"}, std::pair{kTrips, "0"}}) {
            const auto* cell = sheet.cell(cellRef(c, r));
            ASSERT_NE(cell, nullptr) << cellRef(c, r);
            EXPECT_EQ(cell->kind, "n") << cellRef(c, r);
            EXPECT_EQ(cell->format, format) << cellRef(c, r);
            EXPECT_DOUBLE_EQ(cell->number().value_or(-1.0), shownNumber(line.cells[c])) << line.cells[c];
        }
        EXPECT_EQ(sheet.cell(cellRef(kReadingDate, r))->format, "dd.mm.yyyy hh:mm");
        EXPECT_DOUBLE_EQ(sheet.cell(cellRef(kReadingDate, r))->number().value_or(0.0), line.readingDate);
        EXPECT_EQ(sheet.cell(cellRef(kInstallationDate, r))->format, "dd.mm.yyyy");
        EXPECT_DOUBLE_EQ(sheet.cell(cellRef(kInstallationDate, r))->number().value_or(0.0), line.installationDate);
        EXPECT_EQ(sheet.cell(cellRef(kColumnCount, r)), nullptr); // no error
    }

    // The short file: its name and why, nothing else.
    EXPECT_EQ(sheet.cell("A4")->value, dir.file("short.bbd"));
    for (std::size_t c = 1; c < kColumnCount; ++c)
        EXPECT_EQ(sheet.cell(cellRef(c, 4)), nullptr) << c;
    EXPECT_NE(sheet.cell("P4")->value.find("короче образа памяти"), std::string::npos);

    // The file column fits the longest name.
    EXPECT_GE(sheet.widths.at(1), static_cast<double>(dir.file("short.bbd").size()));
}

} // namespace
} // namespace kestrel::cli
