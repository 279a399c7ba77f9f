#include "core/config/ConfigurationMemory.h"

#include "core/config/ConfigurationArea.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"

#include <algorithm>

namespace kestrel {

using namespace config_area;

namespace {

bool allZero(ConstBytes image, std::size_t first, std::size_t last)
{
    return std::all_of(image.begin() + static_cast<long>(first), image.begin() + static_cast<long>(last) + 1,
        [](std::uint8_t byte) { return byte == 0; });
}

std::string trimmedStamp(ConstBytes image, std::size_t offset)
{
    const StampBytes stamp = stampAt(image, offset);
    if (!stampIsValid(stamp))
        return {};
    std::string text = stampText(stamp);
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

} // namespace

std::optional<ConfigurationMemory> configurationMemoryOf(ConstBytes image)
{
    if (image.size() <= kArea.address + kArea.length - 1u)
        return std::nullopt;
    const std::uint8_t flags = image[kOperationFlags];
    if (flags != image[kOperationFlagsCopy] || (flags & 0xE0U) != 0 || image[kAccess.address] == 0)
        return std::nullopt;
    // Bytes that belong to no block: a write-back leaves them zero, a recorder does not
    // (its program name and version are always there).
    if (!allZero(image, 0x630, 0x634) || !allZero(image, 0x655, 0x65F) || !allZero(image, 0x6E0, 0x6EF)
        || !allZero(image, 0x6FA, 0x6FF))
        return std::nullopt;

    ConfigurationMemory memory;
    if ((flags & kFlagClock) != 0) {
        const std::string when = trimmedStamp(image, layout::kClockSetStamp);
        memory.operations.push_back(when.empty() ? "установка часов регистратора" : "установка часов регистратора на " + when);
    }
    if ((flags & kFlagIdentification) != 0)
        memory.operations.push_back("идентификационные данные (паспорт крана и данные регистратора)");
    if ((flags & kFlagNormalisation) != 0)
        memory.operations.push_back("нормировка датчиков");
    if ((flags & kFlagProgram) != 0)
        memory.operations.push_back("настройки программы микроконтроллера (пороги, грузовая характеристика)");
    if ((flags & kFlagErase) != 0)
        memory.operations.push_back("очистка данных регистратора");
    if (memory.operations.empty())
        memory.operations.push_back("только код доступа, без операций");

    for (const std::size_t at : {kClockOperator, layout::kPassportChangeOperator, kProgramOperator}) {
        memory.operatorName = fixedTextTrimmed(image, at, layout::kOperatorNameLength);
        if (!memory.operatorName.empty())
            break;
    }
    if ((flags & kFlagIdentification) != 0) {
        const std::string type = fixedTextTrimmed(image, layout::kRecorderType, 32);
        const std::string number = fixedTextTrimmed(image, layout::kRecorderSerial, 16);
        memory.recorder = type.empty() ? number : number.empty() ? type : type + " № " + number;
    }
    return memory;
}

std::string configurationMemoryMessage(
    const ConfigurationMemory& memory, const std::string& where, const std::string& consequence)
{
    std::string text = where + " содержит не считывание крана, а настройки, записанные для регистратора";
    if (!memory.recorder.empty())
        text += " " + memory.recorder;
    text += ":\n";
    for (const std::string& operation : memory.operations)
        text += "– " + operation + ";\n";
    const std::string who = memory.operatorName.empty() ? std::string("оператор не указан") : memory.operatorName;
    text += "Записал: " + who + (who.ends_with('.') ? "\n" : ".\n");
    return text + consequence;
}

} // namespace kestrel
