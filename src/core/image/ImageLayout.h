#pragma once

#include <cstddef>

// Every offset and length of the recorder memory map, in one place.
namespace kestrel::layout {

inline constexpr std::size_t kSpectrumBuckets = 170;
inline constexpr std::size_t kWinch1Spectrum = 0x000;
inline constexpr std::size_t kWinch2Spectrum = 0x200;
inline constexpr std::size_t kTripRingIndex = 0x1FE;
inline constexpr std::size_t kCycleRingIndex = 0x1FF;
inline constexpr std::size_t kOplogWritePosition = 0x3FE;

inline constexpr std::size_t kRingSlots = 32;
inline constexpr std::size_t kRecordSize = 8;
inline constexpr std::size_t kCycleRing = 0x400;
inline constexpr std::size_t kTripRing = 0x500;

inline constexpr std::size_t kStampSize = 5;
inline constexpr std::size_t kMotorMinutes = 0x600;
inline constexpr std::size_t kLimiterTrips = 0x603;
inline constexpr std::size_t kReadingStamp = 0x606;
inline constexpr std::size_t kClockSetStamp = 0x60B;
inline constexpr std::size_t kClockSetOperator = 0x610;
inline constexpr std::size_t kPassportChangeStamp = 0x630;
inline constexpr std::size_t kPassportChangeOperator = 0x635;
inline constexpr std::size_t kProgramName = 0x655;
inline constexpr std::size_t kProgramNameLength = 8;
inline constexpr std::size_t kVersionMajor = 0x65D;
inline constexpr std::size_t kVersionMinor = 0x65E;
inline constexpr std::size_t kVersionBuild = 0x65F;
inline constexpr std::size_t kProgramChangeStamp = 0x660;
inline constexpr std::size_t kProgramChangeOperator = 0x665;
inline constexpr std::size_t kOperatorNameLength = 32;
inline constexpr std::size_t kSwitches = 0x685;
inline constexpr std::size_t kThresholds = 0x686;
inline constexpr std::size_t kThresholdCount = 13;
inline constexpr std::size_t kCycleStartThreshold = 0x694;
inline constexpr std::size_t kLoadCharacteristic = 0x6A0;
inline constexpr std::size_t kLoadCharacteristicZones = 16;
inline constexpr std::size_t kNormalisation = 0x6D0;
inline constexpr std::size_t kSensorCurrent = 0x6E0;
inline constexpr std::size_t kAccessCode = 0x6F0;
inline constexpr std::size_t kOperationFlags = 0x6F8;

inline constexpr std::size_t kIdentification = 0x700;
inline constexpr std::size_t kIdentificationSize = 0x200;
inline constexpr std::size_t kRecorderType = 0x700;       // 32
inline constexpr std::size_t kRecorderSerial = 0x720;     // 16
inline constexpr std::size_t kRecorderYear = 0x730;       // i16
inline constexpr std::size_t kRecorderMaker = 0x732;      // 64
inline constexpr std::size_t kInstallationDay = 0x772;    // i32
inline constexpr std::size_t kInstalledBy = 0x776;        // 64
inline constexpr std::size_t kCraneType = 0x7B6;          // 32
inline constexpr std::size_t kCraneSerial = 0x7D6;        // 16
inline constexpr std::size_t kCraneYear = 0x7E6;          // i16
inline constexpr std::size_t kCraneMaker = 0x7E8;         // 64
inline constexpr std::size_t kCraneOwner = 0x828;         // 64
inline constexpr std::size_t kCraneCapacity = 0x868;      // float
inline constexpr std::size_t kWinch1Capacity = 0x86C;     // float
inline constexpr std::size_t kWinch2Capacity = 0x870;     // float
inline constexpr std::size_t kCraneGroup = 0x874;         // 2
inline constexpr std::size_t kServiceLife = 0x876;        // i8
inline constexpr std::size_t kInServiceDate = 0x877;      // 20

inline constexpr std::size_t kOplog = 0x900;
inline constexpr std::size_t kOplogSize = 0x7700;

} // namespace kestrel::layout
