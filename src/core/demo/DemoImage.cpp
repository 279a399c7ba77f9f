#include "core/demo/DemoImage.h"

#include "core/demo/DemoRandom.h"
#include "core/demo/OplogWriter.h"
#include "core/image/ByteAccess.h"
#include "core/image/Checksum.h"
#include "core/image/Counter24.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <set>
#include <string>
#include <vector>

namespace kestrel {

namespace {

using namespace std::chrono;
using Minutes = sys_time<minutes>;

constexpr sys_days kDayZero{year{1899} / December / 30};

StampBytes stampOf(Minutes t)
{
    const auto day = floor<days>(t);
    const year_month_day ymd{day};
    const auto minuteOfDay = static_cast<int>((t - day).count());
    return {packBcd(minuteOfDay % 60), packBcd(minuteOfDay / 60), packBcd(static_cast<int>(unsigned{ymd.day()})),
        packBcd(static_cast<int>(unsigned{ymd.month()})), packBcd(static_cast<int>(ymd.year()) - 2000)};
}

std::string twoDigits(int v) { return std::string(1, static_cast<char>('0' + v / 10)) + static_cast<char>('0' + v % 10); }

std::string dateText(const year_month_day& d)
{
    return twoDigits(static_cast<int>(unsigned{d.day()})) + "." + twoDigits(static_cast<int>(unsigned{d.month()})) + "."
        + std::to_string(static_cast<int>(d.year()));
}

struct CraneModel {
    const char* type;
    float crane;
    float winch1;
    float winch2;
};

constexpr std::array<CraneModel, 5> kCranes{{
    {"КПП 16/20", 16.0f, 16.0f, 8.0f},
    {"КПП 10/30", 10.0f, 10.0f, 5.0f},
    {"Сокол 16/32", 16.0f, 16.0f, 10.0f},
    {"Кондор 16/32", 16.0f, 16.0f, 8.0f},
    {"Альбатрос 10/32", 10.0f, 10.0f, 6.3f},
}};

constexpr std::array<const char*, 3> kCraneMakers{"Ленинградский завод ПТО им. С.М. Кирова",
    "ОАО \"Подъемтрансмаш\", г. Санкт-Петербург", "Завод \"Ганц\", г. Будапешт"};
constexpr std::array<const char*, 4> kOwners{"ОАО \"Северный морской торговый порт\"", "ОАО \"Речной порт Заречье\"",
    "ООО \"Портовый терминал Восток\"", "ЗАО \"Грузовой район №3\""};
constexpr std::array<const char*, 3> kRecorderTypes{"РП-2000", "РП-2000М", "РПК-01"};
constexpr std::array<const char*, 2> kRecorderMakers{
    "ООО \"НПП Стрела\", г. Санкт-Петербург", "ЗАО \"Кранприбор\", г. Новороссийск"};
constexpr std::array<const char*, 5> kPeople{
    "Иванов И.И.", "Петров А.В.", "Сидоров К.Н.", "Кузнецова Е.П.", "Смирнов Д.С."};
// All eight bytes used, so that the version shows after the name. Indexed by seed:
// seed 1 gets the extended program with three-byte samples.
constexpr std::array<const char*, 4> kPrograms{"ПК-2000М", "ПП-2000М", "2П-2001С", "ПП-2003К"};

struct Event {
    Minutes time;
    bool trip = false;
    std::uint8_t load1 = 0;
    std::uint8_t load2 = 0;
    std::uint8_t flags = 0;
};

constexpr std::uint8_t kStopWinch1 = 0x01;
constexpr std::uint8_t kStopWinch2 = 0x02;
constexpr std::uint8_t kServiceMode = 0x04;
std::uint8_t sensorBits(int sensor) { return static_cast<std::uint8_t>((sensor & 0x0F) << 3); }

// Threshold indices in the order the settings block stores them.
enum Threshold : std::size_t { kLowSpeed1, kLowSpeed2, kStop1, kStop2, kStop, kStopMax, kUpEnable, kCycleStart,
    kCycleEnd, kStopUnload, kAverTime, kStopSens, kSensEnable };

class DemoBuilder {
public:
    explicit DemoBuilder(std::uint32_t seed) : seed_(seed), rng_(seed) {}

    MemoryImage build()
    {
        chooseDates();
        writeIdentification();
        writeSettings();
        writeOperations();
        writeSpectra();
        makeEvents();
        writeRings();
        writeOplog();
        fixChecksum();
        return image_;
    }

private:
    MutableBytes bytes() { return image_; }

    void text(std::size_t offset, std::size_t length, const std::string& t) { putFixedText(bytes(), offset, length, t); }
    void stamp(std::size_t offset, Minutes t)
    {
        const auto s = stampOf(t);
        std::copy(s.begin(), s.end(), image_.begin() + static_cast<long>(offset));
    }
    // Random draws are made one statement at a time: the order in which function
    // arguments or operands are evaluated is unspecified, the seed's bytes must not be.
    Minutes timeOn(sys_days day, int fromHour, int toHour)
    {
        const int hour = rng_.uniform(fromHour, toHour);
        const int minute = rng_.uniform(0, 59);
        return Minutes{day} + hours{hour} + minutes{minute};
    }
    year_month_day dateIn(int y)
    {
        const int month = rng_.uniform(1, 12);
        const int day = rng_.uniform(1, 28);
        return year{y} / month / day;
    }

    void chooseDates()
    {
        const sys_days readingDay{dateIn(rng_.uniform(2024, 2025))};
        reading_ = timeOn(readingDay, 8, 16);
        const int yearsInstalled = rng_.uniform(2, 5);
        installed_ = readingDay - days{yearsInstalled * 365 + rng_.uniform(0, 200)};
        craneYear_ = rng_.uniform(1976, 2006);
    }

    void writeIdentification()
    {
        using namespace layout;
        const year_month_day installedDate{installed_};
        const int installYear = static_cast<int>(installedDate.year());
        text(kRecorderType, 32, rng_.pick(kRecorderTypes));
        text(kRecorderSerial, 16, std::to_string(rng_.uniform(100, 999)) + "/" + twoDigits(installYear % 100));
        writeI16(bytes(), kRecorderYear, static_cast<std::int16_t>(installYear - rng_.uniform(0, 1)));
        text(kRecorderMaker, 64, rng_.pick(kRecorderMakers));
        writeI32(bytes(), kInstallationDay, static_cast<std::int32_t>((installed_ - kDayZero).count()));
        text(kInstalledBy, 64, rng_.pick(kPeople));

        const CraneModel& crane = rng_.pick(kCranes);
        text(kCraneType, 32, crane.type);
        text(kCraneSerial, 16, std::to_string(rng_.uniform(1000, 9999)));
        writeI16(bytes(), kCraneYear, static_cast<std::int16_t>(craneYear_));
        text(kCraneMaker, 64, rng_.pick(kCraneMakers));
        text(kCraneOwner, 64, rng_.pick(kOwners));
        writeFloat(bytes(), kCraneCapacity, crane.crane);
        writeFloat(bytes(), kWinch1Capacity, crane.winch1);
        writeFloat(bytes(), kWinch2Capacity, crane.winch2);
        text(kCraneGroup, 2, "А" + std::to_string(rng_.uniform(5, 7)));
        bytes()[kServiceLife] = static_cast<std::uint8_t>(rng_.uniform(20, 30));
        text(kInServiceDate, 20, dateText(dateIn(craneYear_ + rng_.uniform(0, 1))));
    }

    void writeSettings()
    {
        using namespace layout;
        text(kProgramName, kProgramNameLength, kPrograms[seed_ % kPrograms.size()]);
        bytes()[kVersionMajor] = static_cast<std::uint8_t>(rng_.uniform(1, 2));
        bytes()[kVersionMinor] = static_cast<std::uint8_t>(rng_.uniform(0, 5));
        bytes()[kVersionBuild] = static_cast<std::uint8_t>(rng_.uniform(0, 30));
        extended_ = image_[kProgramName + 1] == 0xCF;
        twoSensors_ = image_[kProgramName] == '2';

        bytes()[kSwitches] = rng_.percentChance(30) ? 0x1B : 0x1F;
        thresholds_[kLowSpeed1] = rng_.uniform(40, 60);
        thresholds_[kLowSpeed2] = thresholds_[kLowSpeed1];
        thresholds_[kStop1] = rng_.uniform(100, 110);
        thresholds_[kStop2] = thresholds_[kStop1] + 10;
        thresholds_[kStop] = 110;
        thresholds_[kStopMax] = 120;
        thresholds_[kUpEnable] = rng_.uniform(70, 80);
        thresholds_[kCycleStart] = rng_.uniform(5, 8);
        thresholds_[kCycleEnd] = thresholds_[kCycleStart] - 1;
        thresholds_[kStopUnload] = -rng_.uniform(4, 8);
        thresholds_[kAverTime] = rng_.uniform(10, 20) * 100 / 40; // stored in units of 40 ms
        thresholds_[kStopSens] = 170;
        thresholds_[kSensEnable] = 150;
        for (std::size_t i = 0; i < thresholds_.size(); ++i)
            writeI16(bytes(), kThresholds + 2 * i, static_cast<std::int16_t>(thresholds_[i]));

        // Sensor codes of the outreach sensor: its zero and nominal values anchor zones 0 and 11.
        const int firstCode = rng_.uniform(150, 250);
        const int lastCode = rng_.uniform(750, 900);
        const int fullLoadZones = rng_.uniform(2, 5);
        const int farLoad = rng_.uniform(50, 75);
        for (int z = 0; z < 12; ++z) {
            int code = firstCode + (lastCode - firstCode) * z / 11;
            if (z != 0 && z != 11)
                code += rng_.uniform(-5, 5);
            const int load
                = z < fullLoadZones ? 100 : 100 - (100 - farLoad) * (z - fullLoadZones + 1) / (12 - fullLoadZones);
            permitted_[static_cast<std::size_t>(z)] = load;
            writeU16(bytes(), kLoadCharacteristic + 3 * static_cast<std::size_t>(z), static_cast<std::uint16_t>(code));
            bytes()[kLoadCharacteristic + 3 * static_cast<std::size_t>(z) + 2] = static_cast<std::uint8_t>(load);
        }

        if (twoSensors_) {
            for (std::size_t k = 0; k < 2; ++k) {
                const int zero = k == 1 ? firstCode : rng_.uniform(90, 130);
                const int nominal = k == 1 ? lastCode : rng_.uniform(780, 860);
                writeI16(bytes(), kNormalisation + 8 * k, static_cast<std::int16_t>(zero));
                writeI16(bytes(), kNormalisation + 8 * k + 2, static_cast<std::int16_t>(nominal));
            }
        } else {
            for (std::size_t k = 0; k < 4; ++k) {
                const int zero = k == 2 ? firstCode : rng_.uniform(90, 130);
                const int nominal = k == 2 ? lastCode : rng_.uniform(780, 860);
                writeI16(bytes(), kNormalisation + 4 * k, static_cast<std::int16_t>(zero));
                writeI16(bytes(), kNormalisation + 4 * k + 2, static_cast<std::int16_t>(nominal));
                writeI16(bytes(), kSensorCurrent + 2 * k, static_cast<std::int16_t>(zero + rng_.uniform(0, 12)));
            }
        }
    }

    // Reading time, the last clock setting, passport and program changes, with their operators.
    void writeOperations()
    {
        using namespace layout;
        stamp(kReadingStamp, reading_);
        const auto readingDay = floor<days>(reading_);
        const auto clockDay = readingDay - days{rng_.uniform(10, 90)};
        stamp(kClockSetStamp, timeOn(clockDay, 8, 16));
        text(kClockSetOperator, kOperatorNameLength, rng_.pick(kPeople));
        const auto passportDay = installed_ + days{rng_.uniform(0, 3)};
        stamp(kPassportChangeStamp, timeOn(passportDay, 9, 16));
        text(kPassportChangeOperator, kOperatorNameLength, rng_.pick(kPeople));
        const auto programDay = installed_ + days{(clockDay - installed_).count() / 2};
        stamp(kProgramChangeStamp, timeOn(programDay, 9, 16));
        text(kProgramChangeOperator, kOperatorNameLength, rng_.pick(kPeople));
    }

    // Most cycles between 20 and 80 % of the winch capacity, a thin tail of overloads up to 130 %.
    // Only exact arithmetic, so the counts do not depend on the maths library.
    void writeSpectrum(std::size_t base, int total, int mean, int halfWidth)
    {
        std::array<double, layout::kSpectrumBuckets> weight{};
        double sum = 0.0;
        for (std::size_t i = static_cast<std::size_t>(thresholds_[kCycleStart]); i < weight.size(); ++i) {
            const double p = static_cast<double>(i + 1);
            const double d = (p - mean) / halfWidth;
            double w = d * d < 1.0 ? 1.0 - d * d : 0.0;
            if (p > 80.0 && p <= 130.0)
                w += 0.08 * (130.0 - p) / 50.0;
            weight[i] = w;
            sum += w;
        }
        for (std::size_t i = 0; i < weight.size(); ++i) {
            const auto n = static_cast<std::uint32_t>(total * weight[i] / sum + rng_.unit());
            writeCounter24(bytes(), base + 3 * i, n);
        }
    }

    void writeSpectra()
    {
        const int total1 = rng_.uniform(15000, 60000);
        const int total2 = total1 * rng_.uniform(30, 70) / 100;
        const int mean1 = rng_.uniform(38, 55);
        writeSpectrum(layout::kWinch1Spectrum, total1, mean1, rng_.uniform(30, 40));
        const int mean2 = rng_.uniform(32, 50);
        writeSpectrum(layout::kWinch2Spectrum, total2, mean2, rng_.uniform(25, 35));
        writeCounter24(bytes(), layout::kMotorMinutes,
            static_cast<std::uint32_t>((total1 + total2) * rng_.uniform(25, 45) / 10));
        writeCounter24(bytes(), layout::kLimiterTrips, static_cast<std::uint32_t>(32 + rng_.uniform(5, 250)));
    }

    Minutes freeMinute(Minutes t)
    {
        while (usedMinutes_.count(t) != 0)
            t -= minutes{1};
        usedMinutes_.insert(t);
        return t;
    }

    Event workingCycle(Minutes t)
    {
        Event e{freeMinute(t)};
        const int kind = rng_.uniform(0, 99);
        if (kind < 55) {
            e.load1 = static_cast<std::uint8_t>(rng_.uniform(15, 95));
        } else if (kind < 85) {
            e.load1 = static_cast<std::uint8_t>(rng_.uniform(20, 60));
            e.load2 = static_cast<std::uint8_t>(rng_.uniform(20, 60));
        } else {
            e.load2 = static_cast<std::uint8_t>(rng_.uniform(15, 95));
        }
        if (rng_.percentChance(10))
            e.flags |= kServiceMode;
        if (rng_.percentChance(6)) {
            // Stopped near the limit: the preliminary stop fired on the loaded winch.
            const bool winch1 = e.load1 != 0;
            (winch1 ? e.load1 : e.load2) = static_cast<std::uint8_t>(rng_.uniform(101, 112));
            e.flags |= static_cast<std::uint8_t>((winch1 ? kStopWinch1 : kStopWinch2) | sensorBits(rng_.uniform(1, 4)));
        }
        return e;
    }

    Event limiterTrip(Minutes t)
    {
        Event e{freeMinute(t), true};
        const int kind = rng_.uniform(0, 99);
        const bool winch1 = kind < 75;
        const bool winch2 = kind >= 65;
        if (winch1) {
            e.load1 = static_cast<std::uint8_t>(rng_.uniform(winch2 ? 60 : 100, winch2 ? 100 : 135));
            e.flags |= winch2 ? 0 : kStopWinch1;
        }
        if (winch2) {
            e.load2 = static_cast<std::uint8_t>(rng_.uniform(100, 135));
            e.flags |= kStopWinch2;
        }
        if (rng_.percentChance(80))
            e.flags |= sensorBits(rng_.uniform(1, 4));
        if (rng_.percentChance(5))
            e.flags |= kServiceMode;
        return e;
    }

    void makeEvents()
    {
        Minutes t = reading_ - minutes{rng_.uniform(5, 40)};
        for (std::size_t i = 0; i < layout::kRingSlots; ++i) {
            cycles_.push_back(workingCycle(t));
            t = cycles_.back().time - minutes{rng_.uniform(3, 9)};
        }
        t = reading_ - minutes{rng_.uniform(60, 3 * 24 * 60)};
        for (std::size_t i = 0; i < layout::kRingSlots; ++i) {
            trips_.push_back(limiterTrip(t));
            t = trips_.back().time - minutes{rng_.uniform(2 * 60, 5 * 24 * 60)};
        }
        // Generated newest first; the rings and the log want them oldest first.
        std::reverse(cycles_.begin(), cycles_.end());
        std::reverse(trips_.begin(), trips_.end());
    }

    void writeRing(std::size_t indexOffset, std::size_t ring, const std::vector<Event>& events)
    {
        // The slot at the next-write index holds the oldest record.
        const auto next = static_cast<std::size_t>(rng_.uniform(1, static_cast<int>(layout::kRingSlots) - 1));
        bytes()[indexOffset] = static_cast<std::uint8_t>(next);
        for (std::size_t j = 0; j < events.size(); ++j) {
            const std::size_t at = ring + layout::kRecordSize * ((next + j) % layout::kRingSlots);
            stamp(at, events[j].time);
            image_[at + 5] = events[j].load1;
            image_[at + 6] = events[j].load2;
            image_[at + 7] = events[j].flags;
        }
    }

    void writeRings()
    {
        writeRing(layout::kCycleRingIndex, layout::kCycleRing, cycles_);
        writeRing(layout::kTripRingIndex, layout::kTripRing, trips_);
    }

    // One lift: the load rises, holds and falls; both winches alternate second by second
    // when both carry load. Each second is one sample.
    void writeSection(OplogWriter& log, const Event& e, bool firstOfDay)
    {
        log.beginSection(stampOf(e.time), rng_.percentChance(20) ? 2 : 1);
        const int rise = rng_.uniform(3, 8);
        const int hold = e.trip ? rng_.uniform(2, 6) : rng_.uniform(8, 40);
        const int fall = rng_.uniform(3, 8);
        const bool both = e.load1 != 0 && e.load2 != 0;
        int zone = rng_.uniform(0, 11);
        for (int t = 0; t < rise + hold + fall; ++t) {
            const int winch = both ? t % 2 : (e.load1 != 0 ? 0 : 1);
            const int peak = winch == 0 ? e.load1 : e.load2;
            int load;
            if (t < rise)
                load = peak * (t + 1) / (rise + 1);
            else if (t < rise + 2)
                load = peak; // the recorded maximum, for each winch
            else if (t < rise + hold)
                load = std::max(0, peak - rng_.uniform(0, std::max(1, peak / 20)));
            else
                load = peak * (rise + hold + fall - t) / (fall + 1);

            int event = 0;
            if (t == 0 && firstOfDay)
                event = 1; // "вкл"
            else if (t == 0 && (e.flags & kServiceMode) != 0)
                event = 7;
            else if (t == rise && e.trip)
                event = 6; // "макс"
            const bool relay1 = load >= thresholds_[kStop1];
            const bool relay2 = load >= thresholds_[kStop2];
            const bool sound = relay1 || (e.trip && t >= rise && t < rise + hold);
            log.putByte(static_cast<std::uint8_t>(winch | (relay1 ? 0x02 : 0) | (relay2 ? 0x04 : 0) | (sound ? 0x08 : 0)
                | (event << 4)));
            log.putByte(static_cast<std::uint8_t>(load));
            if (extended_) {
                if (t % 10 == 9)
                    zone = std::clamp(zone + rng_.uniform(-1, 1), 0, 11);
                const int allowed = permitted_[static_cast<std::size_t>(zone)];
                log.putByte(static_cast<std::uint8_t>(zone | (load > allowed ? 0x10 : 0) | (load > allowed + 10 ? 0x20 : 0)));
            }
        }
    }

    void writeOplog()
    {
        std::vector<Event> all(cycles_);
        all.insert(all.end(), trips_.begin(), trips_.end());
        std::sort(all.begin(), all.end(), [](const Event& a, const Event& b) { return a.time < b.time; });
        // The oldest few sections have been overwritten by newer ones in a real log.
        const auto lost = static_cast<std::size_t>(rng_.uniform(2, 5));
        OplogWriter log(bytes(), static_cast<std::size_t>(rng_.uniform(0, static_cast<int>(layout::kOplogSize) - 1)));
        sys_days lastDay{};
        for (std::size_t i = lost; i < all.size(); ++i) {
            const auto day = floor<days>(all[i].time);
            writeSection(log, all[i], day != lastDay);
            lastDay = day;
        }
        writeU16(bytes(), layout::kOplogWritePosition, static_cast<std::uint16_t>(layout::kOplog + log.position()));
    }

    void fixChecksum() { makeChecksumConsistent(image_, kDemoChecksumFixOffset); }

    std::uint32_t seed_;
    DemoRandom rng_;
    MemoryImage image_{};
    Minutes reading_{};
    sys_days installed_{};
    int craneYear_ = 0;
    bool extended_ = false;
    bool twoSensors_ = false;
    std::array<int, layout::kThresholdCount> thresholds_{};
    std::array<int, 12> permitted_{};
    std::set<Minutes> usedMinutes_;
    std::vector<Event> cycles_;
    std::vector<Event> trips_;
};

} // namespace

MemoryImage makeDemoImage(std::uint32_t seed) { return DemoBuilder(seed).build(); }

} // namespace kestrel
