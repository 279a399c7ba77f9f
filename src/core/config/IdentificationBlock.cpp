#include "core/config/IdentificationBlock.h"

#include "core/config/AccessBlock.h"
#include "core/config/ConfigurationArea.h"
#include "core/config/ConfigurationError.h"
#include "core/config/ConfigurationMessages.h"
#include "core/config/TypedNumber.h"
#include "core/image/DateTime.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/text/Cp1251.h"

#include <algorithm>
#include <cmath>

namespace kestrel {

using namespace layout;
namespace text = config_text;

namespace {

std::int16_t yearWithin(std::string_view typed, int first, int last, const char* message)
{
    const auto year = parseDecimalInteger(typed);
    if (!year || *year < first || *year > last)
        throw ConfigurationError(message);
    return static_cast<std::int16_t>(*year);
}

void putCapacity(MutableBytes image, std::size_t at, std::string_view typed, const DisplayLocale& locale,
    const char* message)
{
    const auto capacity = parseDecimalFloat(typed, locale);
    if (!capacity)
        throw ConfigurationError(message);
    writeFloat(image, at, *capacity);
}

// The picker's date-time value truncated to whole days, as the block keeps it. A
// picker holds the dates of years 1..9999 only; anything else is no date at all.
std::int32_t installationDay(DateTime value)
{
    try {
        decodeDate(value);
    } catch (const DateConversionError&) {
        throw ConfigurationError(text::kInstallationDateWrong);
    }
    return static_cast<std::int32_t>(std::trunc(value));
}

} // namespace

void beginIdentificationChange(MutableBytes image, std::string_view operatorName)
{
    putFixedText(image, kPassportChangeOperator, kOperatorNameLength, operatorName);
    const auto block = image.subspan(kIdentification, kIdentificationSize);
    std::fill(block.begin(), block.end(), std::uint8_t{0});
    addOperationFlag(image, config_area::kFlagIdentification);
}

void checkIdentificationTexts(const IdentificationTexts& t)
{
    const std::pair<const std::string*, const char*> fields[] = {{&t.eRegType, "Тип РП"},
        {&t.eRegNum, "Зав. номер РП"}, {&t.eRegProd, "Изготовитель РП"}, {&t.eRegSetupName, "Установщик"},
        {&t.eMarka, "Тип крана"}, {&t.eNumber, "Зав. номер крана"}, {&t.eProd, "Изготовитель крана"},
        {&t.eOwner, "Владелец"}, {&t.eGroup, "Группа классификации крана"},
        {&t.eEnter, "Дата ввода крана в эксплуатацию"}};
    for (const auto& [typed, name] : fields) {
        // The recorder keeps Windows-1251: a character outside it would arrive as "?".
        const std::string kept = cp1251ToUtf8(utf8ToCp1251(*typed));
        if (kept == *typed)
            continue;
        std::size_t at = 0;
        while (at < kept.size() && at < typed->size() && kept[at] == (*typed)[at])
            ++at;
        // The first character that differs, whole (its UTF-8 bytes).
        std::size_t end = at + 1;
        while (end < typed->size() && (static_cast<unsigned char>((*typed)[end]) & 0xC0U) == 0x80U)
            ++end;
        throw ConfigurationError(std::string("Поле «") + name + "»: символ «" + typed->substr(at, end - at)
            + "» нельзя записать в регистратор (допустимы буквы, цифры и знаки кодировки Windows-1251).");
    }
}

void composeIdentificationBlock(MutableBytes image, const IdentificationTexts& t, const DisplayLocale& locale)
{
    checkIdentificationTexts(t);
    putFixedText(image, kRecorderType, 32, t.eRegType);
    putFixedText(image, kRecorderSerial, 16, t.eRegNum);
    putFixedText(image, kRecorderMaker, 64, t.eRegProd);
    writeI32(image, kInstallationDay, installationDay(t.eRegSetup));
    writeI16(image, kRecorderYear, yearWithin(t.eRegYear, 2000, 2050, text::kRecorderYearWrong));
    putFixedText(image, kInstalledBy, 64, t.eRegSetupName);
    putFixedText(image, kCraneType, 32, t.eMarka);
    putFixedText(image, kCraneSerial, 16, t.eNumber);
    writeI16(image, kCraneYear, yearWithin(t.eYear, 1900, 2050, text::kCraneYearWrong));
    putFixedText(image, kCraneMaker, 64, t.eProd);
    putFixedText(image, kCraneOwner, 64, t.eOwner);

    // The field is a signed byte: a longer life would come back as another number.
    const auto serviceLife = parseDecimalInteger(t.eSrok);
    if (!serviceLife || *serviceLife < 0 || *serviceLife > kLongestServiceLife)
        throw ConfigurationError(std::string(text::kServiceLifeWrong) + "\nДопустимо от 0 до "
            + std::to_string(kLongestServiceLife) + " лет.");
    image[kServiceLife] = static_cast<std::uint8_t>(*serviceLife);

    putFixedText(image, kCraneGroup, 2, t.eGroup);
    putFixedText(image, kInServiceDate, 20, t.eEnter);
    putCapacity(image, kCraneCapacity, t.eSumGruz, locale, text::kCraneCapacityWrong);
    putCapacity(image, kWinch1Capacity, t.eGruz1, locale, text::kWinch1CapacityWrong);
    putCapacity(image, kWinch2Capacity, t.eGruz2, locale, text::kWinch2CapacityWrong);
}

} // namespace kestrel
