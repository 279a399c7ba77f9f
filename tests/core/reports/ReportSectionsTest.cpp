#include "ReportFixture.h"

#include "core/reports/HtmlFragments.h"
#include "core/reports/ReportSections.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::contains;
using test::indexOf;
using test::ReportFixture;

// The row numbers in the first cells of a cycle table's data rows.
std::vector<std::string> rowNumbers(const DocumentLines& lines)
{
    std::vector<std::string> numbers;
    const std::string cell = html::dataCell(4);
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        if (lines[i] == "</TR><TR>" && lines[i + 1].starts_with(cell))
            numbers.push_back(lines[i + 1].substr(cell.size(), lines[i + 1].size() - cell.size() - 5));
    return numbers;
}

TEST(ReportSections, HeadingAndSubItemsFollowTheSectionNumber)
{
    ReportFixture f;
    DocumentLines lines;
    writeOperationalSection(lines, "4", 32, f.input());
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "<H2 align=\"left\"><U>4. Оперативная информация</H2></U>");
    EXPECT_EQ(lines[1], "<P align=\"left\">");
    EXPECT_EQ(lines[2], "4.1. Сведения о регистрируемых циклах работы крана:<BR>");
    EXPECT_TRUE(contains(lines, "4.2. Сведения о срабатываниях ограничителя грузоподъемности:<BR>"));
    EXPECT_EQ(lines.back(), "</P>");
}

TEST(ReportSections, RowLimitCountsEmptyRowsButSkipsThem)
{
    ReportFixture f;
    f.view.lvLast.resize(5);
    f.view.lvStop.clear();
    struct Case {
        int limit;
        std::vector<std::string> rows;
    };
    for (const Case& c : {Case{5, {"1", "2", "4", "5"}}, Case{3, {"1", "2"}}, Case{0, {}}, Case{-4, {}},
             Case{1000, {"1", "2", "4", "5"}}}) {
        DocumentLines plain;
        writeOperationalSection(plain, "6", c.limit, f.input());
        EXPECT_EQ(rowNumbers(plain), c.rows) << "limit " << c.limit;
        DocumentLines fact;
        writeOperationalFactSection(fact, "4", c.limit, f.input());
        EXPECT_EQ(rowNumbers(fact), c.rows) << "limit " << c.limit;
    }
}

TEST(ReportSections, TripsTableWalksTheTripList)
{
    ReportFixture f;
    DocumentLines lines;
    writeTripsTable(lines, 10, f.input());
    EXPECT_EQ(rowNumbers(lines), (std::vector<std::string>{"1", "3"}));
    EXPECT_TRUE(contains(lines, html::dataCell(15) + "115%</TD>"));
    EXPECT_EQ(lines.back(), "</TR></TABLE>");

    DocumentLines headerOnly;
    writeTripsTable(headerOnly, 0, f.input());
    EXPECT_EQ(headerOnly.size(), 9u); // table, row, six header cells, close
}

TEST(ReportSections, FactTableShowsEachWinchMassBesideItsLoad)
{
    ReportFixture f;
    f.stats[kWinch1].capacity = 0.8f;
    f.stats[kWinch2].capacity = 10.0f;
    f.cycleRows[0].winch1Load = 100;
    f.cycleRows[0].winch2Load = 100;
    f.view.lvLast[0].subItems = {"100%", "100%", "", "Стоп(Л1) "};
    DocumentLines lines;
    writeOperationalFactSection(lines, "4", 1, f.input());
    // 0.8 t is not above 1 and keeps two decimals; the Russian locale's comma.
    EXPECT_TRUE(contains(lines, html::dataCell(15) + "100% (0,80т)</TD>"));
    EXPECT_TRUE(contains(lines, html::dataCell(15) + "100% (10,0т)</TD>"));
    EXPECT_TRUE(contains(lines, html::dataCell(20) + "Стоп(Л1) </TD>"));

    f.locale = DisplayLocale::c();
    lines.clear();
    writeOperationalFactSection(lines, "4", 1, f.input());
    EXPECT_TRUE(contains(lines, html::dataCell(15) + "100% (0.80т)</TD>"));
}

TEST(ReportSections, SensorTableShowsAtMostFourSensors)
{
    ReportFixture f;
    f.view.settings.calibr.push_back({"Датчик №5", {"1", "2"}});
    f.view.settings.calibr.push_back({"Датчик №6", {}});
    DocumentLines lines;
    writeRecorderSection(lines, "2", f.input());
    EXPECT_TRUE(contains(lines, html::dataCell(40) + "Датчик №4</TD>"));
    EXPECT_FALSE(contains(lines, html::dataCell(40) + "Датчик №5</TD>"));
    EXPECT_TRUE(contains(lines, html::dataCell(30) + "870</TD>"));
    EXPECT_TRUE(contains(lines, "2.5. Дата установки РП на кран . . . . . . . <B>15.06.2005</B><BR>"));
}

TEST(ReportSections, LoadTableHasEveryDistributionRowAndTotals)
{
    ReportFixture f;
    DocumentLines lines;
    writeLoadTable(lines, f.input());
    EXPECT_EQ(rowNumbers(lines), (std::vector<std::string>{"1", "2", "3"}));
    const std::size_t total = indexOf(lines, "<TD width=\"28%\" colspan=\"2\" align=\"center\">&nbsp;Всего</TD>");
    ASSERT_LT(total + 3, lines.size());
    EXPECT_EQ(lines[total + 1], html::dataCell(24) + "1530</TD>");
    EXPECT_EQ(lines[total + 2], html::dataCell(24) + "1200</TD>");
    EXPECT_EQ(lines[total + 3], html::dataCell(24) + "330</TD>");
}

TEST(ReportSections, CopiedTextsAreEscapedAndFixedFragmentsAreNot)
{
    ReportFixture f;
    f.view.identification.eMarka = "<script>\"A&B\"</script>";
    f.view.identification.lVersion = std::string("RP02\0<junk>", 11);
    f.view.lvStop[0].caption = "a<b";
    f.view.distribution.lvLoad[0].subItems[0] = "0 -> 20";
    DocumentLines lines;
    writeCraneSection(lines, "1", f.input());
    writeRecorderSection(lines, "2", f.input());
    writeStoredSection(lines, "3", f.input());
    writeTripsTable(lines, 5, f.input());
    EXPECT_EQ(lines[2],
        "1.1. Тип и индекс крана . . . . . . . . . . . . . . . <B>&lt;script&gt;&quot;A&amp;B&quot;&lt;/script&gt;"
        "</B><BR>");
    // The version label ends at its NUL, like the label on screen.
    EXPECT_TRUE(contains(lines, "2.1. Тип и модификация РП . . . . . . . . . . <B>РП-02&nbsp;/&nbsp;RP02</B><BR>"));
    EXPECT_TRUE(contains(lines, html::dataCell(20) + "a&lt;b</TD>"));
    EXPECT_TRUE(contains(lines, html::dataCell(24) + "0 -&gt; 20</TD>"));
    EXPECT_TRUE(contains(lines, std::string(html::kRuledTable)));
    for (const std::string& line : lines)
        EXPECT_EQ(line.find('\0'), std::string::npos);
}

TEST(ReportSections, RecorderTypeAndModificationAreSeparatedOnlyWhenBothAreThere)
{
    const std::string prefix = "2.1. Тип и модификация РП . . . . . . . . . . <B>";
    const struct {
        std::string type;
        std::string version;
        std::string shown;
    } cases[] = {
        {"РП-2000", "", "РП-2000"},
        {"РП-2000", std::string("\0RP", 3), "РП-2000"}, // the label ends at its NUL: nothing shown
        {"РП-2000", "   ", "РП-2000"},
        {"", "RP02 (версия 2.1.7)", "RP02 (версия 2.1.7)"},
        {"", "", ""},
        {"A&B", "<v>", "A&amp;B&nbsp;/&nbsp;&lt;v&gt;"},
    };
    for (const auto& c : cases) {
        ReportFixture f;
        f.view.identification.eRegType = c.type;
        f.view.identification.lVersion = c.version;
        DocumentLines lines;
        writeRecorderSection(lines, "2", f.input());
        EXPECT_TRUE(contains(lines, prefix + c.shown + "</B><BR>")) << c.type << " | " << c.version;
    }
}

TEST(ReportSections, CalculatedSectionListsTheSevenWinchParameters)
{
    ReportFixture f;
    DocumentLines lines;
    writeCalculatedSection(lines, "5", f.input());
    EXPECT_EQ(rowNumbers(lines), (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_TRUE(contains(lines, "5.2. Коэф. распределения нагрузок крана (Kp) . . . . . . . . . . . . <B>0,42</B><BR>"));
    EXPECT_TRUE(contains(lines, html::leftDataCell(56) + "Суммарная масса поднятых грузов, т</TD>"));
    EXPECT_TRUE(contains(lines, html::dataCell(20) + "<B>w2-6</B></TD>"));
}

} // namespace
} // namespace kestrel
