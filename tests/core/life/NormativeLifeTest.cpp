// The passport's normative service life: the commissioning text read as a date, the year
// of manufacture in its place, passed or not at the reading, and words where a value is missing.
#include "core/demo/DemoHistory.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"
#include "core/life/HistoryView.h"
#include "core/life/LifeHistory.h"
#include "core/life/NormativeLife.h"

#include <gtest/gtest.h>

using namespace kestrel;

namespace {

DateTime day(int year, int month, int dayOfMonth) { return encodeDateTime(year, month, dayOfMonth, 0, 0); }

const DisplayLocale kRussian = DisplayLocale::russian();

} // namespace

TEST(NormativeLife, CommissioningTextReadsAsADateOnlyWhenItIsOne)
{
    for (const char* text : {"12.05.1990", " 12.05.1990 ", "12/05/1990", "12-05-1990", "1990-05-12", "12.5.1990",
             "12.05.1990 г.", "12.05.1990г"})
        EXPECT_EQ(parseCommissioningDate(text), day(1990, 5, 12)) << text;
    // Two-digit years are not guessed; impossible days, other orders and words are no dates.
    for (const char* text : {"", "1990", "12.05.90", "31.02.1990", "12.05-1990", "1990.05.12", "май 1990",
             "12.05.1990.1", "12.13.1990", "01.01.1850", "123.05.1990"})
        EXPECT_FALSE(parseCommissioningDate(text)) << text;
}

TEST(NormativeLife, CountedFromCommissioningOrElseFromTheYearOfManufacture)
{
    const NormativeLife commissioned = normativeLife(25, "12.05.1990", 1988, day(2015, 5, 11));
    EXPECT_EQ(commissioned.basis, NormativeStart::Commissioning);
    EXPECT_EQ(commissioned.end, day(2015, 5, 12));
    EXPECT_EQ(commissioned.passed, false); // the day before it ends
    EXPECT_EQ(normativeLife(25, "12.05.1990", 1988, day(2015, 5, 12) + 0.4).passed, true);

    const NormativeLife made = normativeLife(20, "нет данных", 1985, day(2024, 3, 1));
    EXPECT_EQ(made.basis, NormativeStart::Manufacture);
    EXPECT_EQ(made.start, day(1985, 1, 1));
    EXPECT_EQ(made.end, day(2005, 1, 1));
    EXPECT_EQ(made.passed, true);
    EXPECT_NE(normativeVerdict(made, kRussian).find("требуется экспертиза промышленной безопасности"),
        std::string::npos);
    EXPECT_NE(normativeVerdict(made, kRussian).find("20 лет, истек 01.01.2005"), std::string::npos);

    // 29 February ends on 28 February of a common year.
    EXPECT_EQ(normativeLife(1, "29.02.2000", 0, day(2001, 3, 1)).end, day(2001, 2, 28));
    EXPECT_EQ(normativeVerdict(normativeLife(21, "01.06.2010", 0, day(2020, 1, 1)), kRussian),
        "Нормативный срок службы крана (21 год) истекает 01.06.2031");
}

TEST(NormativeLife, MissingValuesGiveWordsAndNoDate)
{
    for (int years : {0, -56}) {
        const NormativeLife none = normativeLife(years, "12.05.1990", 1988, day(2024, 1, 1));
        EXPECT_FALSE(none.end);
        EXPECT_FALSE(none.passed);
        EXPECT_EQ(normativeVerdict(none, kRussian).rfind("Нормативный срок службы крана не определен: ", 0), 0u);
        EXPECT_EQ(normativeLifeText(none, kRussian), "Нормативный срок службы: не указан");
    }
    for (int year : {0, 1899, 32767, -1}) {
        const NormativeLife unreadable = normativeLife(25, "", year, day(2024, 1, 1));
        EXPECT_EQ(unreadable.basis, NormativeStart::None) << year;
        EXPECT_FALSE(unreadable.start);
        EXPECT_FALSE(unreadable.passed);
        EXPECT_NE(unreadable.missing.find("года изготовления"), std::string::npos);
        EXPECT_NE(normativeLifeText(unreadable, kRussian).find("25 лет, начало отсчета не определено"),
            std::string::npos);
    }
    // A reading without a date: the end is known, whether it passed is not.
    const NormativeLife undated = normativeLife(25, "12.05.1990", 1988, 0.0);
    EXPECT_EQ(undated.end, day(2015, 5, 12));
    EXPECT_FALSE(undated.passed);
    EXPECT_NE(normativeVerdict(undated, kRussian).find("не проверено"), std::string::npos);
}

TEST(NormativeLife, APassedServiceLifeLeadsTheVerdictWhateverTheDuty)
{
    MemoryImage image = makeDemoHistory(5, 1).back();
    const DateTime reading = stampToDateTime(stampAt(image, layout::kReadingStamp));
    const CalendarDate readOn = decodeDate(reading);
    image[layout::kServiceLife] = 10;
    putFixedText(image, layout::kInServiceDate, 20, "01.01." + std::to_string(readOn.year - 10));
    const DesignClasses roomy{"A7", "", "", ""}; // far from exhausted for any demo crane
    const LifeAssessment passed = assessLife({{1, image}}, roomy, kRussian);
    EXPECT_EQ(passed.normative.passed, true);
    EXPECT_EQ(passed.crane.verdict, kVerdictWithin); // the duty alone says nothing is wrong
    const auto verdicts = lifeVerdicts(passed, kRussian);
    ASSERT_EQ(verdicts.size(), 2u);
    EXPECT_NE(verdicts[0].find("Кран отработал нормативный срок службы"), std::string::npos);
    EXPECT_EQ(verdicts[1], std::string("Кран: ") + kVerdictWithin);
    EXPECT_TRUE(needsAttention(passed));

    putFixedText(image, layout::kInServiceDate, 20, "01.01." + std::to_string(readOn.year - 9));
    const LifeAssessment running = assessLife({{1, image}}, roomy, kRussian);
    EXPECT_EQ(running.normative.passed, false);
    EXPECT_FALSE(needsAttention(running));
    // One line beside the design working period.
    EXPECT_EQ(normativeLifeText(running.normative, kRussian),
        "Нормативный срок службы: 10 лет с 01.01." + std::to_string(readOn.year - 9)
            + " (ввод в эксплуатацию) до 01.01." + std::to_string(readOn.year + 1));
    EXPECT_NE(normativeLifeText(passed.normative, kRussian).find(", истек"), std::string::npos);
}
