#include "core/demo/DemoImage.h"

#include "core/image/Checksum.h"
#include "core/image/FixedText.h"
#include "core/image/ImageCompare.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"
#include "core/pipeline/Pipeline.h"
#include "core/ui/ScriptedUserInterface.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

namespace kestrel {
namespace {

constexpr std::uint32_t kSeeds[] = {0, 1, 2, 3, 7, 42, 1000, 65535, 4294967295u};

struct Section {
    StampBytes stamp{};
    std::size_t samples = 0;
    int peak[2] = {0, 0}; // per winch
};

// Walks the log from the write position as the cycle detail reads it: 0xFF runs, a
// stamp, samples until the next 0xFF. Fails the test on any byte that breaks the grammar.
std::vector<Section> walkLog(const MemoryImage& image)
{
    const std::size_t size = layout::kOplogSize;
    const std::size_t sampleSize = image[layout::kProgramName + 1] == 0xCF ? 3 : 2;
    const std::size_t write = readU16(image, layout::kOplogWritePosition) - layout::kOplog;
    EXPECT_LT(write, size);
    auto byteAt = [&](std::size_t p) { return image[layout::kOplog + p % size]; };

    std::vector<Section> sections;
    std::size_t p = write;
    const std::size_t end = write + size;
    while (p < end) {
        if (byteAt(p) == 0xFF) {
            ++p;
            continue;
        }
        if (p + 5 > end)
            break;
        Section s;
        for (std::size_t i = 0; i < 5; ++i)
            s.stamp[i] = byteAt(p + i);
        EXPECT_TRUE(stampIsValid(s.stamp)) << "section at log position " << p % size;
        p += 5;
        while (p < end && byteAt(p) != 0xFF) {
            const std::uint8_t b0 = byteAt(p);
            EXPECT_LT(b0, 0x80) << "sample at log position " << p % size;
            const int winch = b0 & 1;
            s.peak[winch] = std::max<int>(s.peak[winch], byteAt(p + 1));
            ++s.samples;
            p += sampleSize;
        }
        sections.push_back(s);
    }
    return sections;
}

struct Record {
    StampBytes stamp{};
    std::uint8_t load1, load2, flags;
};

std::vector<Record> ringRecords(const MemoryImage& image, std::size_t ring)
{
    std::vector<Record> out;
    for (std::size_t slot = 0; slot < layout::kRingSlots; ++slot) {
        const std::size_t at = ring + layout::kRecordSize * slot;
        out.push_back({stampAt(image, at), image[at + 5], image[at + 6], image[at + 7]});
    }
    return out;
}

TEST(DemoImage, SameSeedSameBytesOtherSeedOtherBytes)
{
    EXPECT_EQ(makeDemoImage(1), makeDemoImage(1));
    EXPECT_EQ(makeDemoImage(4294967295u), makeDemoImage(4294967295u));
    EXPECT_NE(makeDemoImage(1), makeDemoImage(2));
    EXPECT_NE(makeDemoImage(0), makeDemoImage(1));
    // Not only the log: the passport or the counters differ as well.
    const auto a = makeDemoImage(5), b = makeDemoImage(6);
    EXPECT_FALSE(identificationEqual(a, b) && std::equal(a.begin(), a.begin() + 0x400, b.begin()));
}

TEST(DemoImage, ChecksumIsConsistentAndTextsDecode)
{
    for (const auto seed : kSeeds) {
        SCOPED_TRACE(seed);
        const MemoryImage image = makeDemoImage(seed);
        EXPECT_TRUE(checksumOk(image));
        for (const auto& [offset, length] : std::vector<std::pair<std::size_t, std::size_t>>{{layout::kRecorderType, 32},
                 {layout::kRecorderSerial, 16}, {layout::kRecorderMaker, 64}, {layout::kInstalledBy, 64},
                 {layout::kCraneType, 32}, {layout::kCraneSerial, 16}, {layout::kCraneMaker, 64},
                 {layout::kCraneOwner, 64}, {layout::kCraneGroup, 2}, {layout::kInServiceDate, 20},
                 {layout::kClockSetOperator, 32}, {layout::kPassportChangeOperator, 32},
                 {layout::kProgramChangeOperator, 32}, {layout::kProgramName, 8}}) {
            const std::string text = fixedText(image, offset, length);
            EXPECT_FALSE(text.empty()) << std::hex << offset;
            EXPECT_EQ(text.find('?'), std::string::npos) << text; // nothing lost in cp1251
        }
        EXPECT_EQ(fixedText(image, layout::kCraneGroup, 2).rfind("А", 0), 0u); // Cyrillic А
        EXPECT_EQ(fixedText(image, layout::kInServiceDate, 20).size(), 10u);
    }
    const MemoryImage first = makeDemoImage(1);
    EXPECT_EQ(fixedText(first, layout::kProgramName, 8), "ПП-2000М");
}

TEST(DemoImage, DatesCapacitiesAndSettingsArePlausible)
{
    for (const auto seed : kSeeds) {
        SCOPED_TRACE(seed);
        const MemoryImage image = makeDemoImage(seed);
        const DateTime reading = stampToDateTime(stampAt(image, layout::kReadingStamp));
        const DateTime installed = readI32(image, layout::kInstallationDay);
        EXPECT_GT(reading - installed, 2 * 365.0);
        for (const auto offset : {layout::kClockSetStamp, layout::kPassportChangeStamp, layout::kProgramChangeStamp}) {
            const DateTime t = stampToDateTime(stampAt(image, offset));
            EXPECT_GE(t, installed);
            EXPECT_LT(t, reading);
        }
        EXPECT_GE(readI16(image, layout::kCraneYear), 1970);
        EXPECT_LE(readI16(image, layout::kCraneYear), decodeDate(installed).year);
        const float crane = readFloat(image, layout::kCraneCapacity);
        EXPECT_GT(crane, 0.0f);
        EXPECT_EQ(readFloat(image, layout::kWinch1Capacity), crane);
        EXPECT_GT(readFloat(image, layout::kWinch2Capacity), 0.0f);
        EXPECT_LT(readFloat(image, layout::kWinch2Capacity), crane);

        // Thresholds inside the ranges of the settings page.
        const int lo[13] = {0, 0, 0, 0, 0, 0, 0, 0, 0, -100, 1000 / 40, 100, 0};
        const int hi[13] = {100, 100, 125, 125, 125, 125, 125, 50, 50, 0, 10000 / 40, 255, 255};
        for (std::size_t i = 0; i < 13; ++i) {
            const int v = readI16(image, layout::kThresholds + 2 * i);
            EXPECT_GE(v, lo[i]) << i;
            EXPECT_LE(v, hi[i]) << i;
        }
        // Load characteristic: zone 0 and zone 11 carry the anchor codes of the normalisation block.
        EXPECT_EQ(readU16(image, layout::kLoadCharacteristic), readI16(image, 0x6D8));
        EXPECT_EQ(readU16(image, layout::kLoadCharacteristic + 33), readI16(image, 0x6DA));
        EXPECT_EQ(image[layout::kLoadCharacteristic + 2], 100);
    }
}

TEST(DemoImage, RingsAreFullOrderedAndBeforeTheReading)
{
    for (const auto seed : kSeeds) {
        SCOPED_TRACE(seed);
        const MemoryImage image = makeDemoImage(seed);
        const DateTime reading = stampToDateTime(stampAt(image, layout::kReadingStamp));
        int stopStates = 0, serviceStates = 0, bothWinches = 0;
        for (const auto& [indexAt, ring] : {std::pair{layout::kCycleRingIndex, layout::kCycleRing},
                 std::pair{layout::kTripRingIndex, layout::kTripRing}}) {
            const std::size_t next = image[indexAt];
            EXPECT_GT(next, 0u);
            EXPECT_LT(next, layout::kRingSlots);
            const auto records = ringRecords(image, ring);
            DateTime previous = 0.0;
            for (std::size_t j = 0; j < layout::kRingSlots; ++j) { // oldest first
                const Record& r = records[(next + j) % layout::kRingSlots];
                ASSERT_TRUE(stampIsValid(r.stamp));
                const DateTime t = stampToDateTime(r.stamp);
                EXPECT_GT(t, previous);
                EXPECT_LT(t, reading);
                previous = t;
                stopStates += (r.flags & 0x03) != 0;
                serviceStates += (r.flags & 0x04) != 0;
                bothWinches += r.load1 != 0 && r.load2 != 0;
                EXPECT_EQ(r.flags & 0x80, 0);
            }
        }
        EXPECT_GT(stopStates, 20); // every limiter trip stops a winch
        EXPECT_GT(bothWinches, 0);
        (void)serviceStates;
    }
}

TEST(DemoImage, LogSectionsFollowTheGrammarAndMatchTheirRecords)
{
    for (const auto seed : kSeeds) {
        SCOPED_TRACE(seed);
        const MemoryImage image = makeDemoImage(seed);
        std::map<StampBytes, Record> records;
        for (const auto ring : {layout::kCycleRing, layout::kTripRing})
            for (const auto& r : ringRecords(image, ring))
                EXPECT_TRUE(records.emplace(r.stamp, r).second) << "stamps are unique: " << stampText(r.stamp);

        const auto sections = walkLog(image);
        EXPECT_GE(sections.size(), 56u); // most records have their detail
        for (const auto& s : sections) {
            SCOPED_TRACE(stampText(s.stamp));
            EXPECT_TRUE(hasDetail(image, s.stamp));
            EXPECT_GE(s.samples, 8u);
            const auto it = records.find(s.stamp);
            ASSERT_NE(it, records.end());
            // The section's highest load of each winch is the one the record keeps.
            EXPECT_EQ(s.peak[0], it->second.load1);
            EXPECT_EQ(s.peak[1], it->second.load2);
        }
        // The newest section ends at the write position, and the log holds them oldest first.
        for (std::size_t i = 1; i < sections.size(); ++i)
            EXPECT_LT(stampToDateTime(sections[i - 1].stamp), stampToDateTime(sections[i].stamp));
    }
}

TEST(DemoImage, PipelineProcessesItWithoutAnyMessage)
{
    Session session;
    session.image = makeDemoImage(1);
    ScriptedUserInterface ui;
    resetPeriodStart(session);
    processImage(session, ui);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(session.view.identification.lVersion.rfind("ПП-2000М (версия ", 0), 0u);
    EXPECT_GT(session.stats[kCrane].totalCycles, 10000);
    EXPECT_EQ(session.stats[kCrane].totalCycles,
        session.stats[kWinch1].totalCycles + session.stats[kWinch2].totalCycles);
    EXPECT_GE(session.stats[kCrane].usageClass, 1);
    int withDetail = 0;
    for (const auto& row : session.cycleRows) {
        EXPECT_FALSE(row.dateText.empty());
        withDetail += row.hasDetail;
    }
    EXPECT_GE(withDetail, 59);
    EXPECT_LT(withDetail, 64); // the oldest sections were overwritten
}

} // namespace
} // namespace kestrel
