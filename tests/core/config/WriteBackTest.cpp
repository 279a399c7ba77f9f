#include "core/config/ConfigurationMemory.h"
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

TEST(WriteBack, ARefusedFieldTouchesNothing)
{
    // Each refusal names its field; none asks for the operator, searches or writes.
    struct Slip {
        void (*make)(ServicePage&);
        std::string messageStart;
    };
    const Slip slips[] = {
        {[](ServicePage& p) { p.chbEditPKR = true; p.identification.eRegYear = "2051"; }, text::kRecorderYearWrong},
        {[](ServicePage& p) { p.chbEditPKR = true; p.identification.eYear = "19o5"; }, text::kCraneYearWrong},
        {[](ServicePage& p) { p.chbEditPKR = true; p.identification.eSrok = "300"; }, text::kServiceLifeWrong},
        {[](ServicePage& p) { p.chbEditPKR = true; p.identification.eGruz1 = "1,2,3"; }, text::kWinch1CapacityWrong},
        {[](ServicePage& p) { p.chbEditPKR = true; p.identification.eOwner = "ООО «Порт» ✓"; },
            "Поле «Владелец»: символ «✓»"},
        {[](ServicePage& p) { p.chbSetRTC = true; p.clock.day = 31; p.clock.month = 2; }, text::kClockComposeFailed},
        {[](ServicePage& p) { p.chbNormir = true; p.calibr[1][1] = "99999"; },
            "Нормировка датчиков не записана.\nДатчик №2, Qном: значение 99999 вне допустимого диапазона от -32768 до 32767"},
        {[](ServicePage& p) { p.chbProgram = true; p.vylet[2][0] = "70000"; },
            std::string(text::kCharacteristicComposeFailed) + "\nЗона 3, «Код датчика»: значение 70000"},
        {[](ServicePage& p) { p.chbProgram = true; p.vylet[0][1] = ""; },
            std::string(text::kCharacteristicComposeFailed) + "\nЗона 1, «Нагрузка, %»: значение не введено"},
    };
    for (const Slip& slip : slips) {
        WriteBackRig rig;
        const MemoryImage imageBefore = rig.image;
        const MemoryImage deviceBefore = rig.sim.device.memory();
        rig.page.chbSetRTC = rig.page.chbNormir = true; // good operations ticked beside the slip
        slip.make(rig.page);
        EXPECT_EQ(rig.run(), WriteBackResult::InputRefused) << slip.messageStart;
        ASSERT_EQ(rig.sim.ui.messages.size(), 1u);
        EXPECT_TRUE(rig.sim.ui.messages[0].starts_with(slip.messageStart)) << rig.sim.ui.messages[0];
        EXPECT_TRUE(rig.operatorWindow.asked.empty());
        EXPECT_TRUE(rig.link.writes.empty());
        EXPECT_EQ(rig.sim.device.memory(), deviceBefore);
        EXPECT_EQ(rig.image, imageBefore);
        EXPECT_TRUE(rig.page.chbSetRTC && rig.page.chbNormir);
        for (const std::string& status : rig.sim.ui.statusTexts)
            EXPECT_EQ(status.find("записаны на ПСИ"), std::string::npos) << status;
    }
}

TEST(WriteBack, AReadOfTheDeviceAfterAWriteBackIsRecognisedAsConfiguration)
{
    WriteBackRig rig;
    rig.page.chbSetRTC = rig.page.chbEditPKR = true;
    ASSERT_EQ(rig.run(), WriteBackResult::Done);
    const auto memory = configurationMemoryOf(rig.sim.device.memory());
    ASSERT_TRUE(memory.has_value());
    EXPECT_EQ(memory->operatorName, "Петров П.П.");
    ASSERT_EQ(memory->operations.size(), 2u);
    EXPECT_EQ(memory->operations[0], "установка часов регистратора на 31.12.2026 23:59");
    EXPECT_NE(memory->recorder.find(rig.page.identification.eRegNum), std::string::npos);
    // A reading of the recorder, and a fresh memory, are none.
    EXPECT_FALSE(configurationMemoryOf(rig.sim.memory).has_value());
    EXPECT_FALSE(configurationMemoryOf(MemoryImage{}).has_value());
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
