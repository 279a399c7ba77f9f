#include "core/device/i2c/TI2C.h"

#include "core/device/i2c/DriverOpenFailure.h"
#include "core/device/port/TPortIO.h"

#include <algorithm>

namespace kestrel {

namespace {

constexpr std::int64_t kCalibrationLoops = 100'000'000;
constexpr int kCalibrationRuns = 5;
constexpr std::uint8_t kStatusSclInverted = 0x80;
constexpr std::uint8_t kLineResetLatch = 0x00;
constexpr std::uint8_t kIdleLatch = 0x0F; // data bits 0-3 high, both lines released
constexpr std::uint32_t kInitPauseMs = 500;
constexpr std::uint32_t kEdgePauseMs = 1;

} // namespace

TI2C::TI2C(Clock& clock, UserInterface& ui, std::string programFolder)
    : ownedPort_(std::make_unique<TPortIO>()), port_(*ownedPort_), clock_(clock)
{
    // The kernel driver file is installed from the program's own folder.
    while (programFolder.size() > 1 && (programFolder.back() == '/' || programFolder.back() == '\\'))
        programFolder.pop_back();
#if !defined(_WIN32)
    // Our own port library lies beside the program; naming its folder does not rely on
    // the loader's search (which a sanitizer runtime's dlopen does not extend to $ORIGIN).
    ownedPort_->SetDLLPath(programFolder);
#endif
    ownedPort_->SetDriverPath(std::move(programFolder));
    ownedPort_->OpenDriver();
    if (!ownedPort_->ActiveHW())
        ui.showMessage(driverOpenFailureMessage(ownedPort_->LastError(), ownedPort_->LibraryFailure()));
    calibrateDelay();
}

TI2C::TI2C(PortAccess& port, Clock& clock, UserInterface&) : port_(port), clock_(clock) { calibrateDelay(); }

TI2C::~TI2C()
{
    if (ownedPort_)
        ownedPort_->CloseDriver();
}

std::int64_t TI2C::measureCalibrationLoop()
{
    std::uint32_t t0 = 0;
    std::uint32_t t1 = 0;
    do {
        t0 = clock_.milliseconds();
        clock_.busyLoop(kCalibrationLoops);
        t1 = clock_.milliseconds();
        // A reading that went backwards (the counter crossed its sign) is measured again.
    } while (static_cast<std::int32_t>(t1) < static_cast<std::int32_t>(t0));
    return static_cast<std::int64_t>(static_cast<std::int32_t>(t1)) - static_cast<std::int64_t>(static_cast<std::int32_t>(t0));
}

void TI2C::calibrateDelay()
{
    // Another program taking the processor during a measurement makes the loop look
    // slow, and a slow loop gives a short delay: a bus faster than the device may
    // take. Interruptions only ever add time, so the quickest of several measurements
    // is the one nearest the loop's own speed.
    clock_.beginHighResolution();
    std::int64_t elapsed = measureCalibrationLoop();
    for (int run = 1; run < kCalibrationRuns; ++run)
        elapsed = std::min(elapsed, measureCalibrationLoop());
    clock_.endHighResolution();

    // 10^8 rounds took `elapsed` ms, so 10^6 / elapsed rounds make about 10 us. A
    // reading of 0 ms (a coarse timer, a very fast loop) counts as 1 ms.
    if (elapsed < 1)
        elapsed = 1;
    DelayLoops = static_cast<std::int32_t>(1'000'000.0 / static_cast<double>(elapsed) + 1.0);
}

// --- line primitives -------------------------------------------------------------

void TI2C::writeLatch() { port_.WritePortByte(BaseAddress, Latch); }

void TI2C::SdaRelease()
{
    Latch &= static_cast<std::uint8_t>(~kSdaDrive);
    writeLatch();
}

void TI2C::SdaLow()
{
    Latch |= kSdaDrive;
    writeLatch();
}

void TI2C::SclRelease()
{
    Latch &= static_cast<std::uint8_t>(~kSclDrive);
    writeLatch();
}

void TI2C::SclLow()
{
    Latch |= kSclDrive;
    writeLatch();
}

void TI2C::ReadStatus()
{
    Status = static_cast<std::uint8_t>(port_.GetPortByte(static_cast<std::uint16_t>(BaseAddress + 1)) ^ kStatusSclInverted);
}

void TI2C::Delay() { clock_.busyLoop(DelayLoops); }

void TI2C::CheckWait(const char* message)
{
    ++WaitCount;
    if (WaitCount >= WaitLimit) {
        TimedOut = true;
        throw BusError(message != nullptr && *message != '\0' ? message : kTimeoutMessage);
    }
    TimedOut = false;
}

template <typename Condition>
void TI2C::waitUntil(Condition condition, const char* message)
{
    // The count is checked before the reading is looked at, so the poll that reaches
    // the limit fails even when its reading would have done.
    for (;;) {
        ReadStatus();
        CheckWait(message);
        if (condition())
            return;
    }
}

// --- operations ------------------------------------------------------------------

void TI2C::SendByte(std::uint8_t b)
{
    for (int bit = 7; bit >= 0; --bit) {
        if ((b >> bit) & 1)
            SdaRelease();
        else
            SdaLow();
        Delay();
        SclRelease();
        WaitCount = 0;
        waitUntil([this] { return sclHigh(); }, kSendErrorMessage);
        Delay();
        SclLow();
    }
    SdaRelease();
}

bool TI2C::ReadAck()
{
    Delay();
    SclRelease();
    WaitCount = 0;
    waitUntil([this] { return sclHigh(); }, "");
    Delay();
    ReadStatus();
    SclLow();
    return !sdaHigh();
}

std::uint8_t TI2C::ReadByte()
{
    SdaRelease();
    std::uint8_t value = 0;
    for (int bit = 7; bit >= 0; --bit) {
        Delay();
        SclRelease();
        WaitCount = 0;
        waitUntil([this] { return sclHigh(); }, kReadErrorMessage);
        Delay();
        ReadStatus();
        if (sdaHigh())
            value = static_cast<std::uint8_t>(value | (1u << bit));
        SclLow();
    }
    return value;
}

void TI2C::SendAck()
{
    SdaLow();
    Delay();
    SclRelease();
    WaitCount = 0;
    waitUntil([this] { return sclHigh(); }, "");
    Delay();
    SclLow();
}

void TI2C::SendNack()
{
    SdaRelease();
    Delay();
    SclRelease();
    WaitCount = 0;
    waitUntil([this] { return sclHigh(); }, "");
    Delay();
    SclLow();
}

void TI2C::Stop()
{
    SclLow();
    Delay();
    SdaLow();
    WaitCount = 0;
    waitUntil([this] { return !sdaHigh(); }, "");
    clock_.sleepMs(kEdgePauseMs);
    SclRelease();
    waitUntil([this] { return sclHigh(); }, "");
    clock_.sleepMs(kEdgePauseMs);
    SdaRelease(); // SDA rising while SCL is high: the stop condition
    Delay();
    ReadStatus();
    if (!(sdaHigh() && sclHigh()))
        throw BusError(kConflictMessage);
}

void TI2C::RepeatedStart()
{
    SdaRelease();
    Delay();
    WaitCount = 0;
    waitUntil([this] { return sdaHigh(); }, "");
    SclRelease();
    Delay();
    waitUntil([this] { return sdaHigh() && sclHigh(); }, "");
    SdaLow(); // SDA falling while SCL is high: a start condition
    Delay();
    SclLow();
}

bool TI2C::StartAddress(std::uint8_t b)
{
    SdaRelease();
    Delay();
    SclRelease();
    clock_.sleepMs(kEdgePauseMs);
    SdaLow(); // start condition
    clock_.sleepMs(kEdgePauseMs);
    SclLow();
    Delay();
    SendByte(b);
    return ReadAck();
}

bool TI2C::SendTwoBytes(std::uint8_t a, std::uint8_t b)
{
    SendByte(a);
    if (!ReadAck())
        return false;
    SendByte(b);
    return ReadAck();
}

bool TI2C::InitBus()
{
    Latch = kLineResetLatch;
    writeLatch();
    clock_.sleepMs(kInitPauseMs);
    Latch = kIdleLatch;
    writeLatch();
    clock_.sleepMs(kInitPauseMs);
    ReadStatus();
    WaitCount = 0;
    // A device left in the middle of a byte holds SDA low until it has clocked it out.
    while (!sdaHigh()) {
        SclRelease();
        Delay();
        SclLow();
        Delay();
        ReadStatus();
        CheckWait(kInitErrorMessage);
    }
    Stop();
    ReadStatus();
    return sdaHigh() && sclHigh();
}

} // namespace kestrel
