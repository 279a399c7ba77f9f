#include "core/oplog/OperationalChart.h"

#include "core/oplog/OperationalLog.h"
#include "core/oplog/TimeLabel.h"

#include <algorithm>
#include <cmath>

namespace kestrel {

namespace {

constexpr double kRelayValue = 0.2;
constexpr double kSoundValue = 0.15;
constexpr double kEventValue = 0.1;
constexpr std::string_view kCycleStartLabel = "НЦ";
constexpr std::string_view kCycleEndLabel = "КЦ";

using S = OperationalSeries;

// Series drawn as fractions of the largest load and multiplied by it after the walk.
constexpr std::array kScaledSeries{S::Relay1, S::Relay2, S::Sound, S::Service, S::Relay3, S::Relay4};

double onOff(bool on, double value) { return on ? value : 0.0; }

// One run of the show procedure over the log.
class SectionWalk {
public:
    SectionWalk(ConstBytes image, const StampBytes& stamp)
        : log_(image)
    {
        chart_.stamp = stamp;
        for (std::size_t i = 0; i < kOperationalSeriesCount; ++i)
            chart_.series[i].title = std::string(seriesLooks()[i].title);
    }

    OperationalChart notFound(std::size_t position)
    {
        chart_.found = false;
        chart_.message = "Записей с меткой времени <" + stampText(chart_.stamp) + "> в оперативной памяти не найдено!";
        chart_.stopPosition = position;
        return std::move(chart_);
    }

    OperationalChart walkFrom(std::size_t start)
    {
        // Sized once: the series of a whole log would otherwise be copied as they grow.
        const std::size_t points = countPoints(start);
        for (auto& series : chart_.series)
            series.points.reserve(points);
        walk(start);
        chart_.stopPosition = position_;
        finish();
        return std::move(chart_);
    }

    const OperationalLog& log() const { return log_; }

private:
    // The points walk() will add, by the same steps without building them.
    std::size_t countPoints(std::size_t start) const
    {
        std::size_t position = OperationalLog::wrap(start);
        std::size_t steps = 0;
        std::size_t points = 0;
        while (steps < kOplogPositions) {
            const std::uint8_t b = log_.byteAt(position);
            if (OperationalLog::isSampleStart(b)) {
                ++points;
                position = OperationalLog::wrap(position + log_.sampleSize());
                steps += log_.sampleSize();
            }
            if (log_.byteAt(position) == kTimeMarkByte) {
                points += 2;
                position = log_.skipMarks(position, steps);
                if (steps >= kOplogPositions || log_.stampAt(position) != chart_.stamp)
                    break;
                position = OperationalLog::wrap(position + chart_.stamp.size());
                steps += chart_.stamp.size();
                continue;
            }
            if (!OperationalLog::isSampleStart(b)) {
                position = OperationalLog::wrap(position + 1);
                ++steps;
            }
        }
        return points;
    }

    void walk(std::size_t start)
    {
        chart_.found = true;
        position_ = OperationalLog::wrap(start);
        // Every step moves forward, and the whole walk stays within one pass over the log.
        while (steps_ < kOplogPositions) {
            const std::uint8_t b = log_.byteAt(position_);
            if (OperationalLog::isSampleStart(b))
                addSample();
            if (log_.byteAt(position_) == kTimeMarkByte) {
                if (!endSection())
                    break;
                continue;
            }
            if (!OperationalLog::isSampleStart(b))
                advance(1);
            ++second_;
            label_ = timeLabel(second_);
        }
    }

    ChartSeries& series(S s) { return chart_.series[static_cast<std::size_t>(s)]; }
    void check(S s, bool on) { series(s).checked = on; }
    void add(S s, std::optional<double> value, const std::string& label, std::optional<std::uint32_t> color = {})
    {
        series(s).points.push_back(OperationalPoint{value, label, color});
    }
    void advance(std::size_t n)
    {
        position_ = OperationalLog::wrap(position_ + n);
        steps_ += n;
    }

    void addSample()
    {
        const OplogSample sample = log_.sampleAt(position_);
        if (sample.event != 0)
            check(S::Service, true);
        if (const auto event = serviceEvent(sample.event))
            add(S::Service, kEventValue, std::string(event->text), event->color);
        else
            add(S::Service, std::nullopt, timeLabel(second_));

        check(sample.winch2 ? S::Load2 : S::Load1, true);
        check(sample.winch2 ? S::Relay2 : S::Relay1, true);
        if (sample.sound)
            check(S::Sound, true);

        add(S::Load1, sample.winch2 ? 0.0 : double(sample.load), label_);
        add(S::Load2, sample.winch2 ? double(sample.load) : 0.0, label_);
        add(S::Relay1, onOff(sample.relay1, kRelayValue), label_);
        add(S::Relay2, onOff(sample.relay2, kRelayValue), label_);
        add(S::Sound, onOff(sample.sound, kSoundValue), label_);

        check(S::Threshold, log_.extended());
        check(S::Relay3, false);
        check(S::Relay4, false);
        if (log_.extended()) {
            add(S::Threshold, double(log_.zoneThreshold(sample.zone)), label_);
            add(S::Relay3, onOff(sample.relay3, kRelayValue), label_);
            add(S::Relay4, onOff(sample.relay4, kRelayValue), label_);
        } else {
            add(S::Threshold, std::nullopt, label_);
            add(S::Relay3, std::nullopt, label_);
            add(S::Relay4, std::nullopt, label_);
        }
        advance(log_.sampleSize());
    }

    void addClosingPoints(const std::string& serviceLabel)
    {
        for (S s : {S::Load1, S::Load2, S::Relay1, S::Relay2, S::Sound, S::Relay3, S::Relay4})
            add(s, 0.0, label_);
        add(S::Threshold, std::nullopt, label_);
        add(S::Service, std::nullopt, serviceLabel);
    }

    // At a time mark: the closing points, then either the same cycle goes on in the next
    // section (same stamp) or the show ends there.
    bool endSection()
    {
        ++second_;
        label_ = std::string(kCycleEndLabel);
        addClosingPoints(timeLabel(second_));
        ++second_;
        label_ = timeLabel(second_);
        addClosingPoints(label_);

        position_ = log_.skipMarks(position_, steps_);
        if (steps_ >= kOplogPositions || log_.stampAt(position_) != chart_.stamp)
            return false;
        advance(chart_.stamp.size());
        ++second_;
        label_ = std::string(kCycleStartLabel);
        return true;
    }

    void finish()
    {
        // One pass for the largest values, kept apart for the series the scaling multiplies:
        // values are never negative and m is positive, so the largest scaled value is the
        // largest unscaled one times m, to the last bit.
        double largestKept = 0.0;
        double largestScaled = 0.0;
        for (std::size_t i = 0; i < chart_.series.size(); ++i) {
            const bool scaled = std::find(kScaledSeries.begin(), kScaledSeries.end(), static_cast<S>(i))
                != kScaledSeries.end();
            double& largest = scaled ? largestScaled : largestKept;
            for (const auto& p : chart_.series[i].points)
                if (p.value)
                    largest = std::max(largest, *p.value);
        }
        double m = std::trunc(std::max(largestKept, largestScaled));
        if (m == 0.0)
            m = 100.0;
        for (S s : kScaledSeries)
            for (auto& p : series(s).points)
                if (p.value)
                    *p.value *= m;
        chart_.largestValue = std::max(largestKept, largestScaled * m);

        const std::size_t points = chart_.pointCount();
        chart_.durationSeconds = points == 0 ? 0 : static_cast<int>(points - 1);
        chart_.title = "Метка времени: " + stampText(chart_.stamp) + "    Длительность: "
            + std::to_string(chart_.durationSeconds / 60) + " мин " + std::to_string(chart_.durationSeconds % 60)
            + " с";
    }

    OperationalLog log_;
    OperationalChart chart_;
    std::size_t position_ = 0;
    std::size_t steps_ = 0;
    int second_ = 0;
    std::string label_{kCycleStartLabel};
};

} // namespace

OperationalChart showOperationalSection(ConstBytes image, const StampBytes& stamp)
{
    SectionWalk walk(image, stamp);
    const auto start = walk.log().findSection(stamp);
    if (!start)
        return walk.notFound(walk.log().writePosition());
    return walk.walkFrom(*start);
}

OperationalChart showOperationalSectionAt(ConstBytes image, const StampBytes& stamp, std::size_t start)
{
    return SectionWalk(image, stamp).walkFrom(start);
}

NextSectionResult showNextOperationalSection(ConstBytes image, const OperationalChart& current)
{
    const OperationalLog log(image);
    std::size_t position = OperationalLog::wrap(current.stopPosition);
    std::size_t steps = 0;
    while (steps < kOplogPositions) {
        const StampBytes stamp = log.stampAt(position);
        if (stampIsValid(stamp))
            return {true, {}, showOperationalSectionAt(image, stamp, position + stamp.size())};
        while (log.byteAt(position) != kTimeMarkByte && steps < kOplogPositions) {
            position = OperationalLog::wrap(position + 1);
            ++steps;
        }
        position = log.skipMarks(position, steps);
    }
    return {false, std::string(kNoNextSectionMessage), current};
}

} // namespace kestrel
