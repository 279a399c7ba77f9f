#include "ReportFixture.h"

#include "core/reports/ReportDispatch.h"
#include "core/reports/ReportDocuments.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::contains;
using test::indexOf;
using test::ReportFixture;

DocumentLines write(ReportWriter writer, const ReportFixture& f, int limit = 32, const std::string& title = "T")
{
    DocumentLines lines;
    writer(lines, title, limit, f.input());
    return lines;
}

std::vector<std::string> headings(const DocumentLines& lines)
{
    std::vector<std::string> found;
    const std::string open = "<H2 align=\"left\"><U>";
    const std::string close = "</H2></U>";
    for (const std::string& line : lines)
        if (line.starts_with(open) && line.ends_with(close))
            found.push_back(line.substr(open.size(), line.size() - open.size() - close.size()));
    return found;
}

// Lengths of the underscore blanks in document order; each must end in <BR>.
std::vector<int> blanks(const DocumentLines& lines)
{
    std::vector<int> runs;
    for (const std::string& line : lines) {
        const auto start = line.find('_');
        if (start == std::string::npos)
            continue;
        const auto end = line.find_first_not_of('_', start);
        EXPECT_EQ(line.substr(end), "<BR>") << line;
        runs.push_back(static_cast<int>(end - start));
    }
    return runs;
}

const std::vector<int> kConditions{47, 62, 61, 79};
const std::vector<int> kSpecialist{72, 66, 45, 79, 53, 71};
const std::vector<int> kConclusion{68, 79, 79, 79};

std::vector<int> join(std::initializer_list<std::vector<int>> parts)
{
    std::vector<int> all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

TEST(ReportDocuments, EveryDocumentHasTheFrame)
{
    ReportFixture f;
    for (const ReportKind& kind : kReportKinds) {
        const DocumentLines lines = write(kind.writer, f, 32, "ПРОТОКОЛ \"№2\" & <x>");
        ASSERT_GT(lines.size(), 11u) << kind.title;
        EXPECT_EQ(lines[0], "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">");
        EXPECT_EQ(lines[1], "<HTML>");
        EXPECT_EQ(lines[2], "<HEAD>");
        EXPECT_EQ(lines[3], "<TITLE>ПРОТОКОЛ &quot;№2&quot; &amp; &lt;x&gt;</TITLE>");
        EXPECT_EQ(lines[4], "<META http-equiv=Content-Language content=en-us>");
        EXPECT_EQ(lines[5], "<META http-equiv=Content-Type content=\"text/html; charset=windows-1251\">");
        EXPECT_EQ(lines[6], "<META name=GENERATOR content=\"Регистратор параметров работы крана\">");
        EXPECT_EQ(lines[7], "</HEAD>");
        EXPECT_EQ(lines[8], "<BODY  style=\"font-size: 12pt; margin-left: 0; margin-top: 0; margin-bottom: 0\">");
        EXPECT_EQ(lines[9].substr(0, 19), "<H1 align=\"center\">");
        EXPECT_EQ(lines[lines.size() - 2], "</BODY>");
        EXPECT_EQ(lines.back(), "</HTML>");
    }
}

TEST(ReportDocuments, SectionsInOrderWithTheirNumbers)
{
    ReportFixture f;
    const std::vector<std::string> recorded{"1. Идентификационная информация крана",
        "2. Идентификационная информация регистратора параметров", "3. Информация долговременного хранения",
        "4. Рассчитанные параметры (по ИСО 4301/1)", "5. Оперативная информация",
        "6. Сведения о специалисте по обработке информации РП"};
    EXPECT_EQ(headings(write(writeProtocol2, f)), recorded);
    EXPECT_EQ(headings(write(writeProtocol3, f)), recorded);
    EXPECT_EQ(headings(write(writeProtocol4, f)),
        (std::vector<std::string>{"1. Информация о месте и характере аварии (несчасного случая)",
            "2. Идентификационная информация крана", "3. Идентификационная информация регистратора параметров",
            "4. Информация долговременного хранения", "5. Рассчитанные параметры (по ИСО 4301/1)",
            "6. Оперативная информация", "7. Сведения о специалисте по обработке информации РП"}));
    EXPECT_EQ(headings(write(writeProtocol1, f)),
        (std::vector<std::string>{"1. Идентификационная информация крана",
            "2. Идентификационная информация регистратора параметров", "3. Информация долговременного хранения",
            "4. Оперативная информация", "5. Условия проведения проверки",
            "6. Сведения о специалисте по обработке информации РП"}));
    EXPECT_EQ(headings(write(writeJournal, f)),
        (std::vector<std::string>{"1. Идентификационная информация крана",
            "2. Идентификационная информация регистратора параметров", "3. План проверки регистратора параметров",
            "4. Условия проведения проверки", "5. Сведения о специалисте по обработке информации РП"}));
}

TEST(ReportDocuments, ConclusionOnlyInProtocolsOneAndTwo)
{
    ReportFixture f;
    const std::string conclusion = "Заключение:" + std::string(68, '_') + "<BR>";
    EXPECT_TRUE(contains(write(writeProtocol1, f), conclusion));
    EXPECT_TRUE(contains(write(writeProtocol2, f), conclusion));
    EXPECT_FALSE(contains(write(writeProtocol3, f), conclusion));
    EXPECT_FALSE(contains(write(writeProtocol4, f), conclusion));
    const DocumentLines p3 = write(writeProtocol3, f);
    EXPECT_EQ(p3[p3.size() - 3], "<BR>От экспертной организации</P>");
}

TEST(ReportDocuments, BlankLinesHaveTheirExactLengths)
{
    ReportFixture f;
    EXPECT_EQ(blanks(write(writeJournal, f, 0)), join({{45, 25, 29, 42}, kConditions, kSpecialist}));
    EXPECT_EQ(blanks(write(writeProtocol1, f)), join({{43, 52, 53, 15, 15, 26}, kConditions, kSpecialist, kConclusion}));
    EXPECT_EQ(blanks(write(writeProtocol2, f)), join({kSpecialist, kConclusion}));
    EXPECT_EQ(blanks(write(writeProtocol3, f)), kSpecialist);
    EXPECT_EQ(blanks(write(writeProtocol4, f)), join({{48, 79, 33, 79, 79, 61, 79, 79}, kSpecialist}));
}

TEST(ReportDocuments, JournalBlankTableHasLimitRows)
{
    ReportFixture f;
    const auto rows = [&](int limit) {
        const DocumentLines lines = write(writeJournal, f, limit);
        const std::size_t table = indexOf(lines, "3.5. Сведения о циклах работы крана, проведенных в период проверки:<BR>");
        const std::size_t end = indexOf(lines, "</TR></TABLE>", table);
        EXPECT_EQ(lines[end + 1], "</P>");
        return (end - table - 7) / 6;
    };
    EXPECT_EQ(rows(0), 0u);
    EXPECT_EQ(rows(-1), 0u);
    EXPECT_EQ(rows(3), 3u);
    // A mistyped huge limit is capped instead of filling memory.
    EXPECT_EQ(rows(2147483647), static_cast<std::size_t>(kMaxJournalBlankRows));

    const DocumentLines lines = write(writeJournal, f, 2);
    EXPECT_TRUE(contains(lines, "<TD width=\"4%\" align=\"center\">&nbsp;2</TD>"));
    // Crane and recorder sections are each followed by one more paragraph close.
    const std::size_t recorder = indexOf(lines, "<H2 align=\"left\"><U>2. Идентификационная информация регистратора параметров</H2></U>");
    EXPECT_EQ(lines[recorder - 1], "</P>");
    EXPECT_EQ(lines[recorder - 2], "</P>");
}

TEST(ReportDocuments, ProtocolOneComparesRecordedAndActualValues)
{
    ReportFixture f;
    const DocumentLines lines = write(writeProtocol1, f);
    EXPECT_TRUE(contains(lines, "3.1. Общая наработка крана в моточасах . . . . . . . . . . . . . . . . . <B>812,5 ч</B><BR>"));
    EXPECT_TRUE(contains(lines, "3.6. Дата и время считывания информации (РП) . . . . . . . . . . . <B>12.03.2006 10:45 </B><BR>"));
    EXPECT_TRUE(contains(lines, "<TD width=\"15%\" align=\"center\">&nbsp;100% (16,0т)</TD>"));
    EXPECT_TRUE(contains(lines, "<TD width=\"15%\" align=\"center\">&nbsp;25% (1,00т)</TD>"));
}

} // namespace
} // namespace kestrel
