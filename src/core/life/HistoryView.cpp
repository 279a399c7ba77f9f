#include "core/life/HistoryView.h"

#include "core/image/DateTime.h"
#include "core/text/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <optional>

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

std::string sourceText(GroupSource source)
{
    switch (source) {
    case GroupSource::Passport:
        return "паспорт крана";
    case GroupSource::User:
        return "пользователь";
    case GroupSource::None:
        break;
    }
    return "—";
}

// "год", "года", "лет" after a number.
std::string yearsWord(int years)
{
    const int lastTwo = years % 100;
    const int last = years % 10;
    if (lastTwo >= 11 && lastTwo <= 14)
        return "лет";
    if (last == 1)
        return "год";
    if (last >= 2 && last <= 4)
        return "года";
    return "лет";
}

std::string yearsText(int years) { return std::to_string(years) + " " + yearsWord(years); }

// The figures of one mechanism, in the order of the rows.
std::vector<std::string> mechanismTexts(const DutyAssessment& duty, GroupSource source, const DisplayLocale& locale)
{
    const auto share = duty.usedShare ? std::optional<double>(*duty.usedShare * 100.0) : std::nullopt;
    return {
        duty.group.empty() ? "не указана" : duty.group,
        sourceText(duty.group.empty() ? GroupSource::None : source),
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

constexpr std::array<const char*, 13> kLifeCaptions{
    "Расчетная группа (классы)",
    "Источник расчетной группы",
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

std::string normativeLifeText(const NormativeLife& life, const DisplayLocale& locale)
{
    const std::string caption = "Нормативный срок службы: ";
    if (life.years <= 0)
        return caption + "не указан";
    if (!life.start || !life.end)
        return caption + yearsText(life.years) + ", начало отсчета не определено (" + life.missing + ")";
    return caption + yearsText(life.years) + " с " + dateText(*life.start, locale)
        + (life.basis == NormativeStart::Commissioning ? " (ввод в эксплуатацию)" : " (1 января года изготовления)")
        + " до " + dateText(*life.end, locale) + (life.passed.value_or(false) ? ", истек" : "");
}

std::string normativeVerdict(const NormativeLife& life, const DisplayLocale& locale)
{
    if (!life.end)
        return "Нормативный срок службы крана не определен: " + life.missing;
    const std::string end = dateText(*life.end, locale);
    if (!life.passed)
        return "Нормативный срок службы крана (" + yearsText(life.years) + ") истекает " + end + "; " + life.missing;
    if (*life.passed)
        return "Кран отработал нормативный срок службы (" + yearsText(life.years) + ", истек " + end
            + "): требуется экспертиза промышленной безопасности";
    return "Нормативный срок службы крана (" + yearsText(life.years) + ") истекает " + end;
}

bool needsAttention(const LifeAssessment& assessment)
{
    const auto exhausted = [](const DutyAssessment& duty) { return duty.usedShare && *duty.usedShare >= 1.0; };
    return assessment.normative.passed.value_or(false) || exhausted(assessment.crane)
        || (assessment.winch1 && exhausted(*assessment.winch1)) || (assessment.winch2 && exhausted(*assessment.winch2));
}

void setLife(HistoryView& view, const LifeAssessment& assessment, const DisplayLocale& locale)
{
    view.life = lifeRows(assessment, locale);
    view.normativeLife = normativeLifeText(assessment.normative, locale);
    view.verdict.clear();
    for (const std::string& line : lifeVerdicts(assessment, locale))
        view.verdict += (view.verdict.empty() ? "" : "\n") + line;
    view.verdictAttention = needsAttention(assessment);
}

std::vector<std::array<std::string, 4>> lifeRows(const LifeAssessment& assessment, const DisplayLocale& locale)
{
    const auto crane = mechanismTexts(assessment.crane, assessment.groupSource, locale);
    const auto winch = [&](const std::optional<DutyAssessment>& duty) {
        return duty ? mechanismTexts(*duty, GroupSource::User, locale) : std::vector<std::string>{};
    };
    const auto winch1 = winch(assessment.winch1);
    const auto winch2 = winch(assessment.winch2);
    std::vector<std::array<std::string, 4>> rows;
    for (std::size_t i = 0; i < kLifeCaptions.size(); ++i)
        rows.push_back({kLifeCaptions[i], crane[i], winch1.empty() ? "" : winch1[i], winch2.empty() ? "" : winch2[i]});
    return rows;
}

std::vector<std::string> lifeVerdicts(const LifeAssessment& assessment, const DisplayLocale& locale)
{
    // The passport's limit comes first: past it the crane needs an examination whatever its duty.
    std::vector<std::string> verdicts{normativeVerdict(assessment.normative, locale)};
    verdicts.push_back("Кран: " + assessment.crane.verdict);
    if (assessment.winch1)
        verdicts.push_back("Лебедка №1: " + assessment.winch1->verdict);
    if (assessment.winch2)
        verdicts.push_back("Лебедка №2: " + assessment.winch2->verdict);
    return verdicts;
}

HistoryView historyView(const LifeHistory& history, const DisplayLocale& locale,
    const std::vector<DamagedReading>& damaged)
{
    HistoryView view;
    // Newest first; a damaged reading goes after the good ones of its date.
    std::vector<const DamagedReading*> marked;
    for (const DamagedReading& reading : damaged)
        marked.push_back(&reading);
    std::ranges::stable_sort(marked, [](const DamagedReading* a, const DamagedReading* b) {
        return a->reading > b->reading || (a->reading == b->reading && a->id > b->id);
    });
    auto nextMarked = marked.begin();
    const auto addMarkedNewerThan = [&](std::optional<DateTime> than) {
        for (; nextMarked != marked.end() && (!than || (*nextMarked)->reading > *than); ++nextMarked) {
            HistoryView::Reading row{(*nextMarked)->id, {}, true, false, (*nextMarked)->message};
            row.texts.fill("—");
            row.texts.front() = (*nextMarked)->readingText;
            row.texts.back() = kDamagedChecksumText;
            view.readings.push_back(std::move(row));
        }
    };
    std::size_t unprocessed = 0;
    for (auto reading = history.readings.rbegin(); reading != history.readings.rend(); ++reading) {
        const ReadingFigures& f = reading->figures;
        addMarkedNewerThan(f.reading);
        HistoryView::Reading row{reading->id,
            {f.readingText, f.cycles, f.kp, f.q, f.u, f.a, f.limiterTrips, f.motorHours,
                f.checksumOk ? "верна" : "неверна"},
            false, !f.dutyKnown, {}};
        if (row.dutyUnknown) {
            // What a failed processing leaves in these columns is no figure of the reading.
            std::fill(row.texts.begin() + 1, row.texts.begin() + 7, "—");
            row.toolTip = kDutyUnknownToolTip;
            ++unprocessed;
        }
        view.readings.push_back(std::move(row));
    }
    addMarkedNewerThan(std::nullopt);
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
    if (unprocessed > 0) {
        const std::string said = "Считываний, записи которых не удалось обработать: " + std::to_string(unprocessed)
            + ". Они отмечены в списке и не учитываются в расчетах.";
        view.note = view.note.empty() ? said : said + "\n" + view.note;
    }
    if (!damaged.empty()) {
        const std::string said = "Поврежденных считываний в архиве: " + std::to_string(damaged.size())
            + ". Их байты не совпадают с сохраненной контрольной суммой SHA-256: они отмечены в списке «"
            + kDamagedChecksumText + "» и не учитываются в расчетах.";
        view.note = view.note.empty() ? said : said + "\n" + view.note;
    }
    return view;
}

} // namespace kestrel
