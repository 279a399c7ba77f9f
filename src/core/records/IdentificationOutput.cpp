#include "core/records/IdentificationOutput.h"

#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"
#include "core/text/Cp1251.h"
#include "core/text/NumberFormat.h"

#include <algorithm>

namespace kestrel {

using namespace layout;

const std::array<ThresholdRange, 13> kThresholdRanges = {{{0, 100}, {0, 100}, {0, 125}, {0, 125}, {0, 125},
    {0, 125}, {0, 125}, {0, 50}, {0, 50}, {-100, 0}, {1000, 10000}, {100, 255}, {0, 255}}};

namespace {

constexpr std::size_t kAverTimeIndex = 10;
constexpr double kVoltsPerCount = 0.0048828125; // 5 V over 1024 converter counts

std::string stampedOperation(ConstBytes image, std::size_t stampAtOffset, std::size_t nameAt)
{
    return stampText(stampAt(image, stampAtOffset)) + " " + fixedText(image, nameAt, kOperatorNameLength);
}

bool twoSensorProgram(ConstBytes image) { return image[kProgramName] == '2'; }

void fillSettings(ConstBytes image, const DisplayLocale& locale, SettingsView& settings)
{
    const std::uint8_t switches = image[kSwitches];
    for (std::size_t bit = 0; bit < settings.switches.size(); ++bit)
        settings.switches[bit] = (switches >> bit) & 1U;

    for (std::size_t i = 0; i < kThresholdCount; ++i) {
        int value = readI16(image, kThresholds + 2 * i);
        if (i == kAverTimeIndex)
            value *= 40;
        settings.thresholds[i] = std::clamp(value, kThresholdRanges[i].minimum, kThresholdRanges[i].maximum);
    }

    for (std::size_t zone = 0; zone < kLoadCharacteristicZones; ++zone) {
        const std::size_t at = kLoadCharacteristic + 3 * zone;
        settings.vylet[zone] = {std::to_string(zone), std::to_string(readU16(image, at)), std::to_string(image[at + 2])};
    }

    const bool twoSensors = twoSensorProgram(image);
    for (std::size_t k = 0; k < 4 && k < settings.calibr.size(); ++k) {
        auto& sub = settings.calibr[k].subItems;
        sub.clear();
        if (twoSensors) {
            const double zero = k < 2 ? readI16(image, kNormalisation + 8 * k) * kVoltsPerCount : 0.0;
            const double nominal = k < 2 ? readI16(image, kNormalisation + 2 + 8 * k) * kVoltsPerCount : 0.0;
            sub = {formatFixed(zero, 2, locale), formatFixed(nominal, 2, locale), formatFixed(nominal - zero, 2, locale),
                ""};
        } else {
            const int zero = readI16(image, kNormalisation + 4 * k);
            const int nominal = readI16(image, kNormalisation + 2 + 4 * k);
            sub = {std::to_string(zero), std::to_string(nominal), std::to_string(nominal - zero),
                std::to_string(readI16(image, kSensorCurrent + 2 * k))};
        }
    }
}

} // namespace

std::string versionCaption(ConstBytes image)
{
    const auto name = image.subspan(kProgramName, kProgramNameLength);
    const auto zero = std::find(name.begin(), name.end(), std::uint8_t{0});
    const std::string visibleName = cp1251ToUtf8(std::string(name.begin(), zero));
    // The caption is drawn up to the first zero byte, so a short name hides the version.
    if (zero != name.end())
        return visibleName;
    return visibleName + " (версия " + std::to_string(readI8(image, kVersionMajor)) + "."
        + std::to_string(readI8(image, kVersionMinor)) + "." + std::to_string(readI8(image, kVersionBuild)) + ")";
}

void fillIdentification(ConstBytes image, DateTime periodStart, const DisplayLocale& locale,
    IdentificationView& id, SettingsView& settings)
{
    id.eMarka = fixedText(image, kCraneType, 32);
    id.eNumber = fixedText(image, kCraneSerial, 16);
    id.eYear = std::to_string(readI16(image, kCraneYear));
    id.eProd = fixedText(image, kCraneMaker, 64);
    id.eOwner = fixedText(image, kCraneOwner, 64);
    id.eSrok = std::to_string(readI8(image, kServiceLife));
    id.eSumGruz = formatGeneral(readFloat(image, kCraneCapacity), locale);
    id.eGruz1 = formatGeneral(readFloat(image, kWinch1Capacity), locale);
    id.eGruz2 = formatGeneral(readFloat(image, kWinch2Capacity), locale);
    id.eGroup = fixedText(image, kCraneGroup, 2);
    id.eEnter = fixedText(image, kInServiceDate, 20);
    id.eRegType = fixedText(image, kRecorderType, 32);
    id.eRegNum = fixedText(image, kRecorderSerial, 16);
    id.eRegProd = fixedText(image, kRecorderMaker, 64);
    // The date picker refuses a day number outside the calendar it can show.
    const DateTime installed = readI32(image, kInstallationDay);
    decodeDate(installed);
    id.eRegSetup = installed;
    id.eRegYear = std::to_string(readI16(image, kRecorderYear));
    id.eRegSetupName = fixedText(image, kInstalledBy, 64);
    id.eChangePassport = stampedOperation(image, kPassportChangeStamp, kPassportChangeOperator);
    id.eChangeRTC = stampedOperation(image, kClockSetStamp, kClockSetOperator);
    id.eDateCheck = stampText(stampAt(image, kReadingStamp));
    id.eStartDateCheck = formatShortDate(periodStart, locale);
    id.lVersion = versionCaption(image);
    id.eProgramChange = stampedOperation(image, kProgramChangeStamp, kProgramChangeOperator);
    fillSettings(image, locale, settings);
}

} // namespace kestrel
