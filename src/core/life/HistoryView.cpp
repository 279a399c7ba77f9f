#include "core/life/HistoryView.h"

#include "core/image/DateTime.h"
#include "core/text/NumberFormat.h"

#include <cmath>

namespace kestrel {

namespace {

std::string dateText(DateTime value, const DisplayLocale& locale)
{
    if (value == 0.0)
        return {};
    try {
        return formatShortDate(value, locale);
    } catch (const DateConversionError&) {
        return {};
    }
}

std::string optionalNumber(const std::optional<double>& value, int decimals, const DisplayLocale& locale,
    const std::string& absent = "—")
{
    return value ? formatFixed(*value, decimals, locale) : absent;
}

// The figures of one mechanism, in the order of the rows.
std::vector<std::string> mechanismTexts(const DutyAssessment& duty, const DisplayLocale& locale)
{
    const auto share = duty.usedShare ? std::optional<double>(*duty.usedShare * 100.0) : std::nullopt;
    return {
        duty.group.empty() ? "не указана" : duty.group,
        optionalNumber(duty.designDuty, 0, locale, "не ограничена"),
        formatFixed(duty.recordedDuty, 0, locale),
        formatFixed(duty.yearsRecorded, 1, locale),
        formatFixed(duty.ratePerYear, 0, locale),
        formatFixed(duty.yearsBeforeRecorder, 1, locale),
        formatFixed(duty.estimatedDutyBefore, 0, locale),
        formatFixed(duty.usedDuty, 0, locale),
        optionalNumber(share, 1, locale),
        optionalNumber(duty.remainingDuty, 0, locale),
        optionalNumber(duty.yearsLeft, 1, locale),
        duty.exhaustedOn ? dateText(*duty.exhaustedOn, locale) : "—",
    };
}

constexpr std::array<const char*, 12> kLifeCaptions{
    "Расчетная группа (классы)",
    "Расчетная наработка D, циклов полной нагрузки",
    "Наработка по регистратору R",
    "Лет наблюдения регистратором",
    "Наработка в год",
    "Лет работы до установки регистратора",
    "Наработка до регистратора B (оценка)",
    "Использовано U = R + B",
    "Использовано, %",
    "Остаток D - U",
    "Лет до исчерпания",
    "Дата исчерпания (прогноз)",
};

} // namespace

void setLife(HistoryView& view, const LifeAssessment& assessment, const DisplayLocale& locale)
{
    view.life = lifeRows(assessment, locale);
    view.verdict.clear();
    for (const std::string& line : lifeVerdicts(assessment))
        view.verdict += (view.verdict.empty() ? "" : "\n") + line;
}

std::vector<std::array<std::string, 4>> lifeRows(const LifeAssessment& assessment, const DisplayLocale& locale)
{
    const auto crane = mechanismTexts(assessment.crane, locale);
    const auto winch1 = assessment.winch1 ? mechanismTexts(*assessment.winch1, locale) : std::vector<std::string>{};
    const auto winch2 = assessment.winch2 ? mechanismTexts(*assessment.winch2, locale) : std::vector<std::string>{};
    std::vector<std::array<std::string, 4>> rows;
    for (std::size_t i = 0; i < kLifeCaptions.size(); ++i)
        rows.push_back({kLifeCaptions[i], crane[i], winch1.empty() ? "" : winch1[i], winch2.empty() ? "" : winch2[i]});
    return rows;
}

std::vector<std::string> lifeVerdicts(const LifeAssessment& assessment)
{
    std::vector<std::string> verdicts{"Кран: " + assessment.crane.verdict};
    if (assessment.winch1)
        verdicts.push_back("Лебедка №1: " + assessment.winch1->verdict);
    if (assessment.winch2)
        verdicts.push_back("Лебедка №2: " + assessment.winch2->verdict);
    return verdicts;
}

HistoryView historyView(const LifeHistory& history, const DisplayLocale& locale)
{
    HistoryView view;
    for (auto reading = history.readings.rbegin(); reading != history.readings.rend(); ++reading) {
        const ReadingFigures& f = reading->figures;
        view.readings.push_back({reading->id,
            {f.readingText, f.cycles, f.kp, f.q, f.u, f.a, f.limiterTrips, f.motorHours,
                f.checksumOk ? "верна" : "неверна"}});
    }
    for (auto period = history.periods.rbegin(); period != history.periods.rend(); ++period) {
        const ReadingFigures& f = period->figures;
        view.periods.push_back({dateText(f.periodStart, locale) + " - " + dateText(f.reading, locale), f.cycles,
            formatFixed(f.stats[kCrane].characteristicNumber, 2, locale), f.limiterTrips});
    }
    view.monthlyCycles = history.monthlyCycles;
    for (const ChartSample& sample : history.usedShare)
        view.usedShare.push_back({sample.when, sample.value * 100.0});
    if (!history.readings.empty())
        setLife(view, history.assessment, locale);
    if (!history.readings.empty() && history.readings.back().segment > 0)
        view.note = "Данные регистратора стирались: наработка суммируется по участкам между стираниями.";
    return view;
}

} // namespace kestrel
