#include "ReportFixture.h"

#include "core/reports/ReportDispatch.h"
#include "core/reports/RowLimit.h"
#include "core/text/Cp1251.h"
#include "core/ui/ScriptedUserInterface.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kestrel {
namespace {

using test::ReportFixture;

TEST(RowLimit, ParsesLikeTheInputDialogExpects)
{
    EXPECT_EQ(parseRowLimit("32"), 32);
    EXPECT_EQ(parseRowLimit(" 12"), 12);
    EXPECT_EQ(parseRowLimit("+7"), 7);
    EXPECT_EQ(parseRowLimit("$1F"), 31);
    EXPECT_EQ(parseRowLimit("2147483647"), 2147483647);
    EXPECT_EQ(parseRowLimit("0x20"), 32);
    EXPECT_EQ(parseRowLimit("0"), 0);
    // No number, or a negative one (also a hexadecimal that wraps), is refused, never a default.
    for (const char* bad : {"", "abc", "12 ", "1.5", "-", "$", "$G", "99999999999", "2147483648", "$100000000", "\t5",
             "-3", "-$a", "$FFFFFFFF"})
        EXPECT_EQ(parseRowLimit(bad), std::nullopt) << '"' << bad << '"';
}

TEST(ReportDispatch, TitlesAndSaveNames)
{
    ReportFixture f;
    const std::string full = fullReportTitle(findReportKind(2)->title, f.view.identification);
    EXPECT_EQ(full, "ПРОТОКОЛ №2 от 12.03.2006 10:45   РП №77");
    EXPECT_EQ(reportSaveNameProposal(full), "ПРОТОКОЛ №2 от 12_03_2006 1045   РП №77");
    EXPECT_EQ(findReportKind(5)->writer, kReportKinds[4].writer);
    EXPECT_STREQ(findReportKind(5)->title, "ЖУРНАЛ");
    EXPECT_EQ(findReportKind(0), nullptr);
    EXPECT_EQ(findReportKind(7), nullptr);
}

TEST(ReportDispatch, TheDesignWorkingPeriodAsksNothingAndSaysWhenItHasNoFigures)
{
    ReportFixture f;
    ScriptedUserInterface ui;
    const auto doc = buildReportDocument(kLifeReportTag, f.input(), ui);
    ASSERT_TRUE(doc.has_value());
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_EQ(doc->fullTitle, "ОЦЕНКА РАСЧЕТНОГО СРОКА СЛУЖБЫ от 12.03.2006 10:45   РП №77");
    EXPECT_NE(doc->bytes.find(utf8ToCp1251("Оценка не выполнена")), std::string::npos);
}

TEST(ReportDispatch, EncodesWindows1251WithCrLf)
{
    EXPECT_EQ(encodeDocument({"<HTML>", "ЖУРНАЛ №", ""}), "<HTML>\r\n\xC6\xD3\xD0\xCD\xC0\xCB \xB9\r\n\r\n");
    EXPECT_EQ(encodeDocument({}), "");
}

TEST(ReportDispatch, AsksForTheLimitAndBuildsTheDocument)
{
    ReportFixture f;
    ScriptedUserInterface ui;
    ui.inputAnswers = {std::optional<std::string>("12")};
    const auto doc = buildReportDocument(4, f.input(), ui);
    ASSERT_TRUE(doc.has_value());
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0], "ПРОТОКОЛ №4\nВведите максимальное количество отображаемых циклов:");
    EXPECT_EQ(doc->fullTitle, "ПРОТОКОЛ №4 от 12.03.2006 10:45   РП №77");
    EXPECT_TRUE(doc->bytes.starts_with("<!DOCTYPE HTML PUBLIC"));
    EXPECT_TRUE(doc->bytes.ends_with("</BODY>\r\n</HTML>\r\n"));
    EXPECT_TRUE(ui.messages.empty());

    // A slip of the keyboard makes no document with a limit nobody typed.
    ScriptedUserInterface slip;
    slip.inputAnswers = {std::optional<std::string>("abc")};
    EXPECT_FALSE(buildReportDocument(4, f.input(), slip).has_value());
    EXPECT_EQ(slip.messages, std::vector<std::string>{rowLimitRefusedMessage("abc")});
}

TEST(ReportDispatch, ProposesTheListLengthAndCancelWritesNothing)
{
    ReportFixture f;
    f.view.lvLast.resize(32);
    f.view.lvLast[20].caption = "01.02.2006 12:00 ";
    ScriptedUserInterface ui;
    ui.inputAnswers = {std::nullopt};
    EXPECT_FALSE(buildReportDocument(1, f.input(), ui).has_value());
    EXPECT_TRUE(ui.messages.empty());

    // Accepting the proposal "32": all rows are walked.
    ScriptedUserInterface accept;
    const auto doc = buildReportDocument(2, f.input(), accept);
    ASSERT_TRUE(doc.has_value());
    EXPECT_NE(doc->bytes.find("\r\n<TD width=\"4%\" align=\"center\">&nbsp;21</TD>\r\n"), std::string::npos);
}

TEST(ReportDispatch, WriterFailureKeepsWhatWasWritten)
{
    ReportFixture f;
    f.view.identification.eRegSetup = 1e9; // no such date
    ScriptedUserInterface ui;
    const auto doc = buildReportDocument(2, f.input(), ui);
    ASSERT_TRUE(doc.has_value());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Дата вне допустимого диапазона (годы от 1 до 9999).");
    // The document stops before the installation date line.
    EXPECT_TRUE(doc->bytes.ends_with(
        utf8ToCp1251("2.4. Предприятие-изготовитель РП . . . . <B>НПП Технология</B><BR>\r\n")));
    EXPECT_EQ(doc->bytes.find("</HTML>"), std::string::npos);
}

class DialogBroken : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ThrowingDialog : public ScriptedUserInterface {
public:
    std::optional<std::string> inputText(const std::string&, const std::string&, const std::string&) override
    {
        throw DialogBroken("нет окна");
    }
};

TEST(ReportDispatch, OtherFailuresNameTitleClassAndMessage)
{
    ReportFixture f;
    ThrowingDialog ui;
    EXPECT_FALSE(buildReportDocument(3, f.input(), ui).has_value());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Ошибка формирования:\n ПРОТОКОЛ №3\nDialogBrokenнет окна");

    ScriptedUserInterface plain;
    EXPECT_FALSE(buildReportDocument(9, f.input(), plain).has_value());
    ASSERT_EQ(plain.messages.size(), 1u);
    EXPECT_TRUE(plain.messages[0].starts_with("Ошибка формирования:\n \n")) << plain.messages[0];
}

} // namespace
} // namespace kestrel
