#include "core/config/AccessBlock.h"
#include "core/config/ClockBlock.h"
#include "core/config/ConfigurationError.h"
#include "core/config/ConfigurationMessages.h"
#include "core/config/IdentificationBlock.h"
#include "core/config/NormalisationBlock.h"
#include "core/config/ProgramBlock.h"
#include "core/config/TypedNumber.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/image/MemoryImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kestrel {
namespace {

using namespace layout;
namespace text = config_text;

std::vector<std::uint8_t> bytesAt(const MemoryImage& image, std::size_t at, std::size_t count)
{
    return {image.begin() + static_cast<long>(at), image.begin() + static_cast<long>(at + count)};
}

// The message a composer refuses with; empty when it composed.
template <typename Compose>
std::string refusal(Compose compose)
{
    try {
        compose();
    } catch (const ConfigurationError& e) {
        return e.what();
    }
    return {};
}

TEST(ClockBlock, PackedDigitsWithoutSecondsAndTheOperator)
{
    MemoryImage image{};
    composeClockBlock(image, {2026, 12, 31, 23, 59, 41}, "Петров");
    EXPECT_EQ(bytesAt(image, 0x60B, 5), (std::vector<std::uint8_t>{0x59, 0x23, 0x31, 0x12, 0x26}));
    EXPECT_EQ(fixedText(image, 0x610, 32), "Петров");
    EXPECT_EQ(image[0x6F8], 0x01);
    EXPECT_EQ(image[0x6F9], 0x01);

    composeClockBlock(image, {2000, 1, 1, 0, 0, 0}, "");
    EXPECT_EQ(image[0x60F], 0x00);
    composeClockBlock(image, {2100, 1, 1, 0, 0, 0}, "");
    EXPECT_EQ(image[0x60F], 0x00);

    EXPECT_EQ(refusal([&] { composeClockBlock(image, {2026, 2, 30, 12, 0, 0}, ""); }), text::kClockComposeFailed);
    EXPECT_EQ(refusal([&] { composeClockBlock(image, {2026, 2, 3, 24, 0, 0}, ""); }), text::kClockComposeFailed);
}

IdentificationTexts validPassport()
{
    IdentificationTexts t;
    t.eRegType = "РП-05";
    t.eRegNum = "1234";
    t.eRegYear = "2010";
    t.eRegSetup = 46000.75;
    t.eMarka = "КПП 16/20";
    t.eYear = "1987";
    t.eSrok = "25";
    t.eSumGruz = "12,5";
    t.eGruz1 = "16";
    t.eGruz2 = "0,5";
    t.eGroup = "А6";
    return t;
}

TEST(IdentificationBlock, FieldsAndTheirConversions)
{
    MemoryImage image{};
    std::fill(image.begin() + 0x700, image.begin() + 0x900, std::uint8_t{0xEE});
    beginIdentificationChange(image, "Иванов И.И.");
    auto t = validPassport();
    t.eRegType = std::string(32, 'R');
    t.eEnter = "Кран № 5 — «Север»"; // the dash and quotes exist in Windows-1251, the "№" too
    composeIdentificationBlock(image, t, DisplayLocale::russian());

    EXPECT_EQ(fixedText(image, 0x635, 32), "Иванов И.И.");
    EXPECT_EQ(image[0x6F8], 0x02);
    // A full recorder type runs straight into the serial number.
    EXPECT_EQ(bytesAt(image, 0x700, 32), std::vector<std::uint8_t>(32, 'R'));
    EXPECT_EQ(fixedText(image, 0x720, 16), "1234");
    EXPECT_EQ(readI16(image, 0x730), 2010);
    EXPECT_EQ(readI32(image, 0x772), 46000);
    EXPECT_EQ(readI16(image, 0x7E6), 1987);
    EXPECT_EQ(bytesAt(image, 0x828, 64), std::vector<std::uint8_t>(64, 0)); // empty owner
    EXPECT_EQ(readFloat(image, 0x868), 12.5f);
    EXPECT_EQ(readFloat(image, 0x86C), 16.0f);
    EXPECT_EQ(readFloat(image, 0x870), 0.5f);
    EXPECT_EQ(fixedText(image, 0x874, 2), "А6");
    EXPECT_EQ(image[0x876], 0x19);
    EXPECT_EQ(fixedText(image, 0x877, 20), "Кран № 5 — «Север»");
    EXPECT_EQ(bytesAt(image, 0x88B, 0x900 - 0x88B), std::vector<std::uint8_t>(0x900 - 0x88B, 0));
}

TEST(IdentificationBlock, EveryCheckWithItsBoundaries)
{
    const std::string serviceLifeRefused = std::string(text::kServiceLifeWrong) + "\nДопустимо от 0 до 127 лет.";
    struct Case {
        std::string IdentificationTexts::*field;
        std::string typed;
        std::string message; // empty: accepted
    };
    const std::vector<Case> cases = {
        {&IdentificationTexts::eRegYear, "1999", text::kRecorderYearWrong},
        {&IdentificationTexts::eRegYear, "2000", ""},
        {&IdentificationTexts::eRegYear, "2050", ""},
        {&IdentificationTexts::eRegYear, "2051", text::kRecorderYearWrong},
        {&IdentificationTexts::eRegYear, "$7DA", text::kRecorderYearWrong},
        {&IdentificationTexts::eYear, "1899", text::kCraneYearWrong},
        {&IdentificationTexts::eYear, "1900", ""},
        {&IdentificationTexts::eYear, "", text::kCraneYearWrong},
        {&IdentificationTexts::eSrok, "", serviceLifeRefused},
        {&IdentificationTexts::eSrok, "2,5", serviceLifeRefused},
        {&IdentificationTexts::eSrok, "127", ""},
        {&IdentificationTexts::eSrok, "128", serviceLifeRefused}, // the field is a signed byte
        {&IdentificationTexts::eSrok, "300", serviceLifeRefused}, // would come back as 44
        {&IdentificationTexts::eOwner, "ООО «Порт» №1 — юг", ""},
        {&IdentificationTexts::eOwner, "Порт ✓", "Поле «Владелец»: символ «✓» нельзя записать в регистратор "
                                                "(допустимы буквы, цифры и знаки кодировки Windows-1251)."},
        {&IdentificationTexts::eEnter, "2010 г. ½", "Поле «Дата ввода крана в эксплуатацию»: символ «½» нельзя "
                                                  "записать в регистратор (допустимы буквы, цифры и знаки "
                                                  "кодировки Windows-1251)."},
        {&IdentificationTexts::eSumGruz, "", text::kCraneCapacityWrong},
        {&IdentificationTexts::eSumGruz, "12.5", text::kCraneCapacityWrong}, // a point under a comma locale
        {&IdentificationTexts::eSumGruz, "1e40", text::kCraneCapacityWrong}, // beyond a float
        {&IdentificationTexts::eSumGruz, "inf", text::kCraneCapacityWrong},
        {&IdentificationTexts::eSumGruz, "12,3000001907349", ""},
        {&IdentificationTexts::eGruz1, "1,2,3", text::kWinch1CapacityWrong},
        {&IdentificationTexts::eGruz2, "т", text::kWinch2CapacityWrong},
    };
    for (const auto& c : cases) {
        MemoryImage image{};
        auto t = validPassport();
        t.*c.field = c.typed;
        EXPECT_EQ(refusal([&] { composeIdentificationBlock(image, t, DisplayLocale::russian()); }), c.message)
            << "text «" << c.typed << "»";
    }
}

TEST(IdentificationBlock, FieldsBeforeTheFirstRefusalStayInTheImage)
{
    MemoryImage image{};
    auto t = validPassport();
    t.eYear = "1899";
    EXPECT_EQ(refusal([&] { composeIdentificationBlock(image, t, DisplayLocale::russian()); }), text::kCraneYearWrong);
    EXPECT_EQ(fixedText(image, 0x7B6, 32), "КПП 16/20");
    EXPECT_EQ(readI16(image, 0x730), 2010);
    EXPECT_EQ(image[0x876], 0); // service life comes after the crane year
}


ServicePage programPage()
{
    ServicePage page;
    for (std::size_t zone = 0; zone < 16; ++zone)
        page.vylet[zone] = {std::to_string(100 * zone), std::to_string(zone)};
    page.vylet[0] = {"1200", "80"};
    return page;
}

TEST(ProgramBlock, SwitchesThresholdsAndCharacteristic)
{
    MemoryImage image{};
    image[0x660] = 0x42; // the change stamp is sent as the image holds it
    auto page = programPage();
    page.switches = {true, false, true, false, true};
    composeProgramBlock(image, page, "Сидоров");
    EXPECT_EQ(image[0x660], 0x42);
    EXPECT_EQ(fixedText(image, 0x665, 32), "Сидоров");
    EXPECT_EQ(image[0x6F8], 0x08);
    EXPECT_EQ(image[0x685], 0x15);
    EXPECT_EQ(bytesAt(image, 0x686, 4), (std::vector<std::uint8_t>{50, 0, 50, 0}));
    EXPECT_EQ(bytesAt(image, 0x698, 2), (std::vector<std::uint8_t>{0xFA, 0xFF})); // StopUnload −6
    EXPECT_EQ(bytesAt(image, 0x69A, 2), (std::vector<std::uint8_t>{25, 0}));      // AverTime 1000 ms
    EXPECT_EQ(bytesAt(image, 0x6A0, 3), (std::vector<std::uint8_t>{0xB0, 0x04, 0x50}));
    EXPECT_EQ(readU16(image, 0x6A0 + 3 * 15), 1500);
    EXPECT_EQ(image[0x6A2 + 3 * 15], 15);

    page.thresholds[10] = "1090";
    composeProgramBlock(image, page, "");
    EXPECT_EQ(readI16(image, 0x69A), 27);
}

TEST(ProgramBlock, SpinTextsReadAsTheSpinEditHoldsThem)
{
    MemoryImage image{};
    auto page = programPage();
    page.thresholds[0] = "abc"; // not an integer: the minimum
    page.thresholds[2] = "300"; // beyond the range: its bound
    page.thresholds[11] = "";
    composeProgramBlock(image, page, "");
    EXPECT_EQ(readI16(image, 0x686), 0);
    EXPECT_EQ(readI16(image, 0x68A), 125);
    EXPECT_EQ(readI16(image, 0x69C), 100);
    EXPECT_EQ(page.thresholds[0], "0");
    EXPECT_EQ(page.thresholds[2], "125");
    EXPECT_EQ(page.thresholds[11], "100");
}

TEST(ProgramBlock, ACharacteristicCellThatIsNoIntegerIsRefused)
{
    MemoryImage image{};
    auto page = programPage();
    page.vylet[3][1] = "8,5";
    EXPECT_EQ(refusal([&] { composeProgramBlock(image, page, ""); }),
        std::string(text::kCharacteristicComposeFailed) + "\nЗона 4, «Нагрузка, %»: «8,5» не является целым числом");
    EXPECT_EQ(readU16(image, 0x6A0 + 9), 300); // the zone's code went in before its load failed

    // What the block's fields cannot hold is refused, never wrapped.
    page = programPage();
    page.vylet[5][1] = "256";
    EXPECT_EQ(refusal([&] { composeProgramBlock(image, page, ""); }),
        std::string(text::kCharacteristicComposeFailed)
            + "\nЗона 6, «Нагрузка, %»: значение 256 вне допустимого диапазона от 0 до 255");
    page = programPage();
    page.vylet[15] = {"65535", "255"};
    EXPECT_EQ(refusal([&] { composeProgramBlock(image, page, ""); }), "");
    EXPECT_EQ(readU16(image, 0x6A0 + 45), 65535);
    page.vylet[15][0] = "-1";
    EXPECT_EQ(refusal([&] { composeProgramBlock(image, page, ""); }),
        std::string(text::kCharacteristicComposeFailed)
            + "\nЗона 16, «Код датчика»: значение -1 вне допустимого диапазона от 0 до 65535");
}

TEST(NormalisationBlock, FourSensorsAsSixteenBitIntegers)
{
    MemoryImage image{};
    std::fill(image.begin() + 0x6D0, image.begin() + 0x6E0, std::uint8_t{0xEE});
    const CalibrationTexts calibr = {{{"210", "850"}, {"-5", "-32768"}, {"$10", "0"}, {"0", "32767"}}};
    composeNormalisationBlock(image, calibr, DisplayLocale::russian());
    EXPECT_EQ(readI16(image, 0x6D0), 210);
    EXPECT_EQ(readI16(image, 0x6D2), 850);
    EXPECT_EQ(readI16(image, 0x6D4), -5);
    EXPECT_EQ(readI16(image, 0x6D6), -32768);
    EXPECT_EQ(readI16(image, 0x6D8), 16);
    EXPECT_EQ(readI16(image, 0x6DE), 32767);
    EXPECT_EQ(image[0x6F8], 0x10);

    const CalibrationTexts bad = {{{"210", "850"}, {"1,5", "0"}, {"0", "0"}, {"0", "0"}}};
    EXPECT_EQ(refusal([&] { composeNormalisationBlock(image, bad, DisplayLocale::russian()); }),
        "Нормировка датчиков не записана.\nДатчик №2, Qo: «1,5» не является целым числом");
    // 99999 used to arrive as -31073.
    const CalibrationTexts huge = {{{"210", "850"}, {"0", "99999"}, {"0", "0"}, {"0", "0"}}};
    EXPECT_EQ(refusal([&] { composeNormalisationBlock(image, huge, DisplayLocale::russian()); }),
        "Нормировка датчиков не записана.\nДатчик №2, Qном: значение 99999 вне допустимого диапазона от -32768 до "
        "32767");
}

TEST(NormalisationBlock, TwoSensorVoltsBackToCounts)
{
    MemoryImage image{};
    putFixedText(image, kProgramName, 8, "2П-01");
    writeI16(image, 0x6D0, 205);  // 1,00 V shown; 1,0009765625 V in truth
    writeI16(image, 0x6D2, 1000); // 4,88 V shown
    writeI16(image, 0x6D8, 3);
    writeI16(image, 0x6DA, 7);
    writeI16(image, 0x6D4, 99); // nothing of the layout: cleared
    const CalibrationTexts calibr = {{{"1,00", "4,50"}, {"0,01", "0,04"}, {"0,00", "0,00"}, {"0,00", "0,00"}}};
    composeNormalisationBlock(image, calibr, DisplayLocale::russian());
    EXPECT_EQ(readI16(image, 0x6D0), 205);        // untouched text keeps the count behind it
    EXPECT_EQ(readI16(image, 0x6D2), 922);        // 4,5 × 204,8 = 921,6
    EXPECT_EQ(readI16(image, 0x6D8), 3);          // 0,01 is what 3 counts show
    EXPECT_EQ(readI16(image, 0x6DA), 8);          // 0,04 was 0,03: 8,192 counts
    EXPECT_EQ(readI16(image, 0x6D4), 0);
    EXPECT_EQ(image[0x6F8], 0x10);

    // Beyond what 16 bits of counts hold: said so, not "no number".
    const CalibrationTexts tooHigh = {{{"210", "0"}, {"0", "0"}, {"0", "0"}, {"0", "0"}}};
    EXPECT_EQ(refusal([&] { composeNormalisationBlock(image, tooHigh, DisplayLocale::russian()); }),
        "Нормировка датчиков не записана.\nДатчик №1, Qo: значение 210 В вне допустимого диапазона от -160,00 до "
        "159,99 В");
}

TEST(AccessBlock, TheCodeIsCutToItsEightBytes)
{
    MemoryImage image{};
    addOperationFlag(image, 0x01);
    addOperationFlag(image, 0x10);
    composeAccessBlock(image, "*123456789*");
    EXPECT_EQ(fixedText(image, 0x6F0, 8), "*1234567");
    EXPECT_EQ(image[0x6F8], 0x11);
    EXPECT_EQ(image[0x6F9], 0x11);
    composeAccessBlock(image, "ab");
    EXPECT_EQ(bytesAt(image, 0x6F0, 8), (std::vector<std::uint8_t>{'a', 'b', 0, 0, 0, 0, 0, 0}));
}

} // namespace
} // namespace kestrel
