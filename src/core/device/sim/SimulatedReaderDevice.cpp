#include "core/device/sim/SimulatedReaderDevice.h"

#include "core/image/DataFile.h"

#include <exception>
#include <system_error>

namespace kestrel {

namespace {

constexpr std::uint8_t kDeviceAddressMask = 0xFE;
constexpr std::uint8_t kDeviceAddress = 0xAE;
constexpr std::uint16_t kAddressMask = 0x7FFF;
constexpr std::uint16_t kPageMask = 0x7FE0;
constexpr std::uint16_t kPageOffsetMask = 0x001F;
constexpr std::uint32_t kLongestStretchMs = 1;

} // namespace

SimulatedReaderDevice::SimulatedReaderDevice(const MemoryImage& memory, SimulatedFaults faults, Clock& clock)
    : memory_(memory), faults_(faults), clock_(clock), random_(faults.seed)
{
    stuckClocksLeft_ = faults_.stuckSdaClocks > 0 ? faults_.stuckSdaClocks : 0;
    deviceSdaLow_ = stuckClocksLeft_ > 0;
    scl_ = busScl();
    sda_ = busSda();
    if (faults_.disconnectAfterBytes == 0)
        disconnected_ = true;
}

SimulatedReaderDevice::~SimulatedReaderDevice()
{
    if (writeCycleRunning_)
        finishWriteCycle();
}

void SimulatedReaderDevice::setBackingFile(std::string path) { file_ = std::move(path); }

void SimulatedReaderDevice::poll()
{
    if (!writeCycleRunning_)
        return;
    const std::uint32_t elapsed = clock_.milliseconds() - writeCycleStart_; // wraps like timeGetTime
    if (static_cast<double>(elapsed) >= writeCycleMs)
        finishWriteCycle();
}

void SimulatedReaderDevice::masterDrives(bool sclLow, bool sdaLow)
{
    poll();
    endStretchIfOverdue();
    // Both lines may change in one register write. Data changes while the clock is low,
    // so a falling clock goes first and a rising clock last: one write never makes a
    // start or stop condition by accident.
    if (sclLow && !masterSclLow_) {
        masterSclLow_ = true;
        deviceSclLow_ = false; // a stretch ends when the master pulls the clock itself
        stretchLeft_ = 0;
        settle();
        masterSdaLow_ = sdaLow;
        settle();
        return;
    }
    masterSdaLow_ = sdaLow;
    settle();
    if (!sclLow && masterSclLow_) {
        masterSclLow_ = false;
        const bool addressed = phase_ != Phase::Idle && !(phase_ == Phase::Receiving && field_ == Field::DeviceAddress);
        if (faults_.clockStretchPolls > 0 && addressed && !disconnected_) {
            deviceSclLow_ = true;
            stretchLeft_ = faults_.clockStretchPolls;
            stretchStart_ = clock_.milliseconds();
        }
        settle();
    }
}

bool SimulatedReaderDevice::sdaLevel() const { return busSda(); }

bool SimulatedReaderDevice::sclLevel() const { return busScl(); }

SimulatedReaderDevice::Lines SimulatedReaderDevice::senseLines()
{
    poll();
    endStretchIfOverdue();
    const Lines lines{busSda(), busScl()};
    if (stretchLeft_ > 0 && --stretchLeft_ == 0)
        endStretch();
    return lines;
}

void SimulatedReaderDevice::endStretchIfOverdue()
{
    if (stretchLeft_ > 0 && clock_.milliseconds() - stretchStart_ >= kLongestStretchMs)
        endStretch();
}

void SimulatedReaderDevice::endStretch()
{
    stretchLeft_ = 0;
    deviceSclLow_ = false;
    settle();
}

void SimulatedReaderDevice::settle()
{
    // The device's own reactions can move SDA again (only while SCL is low, or at a
    // start or stop), so loop until the lines are quiet.
    for (;;) {
        const bool scl = busScl();
        if (scl != scl_) {
            scl_ = scl;
            if (scl)
                onSclRise();
            else
                onSclFall();
            continue;
        }
        const bool sda = busSda();
        if (sda != sda_) {
            sda_ = sda;
            if (scl_) {
                if (sda)
                    onStop();
                else
                    onStart();
            }
            continue;
        }
        return;
    }
}

void SimulatedReaderDevice::onSclRise()
{
    if (stuckClocksLeft_ > 0 || disconnected_)
        return;
    if (phase_ == Phase::Receiving) {
        shift_ = static_cast<std::uint8_t>((shift_ << 1) | (sda_ ? 1 : 0));
        ++bitCount_;
    } else if (phase_ == Phase::AckIn) {
        masterAcked_ = !sda_;
    }
}

void SimulatedReaderDevice::onSclFall()
{
    if (stuckClocksLeft_ > 0) {
        if (--stuckClocksLeft_ == 0)
            deviceSdaLow_ = false; // the clock is low, so letting go is no stop condition
        return;
    }
    if (disconnected_)
        return;
    switch (phase_) {
    case Phase::Idle:
        break;
    case Phase::Receiving:
        if (bitCount_ == 8)
            byteReceived();
        break;
    case Phase::AckOut:
        deviceSdaLow_ = false;
        if (vanishIfDue())
            return;
        if (reading_) {
            loadNextByteToSend();
        } else {
            phase_ = Phase::Receiving;
            bitCount_ = 0;
            shift_ = 0;
        }
        break;
    case Phase::Sending:
        if (++bitCount_ == 8) {
            deviceSdaLow_ = false; // the master acknowledges on SDA
            ++counters.bytesSent;
            ++bytesOnBus_;
            phase_ = Phase::AckIn;
            masterAcked_ = false;
        } else {
            deviceSdaLow_ = (shift_ & (0x80u >> bitCount_)) == 0;
        }
        break;
    case Phase::AckIn:
        if (!masterAcked_) {
            goIdle(); // the master's no-acknowledge ends a sequential read
        } else if (!vanishIfDue()) {
            loadNextByteToSend();
        }
        break;
    }
}

void SimulatedReaderDevice::onStart()
{
    if (stuckClocksLeft_ > 0 || disconnected_)
        return;
    ++counters.starts;
    pageFilled_ = 0; // only a stop commits a page; a start in its place abandons it
    deviceSdaLow_ = false;
    if (vanishIfDue())
        return;
    phase_ = Phase::Receiving;
    field_ = Field::DeviceAddress;
    reading_ = false;
    bitCount_ = 0;
    shift_ = 0;
}

void SimulatedReaderDevice::onStop()
{
    if (stuckClocksLeft_ > 0 || disconnected_)
        return;
    ++counters.stops;
    if (pageFilled_ != 0)
        commitPage();
    goIdle();
}

void SimulatedReaderDevice::byteReceived()
{
    ++counters.bytesReceived;
    ++bytesOnBus_;
    const std::uint8_t value = shift_;
    switch (field_) {
    case Field::DeviceAddress:
        if ((value & kDeviceAddressMask) != kDeviceAddress) {
            goIdle(); // another slave's address
            return;
        }
        if (writeCycleRunning_ && ++writeCycleRefused_ > writeCycleRefusals)
            finishWriteCycle();
        if (writeCycleRunning_ || acknowledgeDropped()) {
            ++counters.addressNacks;
            goIdle();
            return;
        }
        reading_ = (value & 1) != 0;
        field_ = Field::AddressHigh;
        break;
    case Field::AddressHigh:
        if (acknowledgeDropped()) {
            goIdle();
            return;
        }
        addressHigh_ = value;
        field_ = Field::AddressLow;
        break;
    case Field::AddressLow:
        if (acknowledgeDropped()) {
            goIdle();
            return;
        }
        address_ = static_cast<std::uint16_t>(((addressHigh_ << 8) | value) & kAddressMask);
        pageBase_ = address_ & kPageMask;
        pageFilled_ = 0;
        field_ = Field::Data;
        break;
    case Field::Data: {
        if (acknowledgeDropped()) {
            goIdle(); // the byte is refused; what came before it is still written at the stop
            return;
        }
        const unsigned offset = address_ & kPageOffsetMask;
        pageData_[offset] = value;
        pageFilled_ |= 1u << offset;
        address_ = static_cast<std::uint16_t>(pageBase_ | ((offset + 1) & kPageOffsetMask));
        break;
    }
    }
    phase_ = Phase::AckOut;
    deviceSdaLow_ = true;
}

void SimulatedReaderDevice::loadNextByteToSend()
{
    std::uint8_t value = memory_[address_];
    address_ = static_cast<std::uint16_t>((address_ + 1) & kAddressMask);
    if (faults_.flipBitAtByte >= 0 && bytesLoaded_ == faults_.flipBitAtByte)
        value ^= 0x01;
    ++bytesLoaded_;
    shift_ = value;
    bitCount_ = 0;
    phase_ = Phase::Sending;
    deviceSdaLow_ = (value & 0x80) == 0;
}

void SimulatedReaderDevice::goIdle()
{
    phase_ = Phase::Idle;
    deviceSdaLow_ = false;
    bitCount_ = 0;
}

bool SimulatedReaderDevice::vanishIfDue()
{
    if (faults_.disconnectAfterBytes < 0 || bytesOnBus_ < faults_.disconnectAfterBytes)
        return false;
    disconnected_ = true;
    deviceSdaLow_ = false;
    deviceSclLow_ = false;
    stretchLeft_ = 0;
    phase_ = Phase::Idle;
    pageFilled_ = 0; // a page never stopped is never written
    return true;
}

bool SimulatedReaderDevice::acknowledgeDropped()
{
    if (faults_.nackProbability <= 0.0)
        return false;
    const double draw = static_cast<double>(random_()) / 4294967296.0;
    if (draw >= faults_.nackProbability)
        return false;
    ++counters.acksWithheld;
    return true;
}

void SimulatedReaderDevice::commitPage()
{
    for (unsigned i = 0; i < pageData_.size(); ++i) {
        if ((pageFilled_ & (1u << i)) != 0)
            memory_[pageBase_ + i] = pageData_[i];
    }
    pageFilled_ = 0;
    ++counters.pagesWritten;
    writeCycleRunning_ = true;
    writeCycleStart_ = clock_.milliseconds();
    writeCycleRefused_ = 0;
}

void SimulatedReaderDevice::finishWriteCycle()
{
    writeCycleRunning_ = false;
    if (file_)
        save();
}

void SimulatedReaderDevice::save()
{
    // saveImage replaces the old file in one step, so a crash never leaves half an image.
    try {
        saveImage(*file_, memory_);
        saveError_.clear();
        ++counters.fileSaves;
    } catch (const std::exception& e) {
        saveError_ = e.what();
    }
}

} // namespace kestrel
