#include "core/config/Normalisation.h"
#include "core/config/NormalisationText.h"
#include "core/records/IdentificationOutput.h"
#include "support/ImageBuilder.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using namespace layout;

const DisplayLocale kC = DisplayLocale::c();
const DisplayLocale kRussian = DisplayLocale::russian();

std::optional<std::string> scaleFour(const char* zero, const char* nominal, const char* nom, const char* real)
{
    return scaledNominal(zero, nominal, nom, real, SensorLayout::FourSensors, kC);
}

TEST(Normalisation, ScalingWorksInSinglePrecisionAndTruncatesCounts)
{
    EXPECT_EQ(scaleFour("200", "1200", "10.00", "8.00"), "1450");
    EXPECT_EQ(scaleFour("200", "1203", "10.00", "3.00"), "3543");   // 3543.33
    EXPECT_EQ(scaleFour("200", "-1203", "10.00", "3.00"), "-4476"); // toward zero, not down
    EXPECT_EQ(scaledNominal("2,50", "4,00", "25,00", "20,00", SensorLayout::TwoSensors, kRussian), "4,38");
}

TEST(Normalisation, ScalingThatCannotBeDoneChangesNothing)
{
    EXPECT_EQ(scaleFour("200", "1200", "10.00", "0"), std::nullopt);
    EXPECT_EQ(scaleFour("200", "1200", "10.00", "0.00"), std::nullopt);
    EXPECT_EQ(scaleFour("200", "1200", "", "8.00"), std::nullopt);
    EXPECT_EQ(scaleFour("200", "x", "10.00", "8.00"), std::nullopt);
    EXPECT_EQ(scaleFour("200", "1200", "10,00", "8.00"), std::nullopt); // not this locale's separator
    EXPECT_EQ(scaleFour("0", "30000", "1e30", "1e-30"), std::nullopt); // no integer holds it
}

TEST(Normalisation, LeavingFourSensorFieldsKeepsSixteenBitCounts)
{
    const SensorRow sensor{"Датчик №1", "1", "2"};
    const SensorRow stored = storedSensor(sensor, "-32768", "32767", SensorLayout::FourSensors, kC);
    EXPECT_EQ(stored.caption, "Датчик №1");
    EXPECT_EQ(stored.zero, "-32768");
    EXPECT_EQ(stored.nominal, "32767");
    EXPECT_EQ(storedSensor(sensor, " 0x10", "$FF", SensorLayout::FourSensors, kC).zero, "16");
}

TEST(Normalisation, LeavingTwoSensorFieldsKeepsVoltsInTheLocale)
{
    const SensorRow sensor{"Датчик №1", "0,00", "0,00"};
    const SensorRow stored = storedSensor(sensor, "2,5", " 1,234 ", SensorLayout::TwoSensors, kRussian);
    EXPECT_EQ(stored.zero, "2,50");
    EXPECT_EQ(stored.nominal, "1,23");
    EXPECT_EQ(storedSensor(sensor, "2.5", "1", SensorLayout::TwoSensors, kC).zero, "2.50");
}

TEST(Normalisation, FieldsThatDoNotConvertSayWhichAndWhy)
{
    const SensorRow sensor{"Датчик №1", "1", "2"};
    auto messageOf = [&](const char* zero, const char* nominal, SensorLayout layout, const DisplayLocale& locale) {
        try {
            storedSensor(sensor, zero, nominal, layout, locale);
        } catch (const NormalisationError& error) {
            return std::string(error.what());
        }
        return std::string("converted");
    };
    EXPECT_EQ(messageOf("12a", "5", SensorLayout::FourSensors, kC), "Датчик №1, Qо: «12a» не является целым числом");
    EXPECT_EQ(messageOf("1", "", SensorLayout::FourSensors, kC), "Датчик №1, Qном: значение не введено");
    EXPECT_EQ(messageOf("99999999999", "1", SensorLayout::FourSensors, kC),
        "Датчик №1, Qо: «99999999999» не является целым числом");
    // What the 16-bit field cannot hold is refused with its range, never wrapped (99999 was -31073).
    EXPECT_EQ(messageOf("99999", "1", SensorLayout::FourSensors, kC),
        "Датчик №1, Qо: значение 99999 вне допустимого диапазона от -32768 до 32767");
    EXPECT_EQ(messageOf("1", "-32769", SensorLayout::FourSensors, kC),
        "Датчик №1, Qном: значение -32769 вне допустимого диапазона от -32768 до 32767");
    EXPECT_EQ(messageOf("2.50", "1", SensorLayout::TwoSensors, kRussian), "Датчик №1, Qо: «2.50» не является числом");
    EXPECT_EQ(messageOf("1", "inf", SensorLayout::TwoSensors, kC), "Датчик №1, Qном: «inf» не является числом");
    EXPECT_EQ(messageOf("1", "1,2,3", SensorLayout::TwoSensors, kRussian),
        "Датчик №1, Qном: «1,2,3» не является числом");
    EXPECT_EQ(messageOf("210", "1", SensorLayout::TwoSensors, kRussian),
        "Датчик №1, Qо: значение 210 В вне допустимого диапазона от -160,00 до 159,99 В");
    EXPECT_EQ(messageOf("159,99", "-160", SensorLayout::TwoSensors, kRussian), "converted");
}

TEST(Normalisation, ConfirmingAddsTheSpanOfEachSensor)
{
    const auto four = confirmedSensors(
        {{"Датчик №1", "200", "1450"}, {"Датчик №2", "-5", "32767"}}, SensorLayout::FourSensors, kC);
    ASSERT_EQ(four.size(), 2U);
    EXPECT_EQ(four[0].span, "1250");
    EXPECT_EQ(four[1].zero, "-5");
    EXPECT_EQ(four[1].nominal, "32767");
    EXPECT_EQ(four[1].span, "32772");

    const auto two = confirmedSensors(
        {{"Датчик №1", "0,50", "2,50"}, {"Датчик №2", "0,00", "0,00"}}, SensorLayout::TwoSensors, kRussian);
    ASSERT_EQ(two.size(), 2U);
    EXPECT_EQ(two[0].span, "2,00");
    EXPECT_EQ(two[1].span, "0,00");
}

TEST(Normalisation, ConfirmingStopsAtTheFirstSensorThatDoesNotConvert)
{
    const auto rows = confirmedSensors({{"Датчик №1", "1", "2"}, {"Датчик №2", "x", "2"}, {"Датчик №3", "1", "2"}},
        SensorLayout::FourSensors, kC);
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0].span, "1");
}

// What the identification output shows for a two-sensor recorder passes the window unchanged.
TEST(Normalisation, TwoSensorRowsFromAnImageSurviveTheWindow)
{
    for (const DisplayLocale& locale : {kC, kRussian}) {
        test::ImageBuilder b;
        b.text(kProgramName, kProgramNameLength, "2v1").i16(kNormalisation, 102).i16(kNormalisation + 2, 512);
        MainView view;
        fillIdentification(b.image, 0.0, locale, view.identification, view.settings);
        const auto& calibr = view.settings.calibr;
        const std::string volts = locale.decimalSeparator == ',' ? "2,50" : "2.50";
        ASSERT_EQ(calibr[0].subItems[1], volts);

        std::vector<SensorRow> sensors;
        for (const ListRow& row : calibr)
            sensors.push_back(storedSensor({row.caption, "", ""}, row.subItems[0], row.subItems[1],
                sensorLayoutOf(b.image), locale));
        const auto rows = confirmedSensors(sensors, sensorLayoutOf(b.image), locale);
        ASSERT_EQ(rows.size(), 4U);
        for (std::size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(rows[k].zero, calibr[k].subItems[0]);
            EXPECT_EQ(rows[k].nominal, calibr[k].subItems[1]);
            EXPECT_EQ(rows[k].span, calibr[k].subItems[2]);
        }
    }
}

} // namespace
} // namespace kestrel
