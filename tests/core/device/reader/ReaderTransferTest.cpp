#include "core/device/PortAccess.h"
#include "core/device/i2c/BusError.h"
#include "core/device/reader/ExtendedPageActions.h"
#include "core/device/reader/ReaderDeviceTransfer.h"
#include "core/device/reader/ReaderSimulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace kestrel {
namespace {

using test::ReaderSimulation;

std::vector<std::uint8_t> slice(const MemoryImage& memory, std::size_t from, std::size_t count)
{
    return {memory.begin() + static_cast<std::ptrdiff_t>(from), memory.begin() + static_cast<std::ptrdiff_t>(from + count)};
}

TEST(ReaderSearch, FindsTheDeviceOnTheFirstCandidate)
{
    ReaderSimulation sim;
    EXPECT_TRUE(sim.transfer.findReader());
    EXPECT_TRUE(sim.transfer.deviceFound());
    EXPECT_EQ(sim.bus.BaseAddress, 0x378);
    EXPECT_EQ(sim.ui.statusTexts,
        (std::vector<std::string>{"Поиск ПСИ по адресу 0x378...", "ПСИ обнаружен! Порт: 0x378."}));
    EXPECT_TRUE(sim.ui.questions.empty());
    EXPECT_EQ(sim.ui.messagePumps, 2);
    // A pause after each text, the two of the bus initialisation and the stop's edges.
    EXPECT_EQ(sim.clock.sleeps, (std::vector<std::uint32_t>{1000, 500, 500, 1, 1, 1, 1, 1000}));
}

TEST(ReaderSearch, FindsADeviceOnLpt2AfterAFailedProbeOfLpt1)
{
    // Nothing answers at 0x378: its status reads 0xFF, so the probe's stop times out,
    // and that failure is passed over without a word.
    ReaderSimulation sim({}, 0x278);
    EXPECT_TRUE(sim.transfer.findReader());
    EXPECT_EQ(sim.bus.BaseAddress, 0x278);
    EXPECT_EQ(sim.ui.statusTexts,
        (std::vector<std::string>{
            "Поиск ПСИ по адресу 0x378...", "Поиск ПСИ по адресу 0x278...", "ПСИ обнаружен! Порт: 0x278."}));
    EXPECT_FALSE(sim.bus.TimedOut);
    EXPECT_TRUE(sim.ui.errorBoxes.empty());
}

TEST(ReaderSearch, NoDeviceAsksForTheAddressThenGivesUp)
{
    SimulatedFaults absent;
    absent.disconnectAfterBytes = 0; // the port is there, the device is not
    ReaderSimulation sim(absent);
    EXPECT_FALSE(sim.transfer.findReader());
    EXPECT_FALSE(sim.transfer.deviceFound());
    EXPECT_EQ(sim.ui.questions,
        (std::vector<std::string>{"Ручная установка номера порта обмена\nВведите адрес порта к которому подключен ПСИ:"}));
    EXPECT_EQ(sim.ui.statusTexts,
        (std::vector<std::string>{"Поиск ПСИ по адресу 0x378...", "Нет ответа от ПСИ (порт 0x378).",
            "Поиск ПСИ по адресу 0x278...", "Поиск ПСИ по адресу 0x3BC...", "Поиск ПСИ по адресу 0x378...",
            "Нет ответа от ПСИ (порт 0x378).", "Прибор считывания информации не обнаружен!"}));
    EXPECT_EQ(sim.bus.BaseAddress, 0x378); // the initial text of the dialog
}

TEST(ReaderSearch, TheTypedAddressIsConvertedLikeAnyTypedNumber)
{
    SimulatedFaults none;
    {
        ReaderSimulation sim(none, 0xBC00);
        sim.ui.inputAnswers = {std::string("$BC00")};
        EXPECT_TRUE(sim.transfer.findReader());
        EXPECT_EQ(sim.bus.BaseAddress, 0xBC00);
        EXPECT_EQ(sim.ui.statusTexts.back(), "ПСИ обнаружен! Порт: 0xBC00.");
        EXPECT_EQ(sim.ui.statusTexts[3], "Поиск ПСИ по адресу 0xBC00...");
    }
    {
        ReaderSimulation sim(none, 0x2F8);
        sim.ui.inputAnswers = {std::string("  760")};
        EXPECT_TRUE(sim.transfer.findReader());
        EXPECT_EQ(sim.bus.BaseAddress, 0x2F8);
    }
    for (const auto& answer : {std::optional<std::string>(), std::optional<std::string>("порт")}) {
        ReaderSimulation sim(none, 0x2F8);
        sim.ui.inputAnswers = {answer}; // cancelled, or no number: 0x378
        EXPECT_FALSE(sim.transfer.findReader());
        EXPECT_EQ(sim.bus.BaseAddress, 0x378);
    }
}

TEST(ReaderSearch, AStuckDeviceIsClockedFreeByTheSearch)
{
    SimulatedFaults stuck;
    stuck.stuckSdaClocks = 20;
    ReaderSimulation sim(stuck);
    EXPECT_TRUE(sim.transfer.findReader());
}

struct ReaderTransfer : ::testing::Test {
    ReaderSimulation sim;
    void SetUp() override { ASSERT_TRUE(sim.transfer.findReader()); }
};

TEST_F(ReaderTransfer, ReadsTheWholeMemoryIn128Transactions)
{
    std::vector<std::uint8_t> buffer(kImageSize, 0);
    sim.ui.statusTexts.clear();
    EXPECT_TRUE(sim.transfer.readDevice(0, buffer));
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), sim.device.memory().begin()));

    std::vector<int> expected{0};
    for (int done = 256; done <= 32768; done += 256)
        expected.push_back(done);
    expected.push_back(0);
    EXPECT_EQ(sim.progressPositions(), expected);
    EXPECT_EQ(sim.ui.progress.front().second, 32767);
    // A transaction's no-acknowledge clock finds the device already sending the next
    // byte; the next start then costs at most one retry, never a wrong byte.
    EXPECT_GE(sim.device.counters.bytesSent, 32768);
    EXPECT_EQ(sim.ui.statusTexts, (std::vector<std::string>{"Подождите, идет загрузка данных ...", "Данные загружены в память"}));
    EXPECT_EQ(sim.ui.transferRunning, (std::vector<bool>{true, false}));
}

TEST_F(ReaderTransfer, TransactionsAreUnalignedAndAtMost256Bytes)
{
    std::vector<std::uint8_t> buffer(300, 0);
    const long startsBefore = sim.device.counters.starts;
    EXPECT_TRUE(sim.transfer.readDevice(0x0100, buffer));
    EXPECT_EQ(buffer, slice(sim.device.memory(), 0x0100, 300));
    EXPECT_EQ(sim.progressPositions(), (std::vector<int>{0, 256, 300, 0}));
    // A start and a repeated start per transaction, and the start of the final poll.
    EXPECT_EQ(sim.device.counters.starts - startsBefore, 5);

    std::vector<std::uint8_t> odd(5, 0);
    EXPECT_TRUE(sim.transfer.readDevice(0x7FFD, odd));
    EXPECT_EQ(std::vector<std::uint8_t>(odd.begin(), odd.begin() + 3), slice(sim.device.memory(), 0x7FFD, 3));
}

TEST_F(ReaderTransfer, WritesPagesThatNeverCrossA32ByteBoundary)
{
    std::vector<std::uint8_t> data(37);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(0xA0 + i);
    const MemoryImage before = sim.device.memory();

    sim.ui.statusTexts.clear();
    EXPECT_TRUE(sim.transfer.writeDevice(0x60B, data));
    EXPECT_EQ(sim.device.counters.pagesWritten, 2);
    EXPECT_EQ(sim.progressPositions(), (std::vector<int>{0, 20, 36, 0}));
    EXPECT_EQ(sim.ui.statusTexts, (std::vector<std::string>{"Подождите, идет запись данных ...", "Данные записаны на ПСИ"}));
    // The second page waited for the first one's write cycle.
    EXPECT_GT(sim.device.counters.addressNacks, 0);

    MemoryImage expected = before;
    std::copy(data.begin(), data.end(), expected.begin() + 0x60B);
    EXPECT_EQ(sim.device.memory(), expected);

    // The write ended only once the device answered again, after the last page's write cycle.
    EXPECT_FALSE(sim.device.inWriteCycle());
    std::vector<std::uint8_t> back(data.size(), 0);
    EXPECT_TRUE(sim.transfer.readDevice(0x60B, back));
    EXPECT_EQ(back, data);
}

TEST_F(ReaderTransfer, MissingAcknowledgesAreRetriedUntilEverythingIsThrough)
{
    SimulatedFaults flaky;
    flaky.nackProbability = 0.05;
    flaky.seed = 11;
    ReaderSimulation noisy(flaky);
    ASSERT_TRUE(noisy.transfer.findReader());

    std::vector<std::uint8_t> data(200);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 7);
    EXPECT_TRUE(noisy.transfer.writeDevice(0x1234, data));
    std::vector<std::uint8_t> back(data.size(), 0);
    EXPECT_TRUE(noisy.transfer.readDevice(0x1234, back));
    EXPECT_EQ(back, data);
    EXPECT_GT(noisy.device.counters.acksWithheld, 0);
    EXPECT_TRUE(noisy.ui.errorBoxes.empty());
}

TEST_F(ReaderTransfer, AStretchedClockSlowsTheTransferDown)
{
    SimulatedFaults slow;
    slow.clockStretchPolls = 30;
    ReaderSimulation stretched(slow);
    ASSERT_TRUE(stretched.transfer.findReader());
    std::vector<std::uint8_t> buffer(64, 0);
    EXPECT_TRUE(stretched.transfer.readDevice(0x40, buffer));
    EXPECT_EQ(buffer, slice(stretched.device.memory(), 0x40, 64));
}

TEST_F(ReaderTransfer, ADeviceThatVanishesMidwayEndsWithATimeOutMessage)
{
    SimulatedFaults vanishing;
    vanishing.disconnectAfterBytes = 1000;
    ReaderSimulation sim2(vanishing);
    ASSERT_TRUE(sim2.transfer.findReader());
    std::vector<std::uint8_t> buffer(kImageSize, 0);
    EXPECT_FALSE(sim2.transfer.readDevice(0, buffer));
    EXPECT_EQ(sim2.ui.errorBoxes,
        (std::vector<std::pair<std::string, std::string>>{{"Прибор считывания информации", "Превышено время ожидания ответа!"}}));
    EXPECT_EQ(sim2.ui.statusTexts.back(), "Данные не загружены в память");
    EXPECT_EQ(sim2.ui.transferRunning, (std::vector<bool>{true, false}));
    EXPECT_EQ(sim2.ui.progress.back().first, 0);
    EXPECT_FALSE(sim2.bus.TimedOut);
    // What came before the device went away is kept.
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 512, sim2.device.memory().begin()));
}

TEST_F(ReaderTransfer, ADeviceThatNeverAcknowledgesEndsAWriteWithATimeOutMessage)
{
    SimulatedFaults deaf;
    deaf.nackProbability = 1.0;
    ReaderSimulation sim2(deaf);
    sim2.transfer.RetryLimit = 50;
    const std::vector<std::uint8_t> data(40, 0x5A);
    EXPECT_FALSE(sim2.transfer.writeDevice(0x100, data));
    EXPECT_EQ(sim2.ui.errorBoxes.size(), 1u);
    EXPECT_EQ(sim2.ui.errorBoxes[0].second, "Превышено время ожидания ответа!");
    EXPECT_EQ(sim2.ui.statusTexts.back(), "Данные не записаны на ПСИ");
    EXPECT_EQ(sim2.device.counters.pagesWritten, 0);
}

// Gives out after a number of port accesses, as a port whose driver went away does.
class FailingPort : public PortAccess {
public:
    FailingPort(PortAccess& inner, long accessesLeft) : inner_(inner), left_(accessesLeft) {}
    std::uint8_t GetPortByte(std::uint16_t port) override
    {
        use();
        return inner_.GetPortByte(port);
    }
    void WritePortByte(std::uint16_t port, std::uint8_t value) override
    {
        use();
        inner_.WritePortByte(port, value);
    }

private:
    void use()
    {
        if (left_-- <= 0)
            throw PortError("Порт 0x378 недоступен.");
    }
    PortAccess& inner_;
    long left_;
};

TEST_F(ReaderTransfer, APortThatFailsMidwayIsReportedNotThrown)
{
    FailingPort failing(sim.ports, 20'000);
    TI2C bus(failing, sim.clock, sim.ui);
    ReaderDeviceTransfer transfer(bus, sim.clock, sim.ui);
    bus.BaseAddress = 0x378;
    std::vector<std::uint8_t> buffer(4096, 0);
    EXPECT_FALSE(transfer.readDevice(0, buffer));
    ASSERT_EQ(sim.ui.errorBoxes.size(), 1u);
    EXPECT_EQ(sim.ui.errorBoxes[0].second, "Порт 0x378 недоступен.");
    EXPECT_EQ(sim.ui.statusTexts.back(), "Данные не загружены в память");

    const std::vector<std::uint8_t> data(64, 1);
    EXPECT_FALSE(transfer.writeDevice(0, data));
    EXPECT_EQ(sim.ui.statusTexts.back(), "Данные не записаны на ПСИ");
}

TEST_F(ReaderTransfer, ARecoveryThatRunsOutIsShownLikeATimeOut)
{
    SimulatedFaults stuck;
    stuck.stuckSdaClocks = 5000; // more than the recovery clocking gives
    ReaderSimulation sim2(stuck);
    sim2.bus.BaseAddress = 0x378;
    std::vector<std::uint8_t> buffer(16, 0);
    // The recovery runs out: a time-out, so the message box shows it.
    EXPECT_FALSE(sim2.transfer.readDevice(0, buffer));
    EXPECT_EQ(sim2.ui.errorBoxes.size(), 1u);
    EXPECT_EQ(sim2.ui.errorBoxes[0].second, "Ошибка инициализации шины I2C!");
}

TEST_F(ReaderTransfer, TerminationStopsAReadAtTheNextTransaction)
{
    sim.ui.terminate = true;
    sim.ui.statusTexts.clear();
    std::vector<std::uint8_t> buffer(1024, 0);
    EXPECT_FALSE(sim.transfer.readDevice(0, buffer));
    EXPECT_EQ(sim.progressPositions(), (std::vector<int>{0, 256}));
    EXPECT_EQ(sim.ui.transferRunning, (std::vector<bool>{true})); // stays disabled while quitting
    EXPECT_EQ(sim.ui.statusTexts, (std::vector<std::string>{"Подождите, идет загрузка данных ..."}));
}

// Bytes the simulated device takes part in (clocked in after a start, or sent) during `transfer`
// on a faultless device: where a vanishing device is to vanish is counted from there.
template <typename Transfer>
long busBytesOf(Transfer transfer)
{
    ReaderSimulation clean;
    transfer(clean);
    return clean.device.counters.bytesReceived + clean.device.counters.bytesSent;
}

// A device that vanishes during the last transaction of a read leaves SDA floating
// high: the rest of the transaction reads as 0xFF bytes, every one "acknowledged".
// Only the poll after the last transaction can tell, and the read must fail.
TEST(TransferEnd, AReadWhoseDeviceVanishedInTheLastTransactionFails)
{
    const auto fullRead = [](ReaderSimulation& sim) {
        sim.bus.BaseAddress = 0x378;
        std::vector<std::uint8_t> buffer(kImageSize, 0);
        return sim.transfer.readDevice(0, buffer);
    };
    SimulatedFaults vanishing;
    vanishing.disconnectAfterBytes = busBytesOf(fullRead) - 100;
    ReaderSimulation sim(vanishing);
    EXPECT_FALSE(fullRead(sim));
    EXPECT_TRUE(sim.device.disconnected());
    // Every transaction ran to its end before the poll found nobody there.
    EXPECT_EQ(sim.progressPositions().end()[-2], 32768);
    EXPECT_EQ(sim.ui.errorBoxes,
        (std::vector<std::pair<std::string, std::string>>{{kReaderCaption, kLostAfterRead}}));
    EXPECT_EQ(sim.ui.statusTexts.back(), kReadFailed);
    EXPECT_EQ(sim.ui.transferRunning, (std::vector<bool>{true, false}));
    EXPECT_FALSE(sim.bus.TimedOut);
}

TEST(TransferEnd, AnAreaReadWhoseDeviceVanishedInTheLastTransactionShowsNothing)
{
    const auto areaRead = [](ReaderSimulation& sim) {
        AreaFields fields{"0x0100", "300"}; // transactions of 256 and 44 bytes
        return bbGetRAMClick(sim.transfer, fields);
    };
    SimulatedFaults vanishing;
    vanishing.disconnectAfterBytes = busBytesOf(areaRead) - 20;
    ReaderSimulation sim(vanishing);
    EXPECT_FALSE(areaRead(sim).has_value());
    EXPECT_EQ(sim.progressPositions(), (std::vector<int>{0, 256, 300, 0}));
    ASSERT_EQ(sim.ui.errorBoxes.size(), 1u);
    EXPECT_EQ(sim.ui.errorBoxes[0].second, kLostAfterRead);
    EXPECT_EQ(sim.ui.statusTexts.back(), kReadFailed);
}

TEST(TransferEnd, AWriteWhoseLastPageNeverArrivedFails)
{
    // An erase: zeros over two pages. The device acknowledges the very last byte and
    // vanishes before the stop that would have written the page: nothing on the bus
    // shows it but the poll after that stop.
    const std::vector<std::uint8_t> zeros(64, 0);
    const auto erase = [&](ReaderSimulation& sim) {
        sim.device.writeCycleMs = 0; // no polling between the pages: the bytes are counted exactly
        sim.bus.BaseAddress = 0x378;
        return sim.transfer.writeDevice(0x0100, zeros);
    };
    SimulatedFaults vanishing;
    vanishing.disconnectAfterBytes = busBytesOf(erase) - 1; // all but the final poll's address byte
    ReaderSimulation sim(vanishing);
    const MemoryImage before = sim.device.memory();
    EXPECT_FALSE(erase(sim));
    EXPECT_EQ(sim.device.counters.pagesWritten, 1);
    EXPECT_TRUE(std::equal(before.begin() + 0x120, before.begin() + 0x140, sim.device.memory().begin() + 0x120));
    EXPECT_EQ(sim.ui.progress.end()[-2].first, 63); // every byte went out
    EXPECT_EQ(sim.ui.errorBoxes,
        (std::vector<std::pair<std::string, std::string>>{{kReaderCaption, kLostAfterWrite}}));
    EXPECT_EQ(sim.ui.statusTexts.back(), kWriteFailed);

    // The same erase on a device that stays, with its write cycles: done, and done
    // only after the last one.
    ReaderSimulation steady;
    steady.bus.BaseAddress = 0x378;
    EXPECT_TRUE(steady.transfer.writeDevice(0x0100, zeros));
    EXPECT_EQ(steady.device.counters.pagesWritten, 2);
    EXPECT_FALSE(steady.device.inWriteCycle());
    EXPECT_EQ(steady.ui.statusTexts.back(), kWriteDone);
}

TEST_F(ReaderTransfer, EmptyTransfersTouchNoByte)
{
    EXPECT_TRUE(sim.transfer.readDevice(0x10, {}));
    EXPECT_TRUE(sim.transfer.writeDevice(0x10, {}));
    EXPECT_EQ(sim.device.counters.pagesWritten, 0);
    EXPECT_EQ(sim.device.counters.bytesSent, 0);
}

} // namespace
} // namespace kestrel
