#include "core/image/Checksum.h"
#include "core/pipeline/DeviceLoad.h"
#include "core/pipeline/Pipeline.h"
#include "core/device/reader/ReaderSimulation.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(session.image, contents); // the bytes read stay
    EXPECT_TRUE(session.view.lvLast.empty()); // nothing decoded
}

} // namespace
} // namespace kestrel
