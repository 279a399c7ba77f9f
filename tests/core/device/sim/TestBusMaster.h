#pragma once

#include "core/device/PortAccess.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace kestrel::test {

// A plain bit-level I2C master over the data and status registers of a parallel
// port, independent of the program's own bus master, for driving the simulated device.
class TestBusMaster {
public:
    TestBusMaster(PortAccess& port, std::uint16_t base) : port_(port), base_(base) {}

    int maxStretchPolls = 0; // most status reads one clock release had to wait for

    bool sda() { return (status() & 0x40) != 0; }
    bool scl() { return (status() & 0x80) == 0; }

    void sdaHigh() { drive(sclLow_, false); }
    void sdaLow() { drive(sclLow_, true); }
    void sclLow() { drive(true, sdaLow_); }
    // Releases SCL and waits while a device stretches it.
    void sclHigh()
    {
        drive(false, sdaLow_);
        int polls = 0;
        while (!scl()) {
            if (++polls > 10000)
                throw std::runtime_error("SCL held low");
        }
        if (polls > maxStretchPolls)
            maxStretchPolls = polls;
    }
    void clockPulse()
    {
        sclHigh();
        sclLow();
    }

    void start()
    {
        sdaHigh();
        sclHigh();
        sdaLow();
        sclLow();
    }
    void stop()
    {
        sclLow();
        sdaLow();
        sclHigh();
        sdaHigh();
    }
    // Eight bits out, then the receiver's acknowledge.
    bool writeByte(std::uint8_t value)
    {
        for (int bit = 7; bit >= 0; --bit) {
            if ((value >> bit) & 1)
                sdaHigh();
            else
                sdaLow();
            clockPulse();
        }
        sdaHigh();
        sclHigh();
        const bool acknowledged = !sda();
        sclLow();
        return acknowledged;
    }
    std::uint8_t readByte(bool acknowledge)
    {
        sdaHigh();
        std::uint8_t value = 0;
        for (int bit = 7; bit >= 0; --bit) {
            sclHigh();
            if (sda())
                value = static_cast<std::uint8_t>(value | (1u << bit));
            sclLow();
        }
        if (acknowledge)
            sdaLow();
        clockPulse();
        sdaHigh();
        return value;
    }

    // The memory transactions of the reader device.
    bool addressAcknowledged()
    {
        start();
        const bool acknowledged = writeByte(0xAE);
        stop();
        return acknowledged;
    }
    bool setAddress(std::uint16_t address)
    {
        start();
        return writeByte(0xAE) && writeByte(static_cast<std::uint8_t>(address >> 8)) &&
            writeByte(static_cast<std::uint8_t>(address & 0xFF));
    }
    // Random read: address set by a write, then a repeated start into the read.
    std::vector<std::uint8_t> read(std::uint16_t address, std::size_t count)
    {
        if (!setAddress(address)) {
            stop();
            throw std::runtime_error("address not acknowledged");
        }
        start();
        if (!writeByte(0xAF)) {
            stop();
            throw std::runtime_error("read address not acknowledged");
        }
        return readOn(count);
    }
    // Read from wherever the device's address counter stands.
    std::vector<std::uint8_t> readCurrent(std::size_t count)
    {
        start();
        if (!writeByte(0xAF)) {
            stop();
            throw std::runtime_error("read address not acknowledged");
        }
        return readOn(count);
    }
    // One transaction: address, data, stop. True when every byte was acknowledged.
    bool write(std::uint16_t address, const std::vector<std::uint8_t>& data)
    {
        bool acknowledged = setAddress(address);
        for (std::size_t i = 0; acknowledged && i < data.size(); ++i)
            acknowledged = writeByte(data[i]);
        stop();
        return acknowledged;
    }

private:
    std::vector<std::uint8_t> readOn(std::size_t count)
    {
        std::vector<std::uint8_t> bytes;
        for (std::size_t i = 0; i < count; ++i)
            bytes.push_back(readByte(i + 1 < count));
        stop();
        return bytes;
    }
    void drive(bool sclLow, bool sdaLow)
    {
        sclLow_ = sclLow;
        sdaLow_ = sdaLow;
        port_.WritePortByte(base_, static_cast<std::uint8_t>((sclLow ? 0x20 : 0) | (sdaLow ? 0x10 : 0)));
    }
    std::uint8_t status() { return port_.GetPortByte(static_cast<std::uint16_t>(base_ + 1)); }

    PortAccess& port_;
    std::uint16_t base_;
    bool sclLow_ = false;
    bool sdaLow_ = false;
};

} // namespace kestrel::test
