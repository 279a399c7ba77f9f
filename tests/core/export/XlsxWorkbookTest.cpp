// Excel workbooks: cells typed from the program's texts, and a file that is either whole
// or not there at all. Workbooks are read back through Python's zipfile and XML parser.
#include "core/export/XlsxWorkbook.h"
#include "core/files/SystemErrorText.h"
#include "core/image/DateTime.h"
#include "support/TempDir.h"
#include "support/XlsxDump.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

using namespace kestrel;
using kestrel::test::dumpXlsx;
using kestrel::test::TempDir;

namespace {

namespace fs = std::filesystem;

const DisplayLocale kRussian = DisplayLocale::russian();

std::vector<std::string> entriesOf(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

XlsxWorkbook smallWorkbook()
{
    XlsxSheet first;
    first.name = "Считывания";
    first.header = {"Дата считывания", "Kp", "Циклы", "Класс"};
    first.rows.push_back({dateCell(encodeDateTime(2024, 2, 29, 10, 30), "29.02.2024 10:30"), numberCell("0,85", kRussian),
        numberCell("12345", kRussian), textCell("Q3")});
    first.rows.push_back({dateCell(0.0, ""), numberCell("—", kRussian), numberCell("7", kRussian),
        textCell("Кран \x1b[31mКПМ")});
    XlsxSheet second;
    second.name = "Периоды";
    second.header = {"Начало периода", "Масса, т"};
    second.rows.push_back({dateCell(encodeDateTime(2023, 12, 31, 0, 0), "31.12.2023"), numberCell("-1,5", kRussian)});
    return {{first, second}};
}

} // namespace

TEST(XlsxCells, NumbersKeepTheDecimalsTheirTextShowsInTheLocale)
{
    const XlsxCell kp = numberCell("0,85", kRussian);
    EXPECT_EQ(kp.kind, XlsxCell::Kind::Number);
    EXPECT_DOUBLE_EQ(kp.value, 0.85);
    EXPECT_EQ(kp.decimals, 2);
    EXPECT_EQ(numberCell("12345", kRussian).decimals, 0);
    EXPECT_DOUBLE_EQ(numberCell("12345", kRussian).value, 12345.0);
    EXPECT_DOUBLE_EQ(numberCell("-1,5", kRussian).value, -1.5);
    EXPECT_EQ(numberCell("3,0", kRussian).decimals, 1); // "3,0" must not turn into "3"
    EXPECT_DOUBLE_EQ(numberCell("1.25", DisplayLocale::c()).value, 1.25);

    // What is no plain number in this locale stays what the user sees.
    for (const char* text : {"—", "Q3", "1.5", "1,2,3", "12,", ",5", "-", "1e5", " 12", "12 ", "inf", "nan"}) {
        const XlsxCell cell = numberCell(text, kRussian);
        EXPECT_EQ(cell.kind, XlsxCell::Kind::Text) << text;
        EXPECT_EQ(cell.text, text);
    }
    EXPECT_EQ(numberCell("", kRussian).kind, XlsxCell::Kind::Empty);
}

TEST(XlsxCells, DatesCarryTheirTimeOnlyWhereTheTextShowsOne)
{
    const DateTime noon = encodeDateTime(2023, 3, 15, 12, 0);
    const XlsxCell withTime = dateCell(noon, "15.03.2023 12:00");
    EXPECT_EQ(withTime.kind, XlsxCell::Kind::Date);
    EXPECT_TRUE(withTime.withTime);
    EXPECT_DOUBLE_EQ(withTime.value, noon);
    EXPECT_FALSE(dateCell(noon, "15.03.2023").withTime);
    // No date behind the text (a stamp of 31 February, a day before Excel's calendar): the text.
    EXPECT_EQ(dateCell(0.0, "31.02.2023 10:00").kind, XlsxCell::Kind::Text);
    EXPECT_EQ(dateCell(0.0, "").kind, XlsxCell::Kind::Empty);
    EXPECT_EQ(dateCell(60.0, "28.02.1900").kind, XlsxCell::Kind::Text);
}

TEST(XlsxCells, ColumnsFitTheirLongestTextCountedInCharactersNotBytes)
{
    XlsxSheet sheet;
    sheet.header = {"Тип крана", "Kp", "Дата"};
    sheet.rows.push_back({textCell("КПМ-32"), numberCell("0,85", kRussian), dateCell(45000.5, "15.03.2023 12:00")});
    sheet.rows.push_back({textCell("Кировец КПП-16/32"), numberCell("10,25", kRussian), dateCell(45000.0, "")});
    // 17 characters (31 bytes) of the longest crane type, plus a margin.
    EXPECT_GE(xlsxColumnWidth(sheet, 0), 17.0);
    EXPECT_LT(xlsxColumnWidth(sheet, 0), 22.0);
    // The header with its filter button is wider than "10,25".
    EXPECT_GE(xlsxColumnWidth(sheet, 1), 5.0);
    EXPECT_LT(xlsxColumnWidth(sheet, 1), 8.0);
    EXPECT_GE(xlsxColumnWidth(sheet, 2), 16.0); // "dd.mm.yyyy hh:mm"
    sheet.rows.push_back({textCell(std::string(500, 'x')), {}, {}});
    EXPECT_EQ(xlsxColumnWidth(sheet, 0), kXlsxMaxColumnWidth);
}

TEST(XlsxWorkbook, ReadsBackWithTypedCellsBoldFrozenHeaderFilterAndWidths)
{
    if (!xlsxSupported())
        GTEST_SKIP() << "built without libxlsxwriter";
    if (!test::xlsxReaderAvailable())
        GTEST_SKIP() << "no Python to read the workbook";
    TempDir dir;
    const std::string path = dir.file("книга.xlsx");
    writeXlsx(smallWorkbook(), path);
    EXPECT_EQ(entriesOf(dir.path()), std::vector<std::string>{"книга.xlsx"}); // nothing left beside it

    std::string error;
    const auto sheets = dumpXlsx(path, &error);
    ASSERT_EQ(sheets.size(), 2u) << error;
    const auto& readings = sheets[0];
    EXPECT_EQ(readings.name, "Считывания");
    EXPECT_EQ(sheets[1].name, "Периоды");
    EXPECT_EQ(readings.frozen, "A2");
    EXPECT_EQ(readings.autofilter, "A1:D3");
    for (const char* ref : {"A1", "B1", "C1", "D1"}) {
        ASSERT_NE(readings.cell(ref), nullptr) << ref;
        EXPECT_EQ(readings.cell(ref)->kind, "s") << ref;
        EXPECT_TRUE(readings.cell(ref)->bold) << ref;
    }
    EXPECT_EQ(readings.cell("A1")->value, "Дата считывания");

    const auto* date = readings.cell("A2");
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->kind, "n");
    EXPECT_EQ(date->format, "dd.mm.yyyy hh:mm");
    EXPECT_NEAR(date->number().value_or(0.0), 45351.0 + 10.5 / 24.0, 1e-9); // 29.02.2024 10:30 in Excel's count
    EXPECT_FALSE(date->bold);
    EXPECT_EQ(readings.cell("B2")->kind, "n");
    EXPECT_EQ(readings.cell("B2")->format, "0.00");
    EXPECT_DOUBLE_EQ(readings.cell("B2")->number().value_or(0.0), 0.85);
    EXPECT_EQ(readings.cell("C2")->format, "0");
    EXPECT_DOUBLE_EQ(readings.cell("C2")->number().value_or(0.0), 12345.0);
    EXPECT_EQ(readings.cell("D2")->kind, "s");
    EXPECT_EQ(readings.cell("D2")->value, "Q3");

    // A row without a date has no cell there; "—" stays a text; control characters do not
    // reach the XML (the file would not open).
    EXPECT_EQ(readings.cell("A3"), nullptr);
    EXPECT_EQ(readings.cell("B3")->kind, "s");
    EXPECT_EQ(readings.cell("B3")->value, "—");
    EXPECT_EQ(readings.cell("D3")->value, "Кран ?[31mКПМ");

    const auto& periods = sheets[1];
    EXPECT_EQ(periods.frozen, "A2");
    EXPECT_EQ(periods.autofilter, "A1:B2");
    EXPECT_EQ(periods.cell("A2")->format, "dd.mm.yyyy");
    EXPECT_DOUBLE_EQ(periods.cell("A2")->number().value_or(0.0), 45291.0);
    EXPECT_EQ(periods.cell("B2")->format, "0.0");
    EXPECT_DOUBLE_EQ(periods.cell("B2")->number().value_or(0.0), -1.5);

    ASSERT_EQ(readings.widths.size(), 4u);
    EXPECT_GE(readings.widths.at(1), 16.0);
    EXPECT_GE(readings.widths.at(1), 15.0 + 2.0); // the header "Дата считывания" is longer still
}

TEST(XlsxWorkbook, ReplacesAnOldFileWhole)
{
    if (!xlsxSupported())
        GTEST_SKIP() << "built without libxlsxwriter";
    TempDir dir;
    const std::string path = dir.file("парк.xlsx");
    std::ofstream(path) << "old contents";
    writeXlsx(smallWorkbook(), path);
    std::ifstream in(path, std::ios::binary);
    std::string start(2, '\0');
    in.read(start.data(), 2);
    EXPECT_EQ(start, "PK"); // a zip now
    EXPECT_EQ(entriesOf(dir.path()), std::vector<std::string>{"парк.xlsx"});
}

TEST(XlsxWorkbook, AFailedSaveLeavesNothingAndSaysWhyInRussian)
{
    TempDir dir;
    auto failureOf = [](const XlsxWorkbook& workbook, const std::string& path) {
        try {
            writeXlsx(workbook, path);
        } catch (const XlsxError& error) {
            return std::string(error.what());
        }
        return std::string("written");
    };

    // A folder that does not exist.
    const std::string missing = dir.file("нет/парк.xlsx");
    std::string message = failureOf(smallWorkbook(), missing);
    EXPECT_EQ(message.rfind("Файл Excel " + missing + " не записан: ", 0), 0u) << message;
    if (xlsxSupported()) {
        EXPECT_NE(message.find(systemErrorText(ENOENT)), std::string::npos) << message;
    }
    EXPECT_FALSE(fs::exists(missing));

    // A folder where the file would go: the folder stays, no temporary file stays beside it.
    fs::create_directory(dir.path() / "парк.xlsx");
    message = failureOf(smallWorkbook(), dir.file("парк.xlsx"));
    EXPECT_NE(message.find("не записан"), std::string::npos) << message;
    if (xlsxSupported()) {
        EXPECT_NE(message.find(systemErrorText(EISDIR)), std::string::npos) << message;
    }
    EXPECT_TRUE(fs::is_directory(dir.path() / "парк.xlsx"));
    EXPECT_EQ(entriesOf(dir.path()), std::vector<std::string>{"парк.xlsx"});

    // A sheet name Excel refuses, and a workbook without sheets: nothing is written.
    XlsxWorkbook badName = smallWorkbook();
    badName.sheets[1].name = "Периоды 01/02";
    EXPECT_NE(failureOf(badName, dir.file("a.xlsx")).find("недопустимое имя листа"), std::string::npos);
    XlsxWorkbook twice = smallWorkbook();
    twice.sheets[1].name = twice.sheets[0].name;
    EXPECT_NE(failureOf(twice, dir.file("a.xlsx")).find("два листа"), std::string::npos);
    EXPECT_NE(failureOf({}, dir.file("a.xlsx")).find("нет ни одного листа"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.file("a.xlsx")));

    // A folder without write permission (root writes anyway).
    if (xlsxSupported() && ::geteuid() != 0) {
        const fs::path locked = dir.path() / "закрыта";
        fs::create_directory(locked);
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
        message = failureOf(smallWorkbook(), (locked / "парк.xlsx").string());
        EXPECT_NE(message.find(systemErrorText(EACCES)), std::string::npos) << message;
        fs::permissions(locked, fs::perms::owner_all);
        EXPECT_TRUE(entriesOf(locked).empty());
    }
}

TEST(XlsxWorkbook, ABuildWithoutTheLibrarySaysSo)
{
    if (xlsxSupported())
        GTEST_SKIP() << "this build writes workbooks";
    TempDir dir;
    try {
        writeXlsx(smallWorkbook(), dir.file("a.xlsx"));
        FAIL() << "written";
    } catch (const XlsxError& error) {
        EXPECT_NE(std::string(error.what()).find("эта сборка программы не умеет записывать файлы Excel"),
            std::string::npos);
    }
    EXPECT_FALSE(fs::exists(dir.file("a.xlsx")));
}
