#include "core/life/LifeHistory.h"

#include "core/image/ByteAccess.h"
#include "core/image/Counter24.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/life/DesignDuty.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace kestrel {

namespace {

constexpr double kDaysPerYear = 365.25;
constexpr const char* kNoDutyKnownText
    = "ни одно считывание регистратора не удалось обработать: наработка неизвестна, срок службы не оценен";

struct Prepared {
    std::int64_t id = 0;
    const MemoryImage* image = nullptr;
    ReadingFigures figures;
    int segment = 0;
};

std::uint32_t motorMinutes(const MemoryImage& image) { return readCounter24(image, layout::kMotorMinutes); }

// Oldest first; a second reading with the same reading date is the same visit.
std::vector<Prepared> prepare(const std::vector<HistoryInput>& inputs, const DisplayLocale& locale)
{
    std::vector<Prepared> readings;
    for (const HistoryInput& input : inputs)
        readings.push_back({input.id, &input.image, figuresOfReading(input.image, locale), 0});
    std::stable_sort(readings.begin(), readings.end(),
        [](const Prepared& a, const Prepared& b) { return a.figures.reading < b.figures.reading; });
    readings.erase(std::unique(readings.begin(), readings.end(),
                       [](const Prepared& a, const Prepared& b) { return a.figures.reading == b.figures.reading; }),
        readings.end());
    // Counters never go down on a recorder: when they did, its data were erased in between.
    // A reading whose duty is unknown is no evidence either way: it stays in the previous one's segment.
    const Prepared* previous = nullptr;
    for (Prepared& current : readings) {
        if (previous == nullptr) {
            if (current.figures.dutyKnown)
                previous = &current;
            continue;
        }
        const bool erased = current.figures.dutyKnown
            && (current.figures.stats[kCrane].totalCycles < previous->figures.stats[kCrane].totalCycles
                || motorMinutes(*current.image) < motorMinutes(*previous->image));
        current.segment = previous->segment + (erased ? 1 : 0);
        if (current.figures.dutyKnown)
            previous = &current;
    }
    return readings;
}

// The design duty of the crane and the group (or classes) it came from; `why` says why
// there is none. The user's entry overrides the passport: classes first (they give D
// exactly, a group only the largest of its pairs), then the group.
std::optional<double> craneDesignDuty(const MemoryImage& image, const DesignClasses& design, std::string& group,
    std::string& why, GroupSource& source)
{
    if (const auto classes = parseDesignClasses(design.craneDesign)) {
        source = GroupSource::User;
        group = "U" + std::to_string(classes->usageClass) + " Q" + std::to_string(classes->loadClass);
        if (classes->usageClass == 9)
            why = "класс U9: верхний предел не установлен, расчетный срок службы не ограничен";
        return designDutyOfClasses(classes->usageClass, classes->loadClass);
    }
    const auto fromUser = craneGroupNumber(design.craneGroup);
    const auto fromPassport = craneGroupNumber(fixedText(image, layout::kCraneGroup, 2));
    if (const auto number = fromUser ? fromUser : fromPassport) {
        source = fromUser ? GroupSource::User : GroupSource::Passport;
        group = "A" + std::to_string(*number);
        if (*number == 8)
            why = "группа A8: верхний предел не установлен, расчетный срок службы не ограничен";
        return designDutyOfGroup(*number);
    }
    why = "расчетная группа крана не указана: расчетный срок службы не определен";
    return std::nullopt;
}

std::optional<double> winchDesignDuty(const std::string& text, std::string& group, std::string& why)
{
    const auto number = winchGroupNumber(text);
    if (!number)
        return std::nullopt;
    group = "M" + std::to_string(*number);
    if (*number == 8)
        why = "группа M8: верхний предел не установлен, расчетный срок службы не ограничен";
    return designDutyOfGroup(*number);
}

// Years from 1 January of the year of manufacture to the installation day; 0 when the
// crane was not older than the recorder or the year is not a year.
double yearsBeforeRecorder(const MemoryImage& image, DateTime installation)
{
    const int year = readI16(image, layout::kCraneYear);
    if (year < 1900 || year > 9999 || installation <= 0.0)
        return 0.0;
    try {
        const DateTime manufactured = encodeDateTime(year, 1, 1, 0, 0);
        return manufactured < installation ? (installation - manufactured) / kDaysPerYear : 0.0;
    } catch (const DateConversionError&) {
        return 0.0;
    }
}

// The assessment at readings[last]: duty summed over the segments up to it, from the
// newest reading whose duty is known.
LifeAssessment assessAt(const std::vector<Prepared>& readings, std::size_t last, const DesignClasses& design)
{
    std::array<double, 3> recorded{};
    std::optional<std::size_t> assessed;
    int counted = 0;
    for (std::size_t i = 0; i <= last; ++i) {
        if (!readings[i].figures.dutyKnown)
            continue;
        if (assessed && readings[*assessed].segment != readings[i].segment)
            for (std::size_t m = 0; m < recorded.size(); ++m)
                recorded[m] += readings[*assessed].figures.stats[m].characteristicNumber;
        assessed = i;
        ++counted;
    }
    if (assessed)
        for (std::size_t m = 0; m < recorded.size(); ++m)
            recorded[m] += readings[*assessed].figures.stats[m].characteristicNumber;
    const Prepared& newest = readings[assessed.value_or(last)];
    const DateTime installation = readings.front().figures.installation;
    const DateTime reading = newest.figures.reading;
    const double years = installation > 0.0 && reading > installation ? (reading - installation) / kDaysPerYear : 0.0;
    const double before = yearsBeforeRecorder(*newest.image, installation);

    LifeAssessment life;
    life.reading = {newest.figures.readingText, fixedTextTrimmed(*newest.image, layout::kRecorderType, 32),
        fixedTextTrimmed(*newest.image, layout::kRecorderSerial, 16), counted};
    life.normative = normativeLifeOf(*newest.image, reading);
    std::string group;
    std::string why;
    auto craneDuty = craneDesignDuty(*newest.image, design, group, why, life.groupSource);
    if (!assessed) {
        craneDuty.reset();
        why = kNoDutyKnownText;
    }
    life.crane = assessDuty({craneDuty, group, why, recorded[kCrane], years, before, reading});
    const std::pair<const std::string*, std::optional<DutyAssessment>*> winches[]
        = {{&design.winch1Group, &life.winch1}, {&design.winch2Group, &life.winch2}};
    for (std::size_t w = 0; w < 2; ++w) {
        std::string winchGroup;
        std::string winchWhy;
        auto duty = winchDesignDuty(*winches[w].first, winchGroup, winchWhy);
        if (!assessed) {
            duty.reset();
            winchWhy = kNoDutyKnownText;
        }
        if (!winchGroup.empty())
            *winches[w].second = assessDuty({duty, winchGroup, winchWhy, recorded[w], years, before, reading});
    }
    return life;
}

// Spreads `cycles` evenly over the days from `from` to `to` and adds them to their months.
void spreadOverMonths(std::map<std::pair<int, int>, double>& months, DateTime from, DateTime to, double cycles)
{
    if (!(to > from) || cycles <= 0.0 || from <= 0.0)
        return;
    const double perDay = cycles / (to - from);
    for (DateTime day = std::floor(from); day < to; day += 1.0) {
        const double start = std::max(day, from);
        const double end = std::min(day + 1.0, to);
        try {
            const CalendarDate date = decodeDate(day);
            months[{date.year, date.month}] += perDay * (end - start);
        } catch (const DateConversionError&) {
            return;
        }
    }
}

} // namespace

LifeHistory buildLifeHistory(const std::vector<HistoryInput>& inputs, const DesignClasses& design,
    const DisplayLocale& locale)
{
    LifeHistory history;
    const std::vector<Prepared> readings = prepare(inputs, locale);
    if (readings.empty())
        return history;
    std::map<std::pair<int, int>, double> months;
    const Prepared* earlier = nullptr; // the newest reading before this one whose duty is known
    for (std::size_t i = 0; i < readings.size(); ++i) {
        const Prepared& reading = readings[i];
        history.readings.push_back({reading.id, reading.segment, reading.figures});
        const bool newest = i + 1 == readings.size();
        if (!reading.figures.dutyKnown) {
            if (newest)
                history.assessment = assessAt(readings, i, design);
            continue;
        }
        if (earlier != nullptr && earlier->segment == reading.segment) {
            HistoryPeriod period{earlier->id, reading.id, figuresOfPeriod(*reading.image, *earlier->image, locale)};
            spreadOverMonths(months, earlier->figures.reading, reading.figures.reading,
                period.figures.stats[kCrane].totalCycles);
            history.periods.push_back(std::move(period));
        } else {
            spreadOverMonths(months, reading.figures.installation, reading.figures.reading,
                reading.figures.stats[kCrane].totalCycles);
        }
        earlier = &reading;
        const LifeAssessment at = assessAt(readings, i, design);
        if (at.crane.usedShare && reading.figures.reading > 0.0)
            history.usedShare.push_back({reading.figures.reading, *at.crane.usedShare});
        if (newest)
            history.assessment = at;
    }
    for (const auto& [month, cycles] : months)
        history.monthlyCycles.push_back({encodeDateTime(month.first, month.second, 1, 0, 0), cycles});
    return history;
}

LifeAssessment assessLife(const std::vector<HistoryInput>& inputs, const DesignClasses& design,
    const DisplayLocale& locale)
{
    const std::vector<Prepared> readings = prepare(inputs, locale);
    if (readings.empty())
        return {};
    return assessAt(readings, readings.size() - 1, design);
}

} // namespace kestrel
