#include "core/device/Clock.h"

#include <chrono>
#include <thread>

#include "core/device/WindowsApi.h"

namespace kestrel {

namespace {

#if defined(_WIN32)
// timeBeginPeriod/timeEndPeriod live in winmm.dll; looking them up at run time keeps
// the core free of an import library that not every toolchain links by itself.
using TimePeriodFn = UINT(WINAPI*)(UINT);

TimePeriodFn winmmFunction(const char* name)
{
    static HMODULE winmm = LoadLibraryA("winmm.dll");
    if (winmm == nullptr)
        return nullptr;
    return reinterpret_cast<TimePeriodFn>(reinterpret_cast<void*>(GetProcAddress(winmm, name)));
}
#endif

} // namespace

void SystemClock::sleepMs(std::uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::uint32_t SystemClock::milliseconds()
{
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    // Wraps like timeGetTime: only differences of two readings mean anything.
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms));
}

void SystemClock::beginHighResolution()
{
#if defined(_WIN32)
    if (const auto begin = winmmFunction("timeBeginPeriod"))
        begin(1);
#endif
}

void SystemClock::endHighResolution()
{
#if defined(_WIN32)
    if (const auto end = winmmFunction("timeEndPeriod"))
        end(1);
#endif
}

void SystemClock::busyLoop(std::int64_t iterations)
{
    // The volatile counter makes every round a load and a store, so the optimiser can
    // neither drop the loop nor fold it: the calibration and the bit delay pay the same.
    volatile std::int64_t i = 0;
    while (i < iterations)
        i = i + 1;
}

} // namespace kestrel
