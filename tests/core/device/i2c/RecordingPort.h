#pragma once

#include "core/device/PortAccess.h"

#include <cstdint>
#include <vector>

namespace kestrel::test {

// A port that records every byte written to the data register and answers status
// reads from a small line model: open-drain SDA and SCL, released by the master
// (data bits 4 and 5 clear) and pulled low by a scripted device.
class RecordingPort : public PortAccess {
public:
    static constexpr std::uint16_t kBase = 0x378;

    std::vector<std::uint8_t> dataWrites;
    int statusReads = 0;

    // The device holds SDA low for good, or until this many SCL falling edges.
    bool sdaHeldLow = false;
    int sdaLowForClocks = 0;
    // After each release of SCL the device keeps it low for this many status reads.
    int stretchReads = 0;

    std::uint8_t GetPortByte(std::uint16_t port) override
    {
        if (port != kBase + 1)
            return 0xFF;
        ++statusReads;
        const bool sda = !masterSdaLow() && !deviceSdaLow();
        bool scl = !masterSclLow();
        if (scl && stretchLeft_ > 0) {
            --stretchLeft_;
            scl = false;
        }
        // Bits 3-5 of an idle port read high; BUSY (bit 7) comes inverted.
        std::uint8_t status = 0x38;
        if (sda)
            status |= 0x40;
        if (!scl)
            status |= 0x80;
        return status;
    }

    void WritePortByte(std::uint16_t port, std::uint8_t value) override
    {
        if (port != kBase)
            return;
        const bool wasSclLow = masterSclLow();
        latch_ = value;
        dataWrites.push_back(value);
        if (!wasSclLow && masterSclLow() && sdaLowForClocks > 0)
            --sdaLowForClocks;
        if (wasSclLow && !masterSclLow())
            stretchLeft_ = stretchReads;
    }

    // SDA as the master drove it at each rising SCL edge (1 = released).
    std::vector<int> sdaAtClockRises() const
    {
        std::vector<int> bits;
        std::uint8_t previous = 0x20;
        for (const auto value : dataWrites) {
            if ((previous & 0x20) && !(value & 0x20))
                bits.push_back((value & 0x10) ? 0 : 1);
            previous = value;
        }
        return bits;
    }
    int sclPulses() const
    {
        int pulses = 0;
        std::uint8_t previous = 0x20;
        for (const auto value : dataWrites) {
            if (!(previous & 0x20) && (value & 0x20))
                ++pulses;
            previous = value;
        }
        return pulses;
    }
    std::uint8_t latch() const { return latch_; }

private:
    bool masterSdaLow() const { return (latch_ & 0x10) != 0; }
    bool masterSclLow() const { return (latch_ & 0x20) != 0; }
    bool deviceSdaLow() const { return sdaHeldLow || sdaLowForClocks > 0; }

    std::uint8_t latch_ = 0;
    int stretchLeft_ = 0;
};

} // namespace kestrel::test
