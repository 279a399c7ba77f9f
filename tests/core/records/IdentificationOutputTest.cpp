#include "core/records/IdentificationOutput.h"
#include "support/ImageBuilder.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::ImageBuilder;
using namespace layout;

ImageBuilder passport()
{
    ImageBuilder b;
    b.text(kCraneType, 32, "КПП 16/20").text(kCraneSerial, 16, "1234").i16(kCraneYear, 1987);
    b.text(kCraneOwner, 64, "Порт").byte(kServiceLife, 25).capacities(12.3f, 16.0f, 0.5f);
    b.text(kCraneGroup, 2, "А6").text(kRecorderSerial, 16, "77").i32(kInstallationDay, 46000);
    b.stamp(kReadingStamp, 30, 14, 7, 12, 26).stamp(kClockSetStamp, 5, 9, 1, 2, 25);
    b.text(kClockSetOperator, 32, "Иванов");
    return b;
}

TEST(IdentificationOutput, FieldsAndTheirForms)
{
    auto b = passport();
    IdentificationView id;
    SettingsView settings;
    fillIdentification(b.image, 46000.0, DisplayLocale::russian(), id, settings);
    EXPECT_EQ(id.eMarka, "КПП 16/20");
    EXPECT_EQ(id.eYear, "1987");
    EXPECT_EQ(id.eSrok, "25");
    EXPECT_EQ(id.eSumGruz, "12,3000001907349");
    EXPECT_EQ(id.eGruz1, "16");
    EXPECT_EQ(id.eGruz2, "0,5");
    EXPECT_EQ(id.eGroup, "А6");
    EXPECT_EQ(id.eRegSetup, 46000.0);
    EXPECT_EQ(id.eDateCheck, "07.12.2026 14:30 ");
    EXPECT_EQ(id.eChangeRTC, "01.02.2025 09:05  Иванов");
    EXPECT_EQ(id.eChangePassport, " "); // absent stamp, empty name
    EXPECT_EQ(id.eStartDateCheck, "09.12.2025");
}

TEST(IdentificationOutput, VersionCaptionEndsAtTheNameZeroByte)
{
    ImageBuilder b;
    b.text(kProgramName, 8, "2П-01.05").byte(kVersionMajor, 1).byte(kVersionMinor, 2).byte(kVersionBuild, 0xFF);
    EXPECT_EQ(versionCaption(b.image), "2П-01.05 (версия 1.2.-1)");
    b.text(kProgramName, 8, "ПП-20");
    EXPECT_EQ(versionCaption(b.image), "ПП-20");
}

TEST(IdentificationOutput, BadInstallationDayStopsTheOutputThere)
{
    auto b = passport();
    b.i32(kInstallationDay, 0x7FFFFFFF);
    IdentificationView id;
    id.eRegYear = "old";
    id.lVersion = "old";
    SettingsView settings;
    settings.thresholds[0] = 99;
    EXPECT_ANY_THROW(fillIdentification(b.image, 46000.0, DisplayLocale::c(), id, settings));
    EXPECT_EQ(id.eRegNum, "77");     // before the date picker
    EXPECT_EQ(id.eRegYear, "old");   // after it
    EXPECT_EQ(id.lVersion, "old");
    EXPECT_EQ(settings.thresholds[0], 99);
}

TEST(IdentificationOutput, SettingsPageClampsThresholdsAndReadsTheCharacteristic)
{
    ImageBuilder b;
    b.byte(kSwitches, 0x15);
    b.i16(kThresholds + 0, 300);         // LowSpeed1 above 100
    b.i16(kThresholds + 2 * 9, -200);    // StopUnload below -100
    b.i16(kThresholds + 2 * 10, 50);     // AverTime 50 * 40 ms
    b.i16(kThresholds + 2 * 11, 20);     // StopSens below 100
    b.i16(kLoadCharacteristic + 3 * 15, static_cast<std::int16_t>(0xFFFE)).byte(kLoadCharacteristic + 3 * 15 + 2, 90);
    IdentificationView id;
    SettingsView s;
    fillIdentification(b.image, 0.0, DisplayLocale::c(), id, s);
    EXPECT_EQ(s.switches, (std::array<bool, 5>{true, false, true, false, true}));
    EXPECT_EQ(s.thresholds[0], 100);
    EXPECT_EQ(s.thresholds[9], -100);
    EXPECT_EQ(s.thresholds[10], 2000);
    EXPECT_EQ(s.thresholds[11], 100);
    EXPECT_EQ(s.vylet[15], (std::array<std::string, 3>{"15", "65534", "90"}));
    EXPECT_EQ(s.vylet[0], (std::array<std::string, 3>{"0", "0", "0"}));
}

TEST(IdentificationOutput, SensorRowsByProgramLayout)
{
    ImageBuilder four;
    four.text(kProgramName, 8, "ПП-2000").i16(kNormalisation + 4, 100).i16(kNormalisation + 6, 900);
    four.i16(kSensorCurrent + 2, 345);
    IdentificationView id;
    SettingsView s;
    fillIdentification(four.image, 0.0, DisplayLocale::c(), id, s);
    EXPECT_EQ(s.calibr[1].caption, "Датчик №2");
    EXPECT_EQ(s.calibr[1].subItems, (std::vector<std::string>{"100", "900", "800", "345"}));

    ImageBuilder two;
    two.text(kProgramName, 8, "2П").i16(kNormalisation + 8, 205).i16(kNormalisation + 10, 820);
    fillIdentification(two.image, 0.0, DisplayLocale::russian(), id, s);
    EXPECT_EQ(s.calibr[1].subItems, (std::vector<std::string>{"1,00", "4,00", "3,00", ""}));
    EXPECT_EQ(s.calibr[3].subItems, (std::vector<std::string>{"0,00", "0,00", "0,00", ""}));
}

} // namespace
} // namespace kestrel
