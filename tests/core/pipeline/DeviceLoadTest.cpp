#include "core/image/Checksum.h"
#include "core/pipeline/DeviceLoad.h"
#include "core/pipeline/Pipeline.h"
#include "core/device/reader/ReaderSimulation.h"
#include "core/image/ImageLayout.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kestrel {
namespace {

TEST(DeviceLoad, ReadsTheWholeMemoryAndShowsWhatOpeningItsFileWould)
{
    test::ReaderSimulation sim;
    Session fromDevice;
    ASSERT_EQ(loadFromDevice(fromDevice, sim.transfer, sim.clock, sim.ui), DeviceLoadResult::Processed);
    EXPECT_EQ(fromDevice.image, sim.memory);
    EXPECT_EQ(fromDevice.periodStart, readI32(sim.memory, layout::kInstallationDay));
    EXPECT_FALSE(fromDevice.view.lvLast.empty());
    EXPECT_TRUE(sim.ui.messages.empty());
}

TEST(DeviceLoad, NoReaderLeavesTheImageAlone)
{
    test::ReaderSimulation sim({}, 0x2F8); // on no candidate port
    sim.ui.inputAnswers = {std::nullopt};
    Session session;
    session.image[5] = 42;
    EXPECT_EQ(loadFromDevice(session, sim.transfer, sim.clock, sim.ui), DeviceLoadResult::NotFound);
    EXPECT_EQ(session.image[5], 42);
}

TEST(DeviceLoad, BadChecksumAsksTheDeviceQuestion)
{
    auto contents = makeDemoImage(3);
    contents[0x10] ^= 1;
    test::ReaderSimulation sim({}, 0x378, contents);
    sim.ui.yesNoAnswers = {false};
    Session session;
    EXPECT_EQ(loadFromDevice(session, sim.transfer, sim.clock, sim.ui), DeviceLoadResult::ChecksumRefused);
    ASSERT_EQ(sim.ui.questions.size(), 1u);
    EXPECT_EQ(sim.ui.questions[0], kChecksumQuestionDevice);
    EXPECT_EQ(session.image, MemoryImage{}); // "Нет" changes nothing
    EXPECT_FALSE(session.hasReading);
    EXPECT_EQ(sim.ui.statusTexts.back(), kReadingRefusedStatus); // not "loaded into memory"
    EXPECT_TRUE(session.view.lvLast.empty()); // nothing decoded
}

TEST(DeviceLoad, AConfigurationWrittenForTheRecorderIsSaidAndNotLoaded)
{
    auto contents = makeDemoImage(3);
    std::fill(contents.begin() + 0x60B, contents.begin() + 0x900, std::uint8_t{0});
    contents[0x6F0] = '#';
    contents[0x6F8] = contents[0x6F9] = 0x14; // normalisation and erasure
    test::ReaderSimulation sim({}, 0x378, contents);
    Session session;
    EXPECT_EQ(loadFromDevice(session, sim.transfer, sim.clock, sim.ui), DeviceLoadResult::Configuration);
    ASSERT_EQ(sim.ui.messages.size(), 1u);
    EXPECT_TRUE(sim.ui.messages[0].starts_with("ПСИ содержит не считывание крана"));
    EXPECT_NE(sim.ui.messages[0].find("нормировка датчиков"), std::string::npos);
    EXPECT_NE(sim.ui.messages[0].find("очистка данных регистратора"), std::string::npos);
    EXPECT_TRUE(sim.ui.questions.empty());
    EXPECT_FALSE(session.hasReading);
    EXPECT_EQ(sim.ui.statusTexts.back(), kConfigurationHeldStatus);
}

// What a reading leaves in the session that the window shows.
struct Shown {
    MemoryImage image;
    DateTime periodStart;
    std::string regNum, dateCheck, cycles;
    std::vector<std::string> lastCaptions;

    explicit Shown(const Session& s)
        : image(s.image), periodStart(s.periodStart), regNum(s.view.identification.eRegNum),
          dateCheck(s.view.identification.eDateCheck), cycles(s.view.statistics.eNcicl)
    {
        for (const auto& row : s.view.lvLast)
            lastCaptions.push_back(row.caption);
    }
    bool operator==(const Shown&) const = default;
};

// A session that holds a complete earlier reading.
Session loadedSession()
{
    test::ReaderSimulation earlier({}, 0x378, makeDemoImage(11));
    Session session;
    EXPECT_EQ(loadFromDevice(session, earlier.transfer, earlier.clock, earlier.ui), DeviceLoadResult::Processed);
    return session;
}

TEST(DeviceLoad, AReadThatBreaksOffLeavesTheEarlierReadingWhole)
{
    Session session = loadedSession();
    const Shown before(session);
    ASSERT_FALSE(before.lastCaptions.empty());

    SimulatedFaults vanishing;
    vanishing.disconnectAfterBytes = 20000; // found, then gone after some 70 transactions
    test::ReaderSimulation sim(vanishing, 0x378, makeDemoImage(12));
    sim.transfer.RetryLimit = 20;
    EXPECT_EQ(loadFromDevice(session, sim.transfer, sim.clock, sim.ui), DeviceLoadResult::ReadFailed);
    EXPECT_EQ(sim.ui.errorBoxes.size(), 1u);
    EXPECT_TRUE(Shown(session) == before); // not one byte of the new reading
    EXPECT_TRUE(sim.ui.questions.empty());
}

TEST(DeviceLoad, TheChecksumMissesAFlippedOddByteAndTheSecondReadingCatchesIt)
{
    SimulatedFaults flip;
    flip.flipBitAtByte = 0x51; // in the first transaction: the device address equals the index

    // Read once, the flipped bit at an odd offset passes the checksum unnoticed.
    test::ReaderSimulation once(flip);
    Session fooled;
    ASSERT_EQ(loadFromDevice(fooled, once.transfer, once.clock, once.ui), DeviceLoadResult::Processed);
    EXPECT_EQ(fooled.image[0x51], once.memory[0x51] ^ 1);
    EXPECT_TRUE(once.ui.questions.empty());

    // Read twice, the two readings differ and neither is taken.
    Session session = loadedSession();
    const Shown before(session);
    test::ReaderSimulation twice(flip);
    EXPECT_EQ(loadFromDevice(session, twice.transfer, twice.clock, twice.ui, ReadCheck::Twice),
        DeviceLoadResult::ReadFailed);
    ASSERT_EQ(twice.ui.errorBoxes.size(), 1u);
    EXPECT_EQ(twice.ui.errorBoxes[0].first, kReaderCaption);
    EXPECT_EQ(twice.ui.errorBoxes[0].second, "Два чтения ПСИ не совпадают: первое различие по адресу 0x0051!");
    EXPECT_EQ(twice.ui.statusTexts.back(), kReadFailed);
    EXPECT_TRUE(Shown(session) == before);

    // A steady device gives two equal readings.
    test::ReaderSimulation steady;
    Session verified;
    EXPECT_EQ(loadFromDevice(verified, steady.transfer, steady.clock, steady.ui, ReadCheck::Twice),
        DeviceLoadResult::Processed);
    EXPECT_EQ(verified.image, steady.memory);
    EXPECT_TRUE(steady.ui.errorBoxes.empty());
}

} // namespace
} // namespace kestrel
