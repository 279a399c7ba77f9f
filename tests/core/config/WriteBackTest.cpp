#include "core/config/ConfigurationMessages.h"
#include "core/config/ServicePageFromView.h"
#include "core/config/WriteBackProcedure.h"
#include "core/config/WriteConfiguration.h"
#include "core/device/reader/ReaderSimulation.h"
#include "core/image/FixedText.h"
#include "core/image/TimeStamp.h"
#include "core/records/IdentificationOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

namespace kestrel {
namespace {

using test::ReaderSimulation;
namespace text = config_text;
using Write = std::pair<std::uint16_t, std::size_t>; // address, length

class ScriptedIdentification : public OperatorIdentification {
public:
    std::optional<OperatorCredentials> answer = OperatorCredentials{"Петров П.П.", "*77*"};
    std::vector<std::string> asked;
    std::optional<OperatorCredentials> identify(const std::string& recorderNumber) override
    {
        asked.push_back(recorderNumber);
        return answer;
    }
};

// Passes everything to the reader device and notes every write; a write to an
// address in `failAt` fails, one in `ignoreAt` is reported done but never sent.
class RecordingLink : public ConfigurationLink {
public:
    explicit RecordingLink(ReaderDeviceTransfer& transfer) : inner_(transfer) {}
    std::vector<Write> writes;
    std::vector<Write> reads;
    std::set<std::uint16_t> failAt, ignoreAt;
    bool readFails = false;

    bool findReader() override { return inner_.findReader(); }
    bool writeDevice(std::uint16_t start, std::span<const std::uint8_t> data) override
    {
        writes.emplace_back(start, data.size());
        if (failAt.count(start))
            return false;
        return ignoreAt.count(start) || inner_.writeDevice(start, data);
    }
    bool readDevice(std::uint16_t start, std::span<std::uint8_t> buffer) override
    {
        reads.emplace_back(start, buffer.size());
        return !readFails && inner_.readDevice(start, buffer);
    }

private:
    TransferLink inner_;
};

// A write-back on the simulated reader device, the page filled from the device's own
// memory as the window would show it after "Загрузить".
struct WriteBackRig {
    explicit WriteBackRig(SimulatedFaults faults = {}) : sim(faults)
    {
        image = sim.memory;
        MainView view;
        fillIdentification(image, 0.0, locale, view.identification, view.settings);
        page = servicePageFromView(view, ClockSetting{2026, 12, 31, 23, 59, 41});
    }
    WriteBackResult run() { return runWriteBack(page, image, credentials, link, sim.clock, sim.ui, operatorWindow, locale); }
    std::vector<std::uint8_t> deviceArea() const
    {
        return {sim.device.memory().begin() + 0x60B, sim.device.memory().begin() + 0x900};
    }
    void tickAll()
    {
        page.chbSetRTC = page.chbEditPKR = page.chbNormir = page.chbProgram = page.chbErase = true;
    }

    ReaderSimulation sim;
    DisplayLocale locale = DisplayLocale::russian();
    MemoryImage image{};
    ServicePage page;
    OperatorCredentials credentials;
    ScriptedIdentification operatorWindow;
    RecordingLink link{sim.transfer};
};

bool allZero(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t to)
{
    return std::all_of(bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(to),
        [](std::uint8_t b) { return b == 0; });
}

TEST(WriteBack, NothingTickedClearsTheAreaAndWritesTheAccessBlock)
{
    WriteBackRig rig;
    EXPECT_EQ(rig.run(), WriteBackResult::Done);
    EXPECT_EQ(rig.link.writes, (std::vector<Write>{{0x60B, 757}, {0x6F0, 10}}));
    EXPECT_EQ(rig.link.reads, (std::vector<Write>{{0x60B, 757}}));
    EXPECT_EQ(rig.sim.ui.messages, (std::vector<std::string>{text::kWriteBackDone}));
    EXPECT_EQ(rig.sim.ui.statusTexts.back(), text::kWriteBackChecked);
    EXPECT_EQ(rig.operatorWindow.asked, (std::vector<std::string>{rig.page.identification.eRegNum}));
    EXPECT_EQ(rig.credentials.operatorName, "Петров П.П.");
    // The pause after the search.
    EXPECT_NE(std::find(rig.sim.clock.sleeps.begin(), rig.sim.clock.sleeps.end(), 200u), rig.sim.clock.sleeps.end());

    const auto area = rig.deviceArea();
    EXPECT_EQ(std::vector<std::uint8_t>(area.begin() + 0xE5, area.begin() + 0xEF),
        (std::vector<std::uint8_t>{'*', '7', '7', '*', 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(allZero(area, 0, 0xE5));
    EXPECT_TRUE(allZero(area, 0xEF, area.size()));
}

TEST(WriteBack, EveryOperationInItsOrderAndALaterReadShowsIt)
{
    WriteBackRig rig;
    rig.tickAll();
    rig.page.identification.eOwner = "Порт Восточный";
    rig.page.thresholds[10] = "1090";
    rig.page.calibr[0] = {"123", "456"};
    EXPECT_EQ(rig.run(), WriteBackResult::Done);
    EXPECT_EQ(rig.link.writes, (std::vector<Write>{{0x60B, 757}, {0x60B, 37}, {0x700, 512}, {0x635, 32},
                                   {0x6D0, 16}, {0x660, 112}, {0x6F0, 10}}));
    EXPECT_EQ(rig.sim.ui.questions.back(), text::kEraseQuestion);
    EXPECT_EQ(rig.sim.ui.messages.back(), text::kWriteBackDone);
    EXPECT_FALSE(rig.page.chbSetRTC || rig.page.chbEditPKR || rig.page.chbNormir || rig.page.chbProgram
        || rig.page.chbErase);

    // The device holds exactly the composed blocks, and nothing between them.
    const MemoryImage& device = rig.sim.device.memory();
    for (const auto& [from, to] : std::vector<Write>{{0x60B, 0x630}, {0x635, 0x655}, {0x660, 0x6E0}, {0x6F0, 0x6FA}, {0x700, 0x900}})
        EXPECT_TRUE(std::equal(device.begin() + from, device.begin() + static_cast<long>(to), rig.image.begin() + from))
            << std::hex << from;
    const auto area = rig.deviceArea();
    EXPECT_TRUE(allZero(area, 0x630 - 0x60B, 0x635 - 0x60B));
    EXPECT_TRUE(allZero(area, 0x655 - 0x60B, 0x660 - 0x60B));
    EXPECT_TRUE(allZero(area, 0x6E0 - 0x60B, 0x6F0 - 0x60B));
    EXPECT_TRUE(allZero(area, 0x6FA - 0x60B, 0x700 - 0x60B));
    EXPECT_EQ(device[0x6F8], 0x1F);
    EXPECT_EQ(device[0x6F9], 0x1F);

    // Read back as "Загрузить" would, the page shows what was written.
    MainView view;
    fillIdentification(device, 0.0, rig.locale, view.identification, view.settings);
    EXPECT_EQ(view.identification.eOwner, "Порт Восточный");
    EXPECT_EQ(view.identification.eChangeRTC, "31.12.2026 23:59  Петров П.П.");
    EXPECT_EQ(view.settings.thresholds[10], 1080); // 1090 ms kept in units of 40 ms
    EXPECT_EQ(view.settings.calibr[0].subItems[0], "123");
}

TEST(WriteBack, ACancelledIdentificationWritesNothing)
{
    WriteBackRig rig;
    rig.tickAll();
    rig.operatorWindow.answer.reset();
    const MemoryImage before = rig.image;
    EXPECT_EQ(rig.run(), WriteBackResult::Cancelled);
    EXPECT_TRUE(rig.link.writes.empty());
    EXPECT_TRUE(rig.sim.ui.messages.empty());
    EXPECT_TRUE(rig.sim.ui.statusTexts.empty()); // not even searched
    EXPECT_EQ(rig.image, before);
    EXPECT_TRUE(rig.page.chbSetRTC);
}

TEST(WriteBack, NoDeviceNoWrite)
{
    SimulatedFaults absent;
    absent.disconnectAfterBytes = 0;
    WriteBackRig rig(absent);
    EXPECT_EQ(rig.run(), WriteBackResult::DeviceNotFound);
    EXPECT_TRUE(rig.link.writes.empty());
    EXPECT_EQ(rig.sim.ui.messages, (std::vector<std::string>{text::kDeviceNotConnected}));
}

TEST(WriteBack, AFailingIdentificationWriteLeavesTheClockWrittenAndNoFlags)
{
    WriteBackRig rig;
    rig.page.chbSetRTC = rig.page.chbEditPKR = true;
    rig.link.failAt = {0x700};
    EXPECT_EQ(rig.run(), WriteBackResult::TransferFailed);
    EXPECT_EQ(rig.sim.ui.messages, (std::vector<std::string>{text::kIdentificationWriteFailed}));
    EXPECT_EQ(rig.link.writes, (std::vector<Write>{{0x60B, 757}, {0x60B, 37}, {0x700, 512}}));
    EXPECT_FALSE(rig.page.chbSetRTC);
    EXPECT_TRUE(rig.page.chbEditPKR);
    EXPECT_TRUE(rig.link.reads.empty());
    const MemoryImage& device = rig.sim.device.memory();
    EXPECT_EQ(device[0x60B], 0x59);
    EXPECT_EQ(device[0x6F8], 0); // the access block never went
}

TEST(WriteBack, ARefusedInputStopsBeforeItsBlockWithItsMessage)
{
    WriteBackRig rig;
    rig.page.chbSetRTC = rig.page.chbEditPKR = rig.page.chbNormir = true;
    rig.page.identification.eRegYear = "2051";
    EXPECT_EQ(rig.run(), WriteBackResult::InputRefused);
    EXPECT_EQ(rig.sim.ui.messages, (std::vector<std::string>{text::kRecorderYearWrong}));
    EXPECT_EQ(rig.link.writes, (std::vector<Write>{{0x60B, 757}, {0x60B, 37}}));
    EXPECT_TRUE(rig.page.chbEditPKR && rig.page.chbNormir);
    // The image keeps what was composed before the refusal.
    EXPECT_EQ(fixedText(rig.image, 0x635, 32), "Петров П.П.");
    EXPECT_EQ(rig.image[0x6F8], 0x03);
}

TEST(WriteBack, ErasureAnsweredNoSetsNoFlagButUnticks)
{
    WriteBackRig rig;
    rig.page.chbErase = true;
    rig.sim.ui.yesNoAnswers = {false};
    EXPECT_EQ(rig.run(), WriteBackResult::Done);
    EXPECT_FALSE(rig.page.chbErase);
    EXPECT_EQ(rig.sim.device.memory()[0x6F8], 0);
}

TEST(WriteBack, ADeviceThatVanishesMidwayIsNoSuccess)
{
    SimulatedFaults vanishing;
    vanishing.disconnectAfterBytes = 1200; // during the identification block
    WriteBackRig rig(vanishing);
    rig.tickAll();
    EXPECT_EQ(rig.run(), WriteBackResult::TransferFailed);
    EXPECT_EQ(std::count(rig.sim.ui.messages.begin(), rig.sim.ui.messages.end(), text::kWriteBackDone), 0);
    EXPECT_EQ(rig.sim.device.memory()[0x6F8], 0);
}

TEST(WriteBack, AReadBackThatDiffersNamesTheFirstAddress)
{
    {
        SimulatedFaults flip;
        flip.flipBitAtByte = 0x6F8 - 0x60B; // the device sends nothing before the read-back
        WriteBackRig rig(flip);
        EXPECT_EQ(rig.run(), WriteBackResult::ReadBackDiffers);
        EXPECT_EQ(rig.sim.ui.messages,
            (std::vector<std::string>{"Проверка записи не прошла: по адресу 0x06F8 в ПСИ не то, что записано!"}));
        EXPECT_EQ(rig.sim.ui.statusTexts.back(), kWriteFailed);
    }
    {
        WriteBackRig rig; // a device that takes the normalisation block without keeping it
        rig.page.chbNormir = true;
        rig.page.calibr = {{{"0", "0"}, {"0", "5"}, {"0", "0"}, {"0", "0"}}};
        rig.link.ignoreAt = {0x6D0};
        EXPECT_EQ(rig.run(), WriteBackResult::ReadBackDiffers);
        EXPECT_EQ(rig.sim.ui.messages.back(), "Проверка записи не прошла: по адресу 0x06D6 в ПСИ не то, что записано!");
    }
}

TEST(WriteBack, AReadBackThatFailsConfirmsNothing)
{
    WriteBackRig rig;
    rig.link.readFails = true;
    EXPECT_EQ(rig.run(), WriteBackResult::TransferFailed);
    EXPECT_EQ(rig.sim.ui.messages, (std::vector<std::string>{text::kReadBackFailed}));
}

TEST(WriteBack, ThroughTheTransferItself)
{
    ReaderSimulation sim;
    MemoryImage image = sim.memory;
    ServicePage page;
    page.chbSetRTC = true;
    page.clock = {2027, 3, 4, 5, 6, 0};
    OperatorCredentials credentials;
    ScriptedIdentification operatorWindow;
    EXPECT_EQ(writeConfiguration(page, image, credentials, sim.transfer, sim.clock, sim.ui, operatorWindow,
                  DisplayLocale::c()),
        WriteBackResult::Done);
    EXPECT_EQ(stampText(stampAt(sim.device.memory(), 0x60B)), "04.03.2027 05:06 ");
}

} // namespace
} // namespace kestrel
