#pragma once

#include "core/demo/DemoImage.h"
#include "core/device/FakeClock.h"
#include "core/device/sim/SimulatedLptPort.h"
#include "core/device/sim/SimulatedReaderDevice.h"
#include "TestBusMaster.h"

namespace kestrel::test {

// The simulated reader device on LPT1, virtual time, and a test master on its pins.
struct SimulatedRig {
    explicit SimulatedRig(SimulatedFaults faults = {}) : device(initial, faults, clock) {}

    // Lets the write cycle of the last page run out.
    void waitWriteCycle() { clock.advanceMs(device.writeCycleMs + 1.0); }

    FakeClock clock;
    MemoryImage initial = makeDemoImage(1);
    SimulatedReaderDevice device;
    SimulatedLptPort port{0x378, device};
    TestBusMaster master{port, 0x378};
};

} // namespace kestrel::test
