// The history page's workbook: the same rows as its lists, with numbers and dates typed.
#include "core/demo/DemoHistory.h"
#include "core/export/HistoryWorkbook.h"
#include "core/life/HistoryView.h"
#include "support/TempDir.h"
#include "support/XlsxDump.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kestrel;
using kestrel::test::cellRef;

namespace {

const DisplayLocale kRussian = DisplayLocale::russian();

LifeHistory demoHistory(int readings)
{
    std::vector<HistoryInput> inputs;
    std::int64_t id = 0;
    for (const MemoryImage& image : makeDemoHistory(7, readings))
        inputs.push_back({++id, image});
    return buildLifeHistory(inputs, {}, kRussian);
}

// The number a Russian text shows, read without any C library locale.
double shownNumber(std::string text)
{
    std::replace(text.begin(), text.end(), ',', '.');
    return test::DumpedCell{"n", text, "", false}.number().value();
}

} // namespace

TEST(HistoryWorkbook, SheetsHoldThePagesRowsWithNumbersAndDates)
{
    const LifeHistory history = demoHistory(4);
    ASSERT_EQ(history.readings.size(), 4u);
    const HistoryView view = historyView(history, kRussian);
    const XlsxWorkbook workbook = historyWorkbook(history, kRussian);
    ASSERT_EQ(workbook.sheets.size(), 2u);

    // Newest first, as the page lists them.
    const auto& readings = workbook.sheets[0];
    EXPECT_EQ(readings.name, "Считывания");
    ASSERT_EQ(readings.rows.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const auto& row = readings.rows[i];
        const auto& texts = view.readings[i].texts;
        ASSERT_EQ(row.size(), texts.size());
        EXPECT_EQ(row[0].kind, XlsxCell::Kind::Date);
        EXPECT_TRUE(row[0].withTime);
        EXPECT_DOUBLE_EQ(row[0].value, history.readings[3 - i].figures.reading);
        for (std::size_t c : {1, 2, 6, 7}) {
            EXPECT_EQ(row[c].kind, XlsxCell::Kind::Number) << i << " " << c << " " << texts[c];
            EXPECT_DOUBLE_EQ(row[c].value, shownNumber(texts[c])) << c;
        }
        EXPECT_EQ(row[2].decimals, 2);
        EXPECT_EQ(row[7].decimals, 1);
        for (std::size_t c : {3, 4, 5, 8})
            EXPECT_EQ(row[c].text, texts[c]) << c;
    }
    EXPECT_GT(readings.rows[0][1].value, readings.rows[3][1].value);

    const auto& periods = workbook.sheets[1];
    EXPECT_EQ(periods.name, "Периоды");
    ASSERT_EQ(periods.rows.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& row = periods.rows[i];
        const auto& texts = view.periods[i];
        const ReadingFigures& figures = history.periods[2 - i].figures;
        // "01.02.2021 - 01.02.2022" on the page: two dates here.
        EXPECT_EQ(row[0].text + " - " + row[1].text, texts[0]);
        EXPECT_EQ(row[0].kind, XlsxCell::Kind::Date);
        EXPECT_FALSE(row[0].withTime);
        EXPECT_DOUBLE_EQ(row[0].value, figures.periodStart);
        EXPECT_DOUBLE_EQ(row[1].value, figures.reading);
        EXPECT_DOUBLE_EQ(row[2].value, shownNumber(texts[1]));
        EXPECT_EQ(row[3].decimals, 2);
        EXPECT_DOUBLE_EQ(row[3].value, shownNumber(texts[2]));
        EXPECT_DOUBLE_EQ(row[4].value, shownNumber(texts[3]));
    }
}

TEST(HistoryWorkbook, ReadsBackFromTheFile)
{
    if (!xlsxSupported() || !test::xlsxReaderAvailable())
        GTEST_SKIP() << "no libxlsxwriter or no Python";
    const LifeHistory history = demoHistory(3);
    test::TempDir dir;
    const std::string path = dir.file("история.xlsx");
    writeHistoryWorkbook(history, kRussian, path);
    std::string error;
    const auto sheets = test::dumpXlsx(path, &error);
    ASSERT_EQ(sheets.size(), 2u) << error;

    const auto& readings = sheets[0];
    for (std::size_t c = 0; c < kReadingsSheetHeader.size(); ++c) {
        const auto* header = readings.cell(cellRef(c, 1));
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(header->value, kReadingsSheetHeader[c]);
        EXPECT_TRUE(header->bold);
    }
    EXPECT_EQ(readings.frozen, "A2");
    EXPECT_EQ(readings.autofilter, "A1:I4");
    EXPECT_EQ(readings.cell("A2")->format, "dd.mm.yyyy hh:mm");
    EXPECT_DOUBLE_EQ(readings.cell("A2")->number().value_or(0.0), history.readings.back().figures.reading);
    EXPECT_EQ(readings.cell("C2")->format, "0.00"); // Kp
    EXPECT_EQ(readings.cell("H2")->format, "0.0");  // motor hours
    EXPECT_EQ(readings.cell("D2")->kind, "s");      // Q class
    EXPECT_EQ(readings.cell("I2")->value, "верна");

    const auto& periods = sheets[1];
    EXPECT_EQ(periods.autofilter, "A1:E3");
    EXPECT_EQ(periods.cell("A2")->format, "dd.mm.yyyy");
    EXPECT_EQ(periods.cell("B2")->format, "dd.mm.yyyy");
    EXPECT_EQ(periods.cell("D2")->format, "0.00");
    // The longest header, "Характеристическое число", fits.
    EXPECT_GE(periods.widths.at(4), 24.0);
}

TEST(HistoryWorkbook, OneReadingHasNoPeriodsButTheSheetIsThere)
{
    const XlsxWorkbook workbook = historyWorkbook(demoHistory(1), kRussian);
    ASSERT_EQ(workbook.sheets.size(), 2u);
    EXPECT_EQ(workbook.sheets[0].rows.size(), 1u);
    EXPECT_TRUE(workbook.sheets[1].rows.empty());
    EXPECT_EQ(workbook.sheets[1].header.size(), kPeriodsSheetHeader.size());
}
