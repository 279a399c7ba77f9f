// The fleet overview over an archive held in memory: rows, marks, skipped readings, and
// the assessment the life commands give for the same readings.
#include "core/fleet/FleetOverview.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/life/LifeHistory.h"
#include "core/image/TimeStamp.h"
#include "core/image/Counter24.h"

#include "core/fleet/FleetSample.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <set>

namespace kestrel {
namespace {

// The crane's cycles as the archives list them: the winch counters from the cycle-start
// threshold up, read straight from the bytes.
std::int64_t listedCycles(const MemoryImage& image)
{
    std::int64_t total = 0;
    for (std::size_t i = static_cast<std::size_t>(std::max<int>(readI16(image, layout::kCycleStartThreshold), 0));
         i < layout::kSpectrumBuckets; ++i)
        total += readCounter24(image, layout::kWinch1Spectrum + 3 * i)
            + readCounter24(image, layout::kWinch2Spectrum + 3 * i);
    return total;
}

// Readings listed in store order (the samples are stored oldest first); the ids in
// `damaged` throw as bytes that fail their SHA-256 would. Every image() is counted.
class MemoryArchive : public ReadingArchive {
public:
    StoreResult store(const MemoryImage& image, const std::string& source) override
    {
        StoredReading reading;
        reading.recorder = fixedTextTrimmed(image, layout::kRecorderSerial, 16);
        reading.craneType = fixedTextTrimmed(image, layout::kCraneType, 32);
        reading.craneNumber = fixedTextTrimmed(image, layout::kCraneSerial, 16);
        reading.reading = stampToDateTime(stampAt(image, layout::kReadingStamp));
        reading.cycles = listedCycles(image);
        reading.motorMinutes = readCounter24(image, layout::kMotorMinutes);
        reading.id = static_cast<std::int64_t>(images_.size()) + 1;
        reading.source = source;
        images_.push_back(image);
        list_.push_back(reading);
        return {reading.id, true};
    }
    std::vector<StoreResult> storeAll(const std::vector<ImageToStore>& images) override
    {
        std::vector<StoreResult> results;
        for (const ImageToStore& image : images)
            results.push_back(store(image.image, image.source));
        return results;
    }
    std::vector<StoredReading> readings(const std::optional<std::string>& recorder) override
    {
        std::vector<StoredReading> list;
        for (const StoredReading& reading : list_)
            if (!recorder || reading.recorder == *recorder) {
                list.push_back(reading);
                if (!listsMotorMinutes)
                    list.back().motorMinutes = 0;
            }
        std::stable_sort(list.begin(), list.end(),
            [](const StoredReading& a, const StoredReading& b) { return a.reading < b.reading; });
        return list;
    }
    std::optional<MemoryImage> image(std::int64_t id) override
    {
        ++imagesRead;
        if (damaged.contains(id))
            throw DamagedReadingError(id, "Считывание №" + std::to_string(id) + " повреждено.");
        if (id < 1 || id > static_cast<std::int64_t>(images_.size()))
            return std::nullopt;
        return images_[static_cast<std::size_t>(id - 1)];
    }
    DesignClasses design(const CraneKey& crane) override { return designs_[crane]; }
    void setDesign(const CraneKey& crane, const DesignClasses& design) override { designs_[crane] = design; }
    std::vector<DesignEntry> designs() override
    {
        std::vector<DesignEntry> entries;
        for (const auto& [crane, classes] : designs_)
            entries.push_back({crane, classes, "2026-01-01T00:00:00Z", "test"});
        return entries;
    }
    bool offerDesign(const DesignEntry&) override { return false; }
    std::vector<DesignEntry> designHistory(const CraneKey&) override { return {}; }

    // All of one recorder's readings, as `kestrel-cli life` takes them for its newest.
    std::vector<HistoryInput> history(const std::string& recorder)
    {
        std::vector<HistoryInput> inputs;
        for (const StoredReading& stored : readings(recorder))
            if (!damaged.contains(stored.id))
                inputs.push_back({stored.id, images_[static_cast<std::size_t>(stored.id - 1)]});
        return inputs;
    }

    std::set<std::int64_t> damaged;
    int imagesRead = 0;
    bool listsMotorMinutes = true; // false: as an archive that lists no motor minutes

private:
    std::vector<MemoryImage> images_;
    std::vector<StoredReading> list_;
    std::map<CraneKey, DesignClasses> designs_;
};

const DateTime kToday = 46174.0; // 01.06.2026

class FleetOverviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (std::uint32_t crane : {5u, 2u, 9u})
            for (const MemoryImage& image : test::fleetSampleCrane(crane, 5))
                archive.store(image, "test");
    }
    MemoryArchive archive;
    const DisplayLocale locale = DisplayLocale::russian();
};

TEST_F(FleetOverviewTest, OneRowPerCraneWithItsNewestReadingAndTheLifeAssessment)
{
    const FleetOverview overview = fleetOverview(archive, kToday, locale);
    ASSERT_EQ(overview.rows.size(), 3u);
    EXPECT_EQ(overview.readings, 15u);
    EXPECT_EQ(overview.damaged, 0u);
    EXPECT_TRUE(overview.note.empty());
    for (const FleetRow& row : overview.rows) {
        EXPECT_EQ(row.readings, 5);
        const MemoryImage newest = *archive.image(row.newestId);
        EXPECT_EQ(fixedTextTrimmed(newest, layout::kCraneSerial, 16), row.craneNumber);
        EXPECT_EQ(row.owner, fixedTextTrimmed(newest, layout::kCraneOwner, 64));
        EXPECT_EQ(row.cycles, listedCycles(newest));
        EXPECT_EQ(row.texts[kFleetCraneNumber], row.craneNumber);

        std::vector<HistoryInput> inputs;
        for (const StoredReading& stored : archive.readings(row.recorder))
            inputs.push_back({stored.id, *archive.image(stored.id)});
        const LifeAssessment life = assessLife(inputs, {}, locale);
        ASSERT_TRUE(life.crane.usedShare.has_value());
        EXPECT_DOUBLE_EQ(*row.usedPercent, *life.crane.usedShare * 100.0);
        EXPECT_EQ(row.verdict, life.crane.verdict);
        EXPECT_EQ(row.nearLimit, *life.crane.usedShare >= 0.9);
    }
    // Sorted by crane type, then number.
    for (std::size_t i = 1; i < overview.rows.size(); ++i)
        EXPECT_LE(std::tie(overview.rows[i - 1].craneType, overview.rows[i - 1].craneNumber),
            std::tie(overview.rows[i].craneType, overview.rows[i].craneNumber));
}

TEST_F(FleetOverviewTest, MarksACraneOverNinetyPercentAndOneNotReadForAYear)
{
    const FleetOverview before = fleetOverview(archive, kToday, locale);
    const FleetRow& first = before.rows[0];
    archive.setDesign({first.craneType, first.craneNumber}, {"A1", "", "", ""});
    const DateTime today = std::floor(first.lastReading) + 366.0;
    const FleetOverview overview = fleetOverview(archive, today, locale);
    const FleetRow& row = overview.rows[0];
    EXPECT_EQ(*row.daysSince, 366);
    EXPECT_TRUE(row.overdue);
    ASSERT_TRUE(row.usedPercent.has_value());
    EXPECT_GT(*row.usedPercent, *first.usedPercent);
    EXPECT_TRUE(row.nearLimit);
    EXPECT_NE(row.texts[kFleetMarks].find(kFleetMarkNear), std::string::npos);
    EXPECT_NE(row.texts[kFleetMarks].find(kFleetMarkOverdue), std::string::npos);
    EXPECT_NE(row.attention.find("больше года"), std::string::npos);
    // A year to the day is not yet overdue.
    EXPECT_FALSE(fleetOverview(archive, std::floor(first.lastReading) + 365.0, locale).rows[0].overdue);
}

TEST_F(FleetOverviewTest, DamagedReadingsAreSkippedCountedAndNeverAssessed)
{
    const FleetRow clean = fleetOverview(archive, kToday, locale).rows[0];
    // The newest and the oldest: both are read, the installation day comes from the oldest.
    archive.damaged = {clean.newestId, clean.newestId - 4};
    const FleetOverview overview = fleetOverview(archive, kToday, locale);
    const FleetRow& row = overview.rows[0];
    EXPECT_EQ(row.newestId, clean.newestId - 1);
    EXPECT_EQ(row.damaged, 2);
    EXPECT_EQ(overview.damaged, 2u);
    EXPECT_NE(overview.note.find("Пропущено поврежденных считываний: 2"), std::string::npos);
    EXPECT_NE(row.texts[kFleetMarks].find("пропущено: 2"), std::string::npos);

    std::vector<HistoryInput> good;
    for (const StoredReading& stored : archive.readings(row.recorder))
        if (stored.id < row.newestId && !archive.damaged.contains(stored.id))
            good.push_back({stored.id, *archive.image(stored.id)});
    good.push_back({row.newestId, *archive.image(row.newestId)});
    EXPECT_DOUBLE_EQ(*row.usedPercent, *assessLife(good, {}, locale).crane.usedShare * 100.0);

    // A crane whose every reading is damaged keeps its row, with nothing to open.
    for (const StoredReading& stored : archive.readings(row.recorder))
        archive.damaged.insert(stored.id);
    const FleetRow none = fleetOverview(archive, kToday, locale).rows[0];
    EXPECT_EQ(none.newestId, 0);
    EXPECT_EQ(none.damaged, 5);
    EXPECT_FALSE(none.usedPercent.has_value());
}

TEST(FleetOverview, ReadingsThatNameNoCraneGoUnderTheirRecorder)
{
    MemoryArchive archive;
    for (std::uint32_t crane : {1u, 4u}) {
        MemoryImage image = test::fleetSampleCrane(crane, 1).back();
        putFixedText(image, layout::kCraneType, 32, "");
        putFixedText(image, layout::kCraneSerial, 16, "");
        archive.store(image, "test");
    }
    const FleetOverview overview = fleetOverview(archive, kToday, DisplayLocale::russian());
    ASSERT_EQ(overview.rows.size(), 2u);
    EXPECT_EQ(overview.rows[0].recorder, test::sampleRecorderNumber(1));
    EXPECT_EQ(overview.rows[1].recorder, test::sampleRecorderNumber(4));
    EXPECT_TRUE(overview.rows[0].craneNumber.empty());
}

TEST(FleetOverview, AnEmptyArchiveHasNoRows)
{
    MemoryArchive archive;
    const FleetOverview overview = fleetOverview(archive, kToday, DisplayLocale::russian());
    EXPECT_TRUE(overview.rows.empty());
    EXPECT_EQ(overview.readings, 0u);
}

void expectAssessedAsLife(const FleetRow& row, MemoryArchive& archive, const DisplayLocale& locale)
{
    const LifeAssessment life = assessLife(archive.history(row.recorder), {}, locale);
    ASSERT_TRUE(row.usedPercent.has_value());
    ASSERT_TRUE(life.crane.usedShare.has_value());
    EXPECT_DOUBLE_EQ(*row.usedPercent, *life.crane.usedShare * 100.0);
    EXPECT_EQ(row.verdict, life.crane.verdict);
}

// Only the oldest reading and the first and last of every stretch between erases are
// read, and they give what all readings give. A later stretch that ends above the one
// before must still count as a stretch of its own.
TEST(FleetOverview, ReadsTheEndsOfEachStretchBetweenErasesAndAssessesAsLifeDoes)
{
    const DisplayLocale locale = DisplayLocale::russian();
    struct Case {
        const char* name;
        std::vector<std::pair<std::size_t, std::pair<bool, bool>>> erases; // before which, spectra, motor minutes
        int imagesRead;
    };
    const Case cases[] = {
        {"no erase", {}, 2},
        {"cycles only", {{3, {true, false}}}, 4},
        {"motor minutes only", {{3, {false, true}}}, 4},
        {"both, twice", {{4, {true, true}}, {12, {true, false}}}, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryArchive archive;
        std::vector<MemoryImage> readings = test::fleetSampleCrane(11, 20);
        for (const auto& [from, what] : c.erases)
            test::eraseSampleBefore(readings, from, what.first, what.second);
        for (const MemoryImage& image : readings)
            archive.store(image, "test");

        const FleetOverview overview = fleetOverview(archive, kToday, locale);
        ASSERT_EQ(overview.rows.size(), 1u);
        EXPECT_EQ(archive.imagesRead, c.imagesRead);
        expectAssessedAsLife(overview.rows[0], archive, locale);
    }
}

TEST(FleetOverview, ADamagedReadingAmongThoseNeededGivesWayToItsNeighbour)
{
    const DisplayLocale locale = DisplayLocale::russian();
    MemoryArchive archive;
    std::vector<MemoryImage> readings = test::fleetSampleCrane(11, 10);
    test::eraseSampleBefore(readings, 5, true, true);
    for (const MemoryImage& image : readings)
        archive.store(image, "test");
    // Id 5 ends the first stretch, id 6 starts the second; id 3 is needed by nobody.
    archive.damaged = {5, 6, 3};
    const FleetOverview overview = fleetOverview(archive, kToday, locale);
    const FleetRow& row = overview.rows[0];
    EXPECT_EQ(row.damaged, 2);
    EXPECT_EQ(overview.damaged, 2u);
    expectAssessedAsLife(row, archive, locale);
}

// The choice goes by what the list says; where the bytes say otherwise (an archive that
// lists no motor minutes, a reading the window cannot process) all readings are read.
TEST(FleetOverview, WhenTheListDisagreesWithTheBytesEveryReadingIsAssessed)
{
    const DisplayLocale locale = DisplayLocale::russian();
    {
        MemoryArchive archive;
        archive.listsMotorMinutes = false;
        std::vector<MemoryImage> readings = test::fleetSampleCrane(11, 10);
        test::eraseSampleBefore(readings, 4, false, true);
        for (const MemoryImage& image : readings)
            archive.store(image, "test");
        const FleetOverview overview = fleetOverview(archive, kToday, locale);
        EXPECT_EQ(archive.imagesRead, 2 + 10);
        expectAssessedAsLife(overview.rows[0], archive, locale);
    }
    {
        MemoryArchive archive;
        std::vector<MemoryImage> readings = test::fleetSampleCrane(11, 10);
        // A crane capacity that is no number: the window finds no crane cycles in it.
        writeFloat(readings.back(), layout::kCraneCapacity, std::numeric_limits<float>::quiet_NaN());
        makeChecksumConsistent(readings.back(), kDemoChecksumFixOffset);
        for (const MemoryImage& image : readings)
            archive.store(image, "test");
        const FleetOverview overview = fleetOverview(archive, kToday, locale);
        const FleetRow& row = overview.rows[0];
        const LifeAssessment life = assessLife(archive.history(row.recorder), {}, locale);
        EXPECT_EQ(row.usedPercent.has_value(), life.crane.usedShare.has_value());
        if (row.usedPercent && life.crane.usedShare) {
            EXPECT_DOUBLE_EQ(*row.usedPercent, *life.crane.usedShare * 100.0);
        }
        EXPECT_EQ(row.verdict, life.crane.verdict);
    }
}

} // namespace
} // namespace kestrel
