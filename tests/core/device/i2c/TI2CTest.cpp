#include "core/device/FakeClock.h"
#include "core/device/i2c/DriverOpenFailure.h"
#include "core/device/i2c/TI2C.h"
#include "core/device/port/FakePortLibrary.h"
#include "core/device/port/FakeServiceControlManager.h"
#include "core/device/port/PortIoFailureText.h"
#include "core/device/port/TPortIO.h"
#include "core/ui/ScriptedUserInterface.h"
#include "core/device/i2c/RecordingPort.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <set>
#include <string>

namespace kestrel {
namespace {

using test::RecordingPort;

struct BusMaster : ::testing::Test {
    FakeClock clock;
    ScriptedUserInterface ui;
    RecordingPort port;
    TI2C bus{port, clock, ui};

    BusMaster()
    {
        bus.BaseAddress = RecordingPort::kBase;
        bus.Latch = 0x0F;
    }

    // The state after a bit: SCL held low by the master, so the next release is an edge.
    void holdClockLow()
    {
        bus.Latch = 0x2F;
        port.WritePortByte(RecordingPort::kBase, bus.Latch);
        port.dataWrites.clear();
        port.statusReads = 0;
    }

    // Runs `operation`, which must raise `message`.
    template <typename Operation>
    void expectBusError(Operation operation, const std::string& message)
    {
        try {
            operation();
            FAIL() << "no error, expected " << message;
        } catch (const BusError& e) {
            EXPECT_EQ(e.what(), message);
        }
    }
};

TEST_F(BusMaster, CalibrationMakesOneDelayAboutTenMicroseconds)
{
    // 10^8 rounds at 0.1 ns are 10 ms: 10^6 / 10 + 1 rounds per delay.
    EXPECT_EQ(bus.DelayLoops, 100'001);
    EXPECT_EQ(bus.WaitLimit, 1000);
    EXPECT_FALSE(bus.TimedOut);
    EXPECT_EQ(clock.highResolutionDepth, 0);

    FakeClock fast;
    fast.nanosecondsPerIteration = 0.001; // the whole calibration takes 0.1 ms: read as 0 ms
    TI2C quick(port, fast, ui);
    EXPECT_EQ(quick.DelayLoops, 1'000'001);
}

// Millisecond readings given in turn; the busy loop costs nothing.
class ScriptedMillisecondsClock : public Clock {
public:
    std::deque<std::uint32_t> readings;
    void sleepMs(std::uint32_t) override {}
    std::uint32_t milliseconds() override
    {
        const auto value = readings.front();
        readings.pop_front();
        return value;
    }
    void busyLoop(std::int64_t) override {}
};

TEST_F(BusMaster, CalibrationMeasuresAgainWhenTheCounterCrossesItsSign)
{
    ScriptedMillisecondsClock scripted;
    scripted.readings = {0x7FFFFFF0u, 0x80000005u, 0xFFFFFFF0u, 0x00000004u};
    // The further runs of the calibration are slower and do not count.
    for (int run = 1; run < 5; ++run)
        scripted.readings.insert(scripted.readings.end(), {100, 130});
    TI2C calibrated(port, scripted, ui);
    // The second pair wraps through zero but not through the sign: 20 ms.
    EXPECT_TRUE(scripted.readings.empty());
    EXPECT_EQ(calibrated.DelayLoops, 50'001);
}

// A virtual clock on which chosen runs of the calibration loop are held up, as by
// another program taking the processor.
class DisturbedClock : public FakeClock {
public:
    std::set<int> disturbedRuns;
    double disturbanceMs = 0;
    void busyLoop(std::int64_t iterations) override
    {
        if (disturbedRuns.count(run_++) != 0)
            advanceMs(disturbanceMs);
        FakeClock::busyLoop(iterations);
    }

private:
    int run_ = 0;
};

TEST_F(BusMaster, ADisturbedCalibrationRunDoesNotMakeTheBusFaster)
{
    // Undisturbed, every run takes 10 ms: 100 001 rounds per delay.
    for (const std::set<int>& disturbed : {std::set<int>{0}, std::set<int>{2}, std::set<int>{4}, std::set<int>{0, 1, 3, 4}}) {
        DisturbedClock busy;
        busy.disturbedRuns = disturbed;
        busy.disturbanceMs = 15;
        TI2C calibrated(port, busy, ui);
        EXPECT_EQ(calibrated.DelayLoops, 100'001) << "disturbed runs: " << disturbed.size();
        EXPECT_EQ(busy.highResolutionDepth, 0);
    }
    // Every run disturbed: the least disturbed one counts.
    DisturbedClock loaded;
    loaded.disturbedRuns = {0, 1, 2, 3, 4};
    loaded.disturbanceMs = 10;
    TI2C calibrated(port, loaded, ui);
    EXPECT_EQ(calibrated.DelayLoops, 50'001);
}

TEST_F(BusMaster, SendByteDrivesTheBitsMostSignificantFirstThenReleasesSda)
{
    bus.SendByte(0xAE);
    EXPECT_EQ(port.sdaAtClockRises(), (std::vector<int>{1, 0, 1, 0, 1, 1, 1, 0}));
    EXPECT_EQ(port.latch() & 0x30, 0x20); // SDA released, SCL held low
    EXPECT_EQ(port.dataWrites.back(), 0x2F);
    // Two delays per bit.
    EXPECT_EQ(clock.busyIterations, 5 * 100'000'000LL + 16 * 100'001);
}

TEST_F(BusMaster, NoDeviceMeansNoAcknowledgeButNoError)
{
    EXPECT_FALSE(bus.StartAddress(0xAE));
    EXPECT_FALSE(bus.TimedOut);
    // Start condition: SDA falls while SCL is released, with 1 ms pauses around it.
    ASSERT_GE(port.dataWrites.size(), 3u);
    EXPECT_EQ(port.dataWrites[0] & 0x30, 0x00);
    EXPECT_EQ(port.dataWrites[1] & 0x30, 0x00);
    EXPECT_EQ(port.dataWrites[2] & 0x30, 0x10);
    EXPECT_EQ(clock.sleeps, (std::vector<std::uint32_t>{1, 1}));
    // The clock released before the start, eight data bits, the acknowledge clock
    // with SDA left to the (absent) device.
    EXPECT_EQ(port.sdaAtClockRises(), (std::vector<int>{1, 1, 0, 1, 0, 1, 1, 1, 0, 1}));
}

TEST_F(BusMaster, ClockStretchingIsWaitedForUpTo999Polls)
{
    holdClockLow();
    port.stretchReads = 998; // SCL seen high on the 999th poll
    bus.SendByte(0x55);
    EXPECT_FALSE(bus.TimedOut);
    EXPECT_EQ(port.statusReads, 8 * 999);

    holdClockLow();
    port.stretchReads = 999; // high only on the 1000th poll: too late
    expectBusError([&] { bus.SendByte(0x55); }, "Ошибка передачи данных!");
    EXPECT_TRUE(bus.TimedOut);
    EXPECT_EQ(port.statusReads, 1000);
    EXPECT_EQ(bus.WaitCount, 1000);
}

TEST_F(BusMaster, EachWaitNamesItsOwnFault)
{
    port.stretchReads = 5000;
    holdClockLow();
    expectBusError([&] { bus.ReadByte(); }, "Ошибка чтения данных!");
    EXPECT_TRUE(bus.TimedOut);
    holdClockLow();
    expectBusError([&] { bus.ReadAck(); }, "Превышено время ожидания ответа!");
    holdClockLow();
    expectBusError([&] { bus.SendAck(); }, "Превышено время ожидания ответа!");
    holdClockLow();
    expectBusError([&] { bus.SendNack(); }, "Превышено время ожидания ответа!");

    // A poll that does not run out clears the flag again.
    port.stretchReads = 3;
    holdClockLow();
    bus.SendNack();
    EXPECT_FALSE(bus.TimedOut);
}

TEST_F(BusMaster, StopWithSdaHeldLowIsAConflictNotATimeOut)
{
    port.sdaHeldLow = true;
    expectBusError([&] { bus.Stop(); }, "Конфликт шины I2C!");
    EXPECT_FALSE(bus.TimedOut);
    EXPECT_EQ(clock.sleeps, (std::vector<std::uint32_t>{1, 1}));
}

TEST_F(BusMaster, StopRaisesSdaWhileSclIsHigh)
{
    bus.Stop();
    ASSERT_GE(port.dataWrites.size(), 4u);
    const auto n = port.dataWrites.size();
    EXPECT_EQ(port.dataWrites[n - 2] & 0x30, 0x10); // SCL released, SDA low
    EXPECT_EQ(port.dataWrites[n - 1] & 0x30, 0x00); // then SDA released
}

TEST_F(BusMaster, RepeatedStartWaitsForBothLinesThenPullsSdaFirst)
{
    bus.Latch = 0x2F; // SCL low after an acknowledge
    port.stretchReads = 10;
    bus.RepeatedStart();
    ASSERT_EQ(port.dataWrites.size(), 4u);
    EXPECT_EQ(port.dataWrites[0] & 0x30, 0x20); // SDA released, clock still low
    EXPECT_EQ(port.dataWrites[1] & 0x30, 0x00); // clock released
    EXPECT_EQ(port.dataWrites[2] & 0x30, 0x10); // SDA falls: start
    EXPECT_EQ(port.dataWrites[3] & 0x30, 0x30); // clock low
    // The two waits share one count: one poll for SDA, eleven for both lines.
    EXPECT_EQ(bus.WaitCount, 12);
}

TEST_F(BusMaster, InitBusResetsTheLinesAndStopsOnAnIdleBus)
{
    EXPECT_TRUE(bus.InitBus());
    ASSERT_GE(port.dataWrites.size(), 2u);
    EXPECT_EQ(port.dataWrites[0], 0x00);
    EXPECT_EQ(port.dataWrites[1], 0x0F);
    EXPECT_EQ(port.latch(), 0x0F);
    EXPECT_EQ(clock.sleeps, (std::vector<std::uint32_t>{500, 500, 1, 1}));
}

TEST_F(BusMaster, InitBusClocksAStuckSdaFreeWithin999Pulses)
{
    port.sdaLowForClocks = 999;
    EXPECT_TRUE(bus.InitBus());
    EXPECT_EQ(port.sclPulses(), 999);
}

TEST_F(BusMaster, InitBusGivesUpAfterTheThousandthPulse)
{
    port.sdaLowForClocks = 1000;
    expectBusError([&] { bus.InitBus(); }, "Ошибка инициализации шины I2C!");
    EXPECT_TRUE(bus.TimedOut);
    EXPECT_EQ(port.sclPulses(), 1000);
}

// A port that fails like the port component with its driver closed.
class ClosedPort : public PortAccess {
public:
    std::uint8_t GetPortByte(std::uint16_t) override { throw PortError("closed"); }
    void WritePortByte(std::uint16_t, std::uint8_t) override { throw PortError("closed"); }
};

TEST_F(BusMaster, PortFailuresTravelAsTheyAre)
{
    ClosedPort closed;
    TI2C onClosed(closed, clock, ui);
    EXPECT_THROW(onClosed.InitBus(), PortError);
    EXPECT_FALSE(onClosed.TimedOut);
}

TEST(BusMasterProduction, AnUnusableDriverIsReportedOnceAndBusOperationsFail)
{
    // A backend the port library cannot understand (or no library at all) leaves the
    // driver closed.
    const char* previous = std::getenv("KESTREL_PORTIO");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("KESTREL_PORTIO", "no-such-backend", 1);
    FakeClock clock;
    ScriptedUserInterface ui;
    {
        TI2C bus(clock, ui, "/opt/kestrel/");
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].rfind("Не возможно открыть DriverLINX драйвер.\n", 0), 0u) << ui.messages[0];
        // No library in that folder: LastError is empty, so the reason comes in words.
        EXPECT_EQ(ui.messages[0].rfind("Не возможно открыть DriverLINX драйвер.\nПричина: не удалось загрузить "
                                       "/opt/kestrel/libDLPortIO.so: ", 0), 0u) << ui.messages[0];
        EXPECT_TRUE(ui.messages[0].ends_with("USB-адаптер I2C.")) << ui.messages[0];
        ASSERT_NE(bus.ownedPort(), nullptr);
        EXPECT_EQ(bus.ownedPort()->DriverPath(), "/opt/kestrel");
        EXPECT_EQ(bus.DelayLoops, 100'001);
        bus.BaseAddress = 0x378;
        EXPECT_THROW(bus.InitBus(), PortError);
    }
    if (previous != nullptr)
        setenv("KESTREL_PORTIO", saved.c_str(), 1);
    else
        unsetenv("KESTREL_PORTIO");
}

// The opening failure message of the program's own bus master, from what a port
// component really leaves behind after a failed opening on Windows.
struct DriverOpenFailure : ::testing::Test {
    test::FakeLibraryLoader loader;
    test::FakeServiceControlManager services;
    test::FakePlatformInfo nt{PlatformFamily::WindowsNT};

    std::string messageAfterOpening(bool usbAdapters = false)
    {
        TPortIO io({&loader, &services, &nt});
        io.OpenDriver();
        EXPECT_FALSE(io.ActiveHW());
        return driverOpenFailureMessage(io.LastError(), io.LibraryFailure(), usbAdapters);
    }
};

TEST_F(DriverOpenFailure, AMissingLibraryIsNamedWithItsReasonThoughLastErrorIsEmpty)
{
    loader.libraryPresent = false;
    loader.loadFailure = libraryLoadFailureReason(126);
    EXPECT_EQ(messageAfterOpening(),
        "Не возможно открыть DriverLINX драйвер.\n"
        "Причина: не удалось загрузить " + std::string(kPortIoLibraryFileName) + ": " + loader.loadFailure + ".\n"
        "Остальная работа программы доступна: файлы, архив, документы.");
    EXPECT_TRUE(messageAfterOpening(true).ends_with(
        "\nОстальная работа программы доступна: файлы, архив, документы; прибор считывания можно подключить через "
        "USB-адаптер I2C."));
}

TEST_F(DriverOpenFailure, ARefusedServiceStepKeepsItsLastErrorLineAndIsExplainedAfterIt)
{
    services.refuse("OpenSCManager", 5, 0x17);
    services.refuse("CreateService", 5);
    EXPECT_EQ(messageAfterOpening(),
        "Не возможно открыть DriverLINX драйвер.\nDriverInstall: Error #5\nПричина: " +
            serviceFailureReason("DriverInstall", 5) + ".\nОстальная работа программы доступна: файлы, архив, документы.");
}

TEST_F(DriverOpenFailure, ALibraryFailureComesBeforeAServiceStepThatFailedUndoingTheOpening)
{
    loader.missingExports = {"DlPortWritePortUlong"};
    services.refuse("ControlService", 1051, 1);
    const std::string message = messageAfterOpening();
    const auto lines = message.find("DriverStop: Error #1051\nПричина: в библиотеке " + std::string(kPortIoLibraryFileName) +
        " нет функции DlPortWritePortUlong.\nПричина: " + serviceFailureReason("DriverStop", 1051) + ".\n");
    EXPECT_NE(lines, std::string::npos) << message;
}

TEST(DriverOpenFailureText, ABackendRefusalThatIsLastErrorIsNotSaidTwice)
{
    const std::string refusal = "ppdev: /dev/parport0: Permission denied";
    const std::string message = driverOpenFailureMessage(refusal, refusal, true);
    EXPECT_EQ(message, "Не возможно открыть DriverLINX драйвер.\n" + refusal +
            "\nОстальная работа программы доступна: файлы, архив, документы; прибор считывания можно подключить "
            "через USB-адаптер I2C.");
}

} // namespace
} // namespace kestrel
