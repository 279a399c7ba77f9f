#include "cli/WriteConfigOptions.h"

#include "cli/CommandOptions.h"
#include "core/image/DataFile.h"
#include "core/image/DateTime.h"
#include "core/records/IdentificationOutput.h"
#include "core/view/MainView.h"

#include <cerrno>
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>

namespace kestrel::cli {

namespace {

using Json = nlohmann::json;

// A number of `minDigits`..`maxDigits` decimal digits, the whole piece.
std::optional<int> digits(std::string_view piece, std::size_t minDigits, std::size_t maxDigits)
{
    if (piece.size() < minDigits || piece.size() > maxDigits)
        return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(piece.data(), piece.data() + piece.size(), value);
    if (error != std::errc{} || end != piece.data() + piece.size())
        return std::nullopt;
    return value;
}

// Splits at every `separator`.
std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> pieces;
    std::size_t begin = 0;
    for (std::size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator, begin)) {
        pieces.push_back(text.substr(begin, at - begin));
        begin = at + 1;
    }
    pieces.push_back(text.substr(begin));
    return pieces;
}

// "dd.MM.yyyy", a date that exists; nullopt otherwise.
std::optional<CalendarDate> parseDate(std::string_view text)
{
    const auto parts = split(text, '.');
    if (parts.size() != 3)
        return std::nullopt;
    const auto day = digits(parts[0], 1, 2);
    const auto month = digits(parts[1], 1, 2);
    const auto year = digits(parts[2], 4, 4);
    if (!day || !month || !year || *year < 1)
        return std::nullopt;
    try {
        (void)encodeDateTime(*year, *month, *day, 0, 0);
    } catch (const DateConversionError&) {
        return std::nullopt;
    }
    return CalendarDate{*year, *month, *day};
}

// A text of the document: a JSON string, or an integer written as its decimal text.
std::string textValue(const Json& value, const std::string& where)
{
    if (value.is_string())
        return value.get<std::string>();
    if (value.is_number_integer())
        return value.dump();
    throw UsageError(where + ": ожидается текст (строка в кавычках), а не " + value.dump());
}

const Json& objectOf(const Json& document, const std::string& option)
{
    if (!document.is_object())
        throw UsageError(option + ": ожидается объект JSON { \"имя элемента\": значение, ... }");
    return document;
}

struct TextControl {
    const char* name;
    std::string IdentificationTexts::*field;
    std::size_t inputLimit; // 0: a number field, checked by the write-back
};

constexpr TextControl kTextControls[] = {
    {"eRegType", &IdentificationTexts::eRegType, 32},
    {"eRegNum", &IdentificationTexts::eRegNum, 16},
    {"eRegYear", &IdentificationTexts::eRegYear, 0},
    {"eRegProd", &IdentificationTexts::eRegProd, 64},
    {"eRegSetupName", &IdentificationTexts::eRegSetupName, 64},
    {"eMarka", &IdentificationTexts::eMarka, 32},
    {"eNumber", &IdentificationTexts::eNumber, 16},
    {"eYear", &IdentificationTexts::eYear, 0},
    {"eProd", &IdentificationTexts::eProd, 64},
    {"eOwner", &IdentificationTexts::eOwner, 64},
    {"eSumGruz", &IdentificationTexts::eSumGruz, 0},
    {"eGruz1", &IdentificationTexts::eGruz1, 0},
    {"eGruz2", &IdentificationTexts::eGruz2, 0},
    {"eGroup", &IdentificationTexts::eGroup, 2},
    {"eSrok", &IdentificationTexts::eSrok, 0},
    {"eEnter", &IdentificationTexts::eEnter, 20},
};

constexpr const char* kVyletKey = "sgVylet";

template <std::size_t N>
std::optional<std::size_t> indexOf(const std::array<const char*, N>& names, const std::string& name)
{
    for (std::size_t i = 0; i < N; ++i)
        if (name == names[i])
            return i;
    return std::nullopt;
}

// An integer of the document within the spin edit's range (a huge unsigned one is not wrapped).
bool withinRange(const Json& value, ThresholdRange range)
{
    if (value.is_number_unsigned())
        return value.get<std::uint64_t>() <= static_cast<std::uint64_t>(std::max(range.maximum, 0))
            && static_cast<long long>(value.get<std::uint64_t>()) >= range.minimum;
    if (!value.is_number_integer())
        return false;
    const auto number = value.get<std::int64_t>();
    return number >= range.minimum && number <= range.maximum;
}

void applyVylet(const Json& rows, ServicePage& page)
{
    const std::string where = std::string("--program: ") + kVyletKey;
    if (!rows.is_array() || rows.size() != page.vylet.size())
        throw UsageError(where + ": ожидается 16 пар [код датчика, нагрузка]");
    for (std::size_t r = 0; r < page.vylet.size(); ++r) {
        const std::string rowWhere = where + "[" + std::to_string(r) + "]";
        if (!rows[r].is_array() || rows[r].size() != 2)
            throw UsageError(rowWhere + ": ожидается пара [код датчика, нагрузка]");
        page.vylet[r] = {textValue(rows[r][0], rowWhere), textValue(rows[r][1], rowWhere)};
    }
}

} // namespace

std::size_t characterCount(const std::string& text)
{
    std::size_t count = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    return count;
}

ClockSetting parseClockOption(const std::string& text)
{
    const std::string wrong = "--clock: дата и время задаются как \"дд.ММ.гггг чч:мм[:сс]\" (годы 2000–2099), а не \""
        + text + "\"";
    const auto blank = text.find(' ');
    if (blank == std::string::npos)
        throw UsageError(wrong);
    const auto date = parseDate(std::string_view(text).substr(0, blank));
    const auto time = split(std::string_view(text).substr(blank + 1), ':');
    if (!date || date->year < 2000 || date->year > 2099 || time.size() < 2 || time.size() > 3)
        throw UsageError(wrong);
    const auto hour = digits(time[0], 1, 2);
    const auto minute = digits(time[1], 2, 2);
    const auto second = time.size() == 3 ? digits(time[2], 2, 2) : std::optional<int>(0);
    if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59)
        throw UsageError(wrong);
    return {date->year, date->month, date->day, *hour, *minute, *second};
}

void applyIdentificationJson(const Json& document, IdentificationTexts& texts)
{
    for (const auto& [key, value] : objectOf(document, "--ident").items()) {
        const std::string where = "--ident: " + key;
        if (key == "eRegSetup") {
            const auto date = parseDate(textValue(value, where));
            if (!date)
                throw UsageError(where + ": дата задаётся как \"дд.ММ.гггг\" и должна существовать, а не "
                    + value.dump());
            texts.eRegSetup = encodeDateTime(date->year, date->month, date->day, 0, 0);
            continue;
        }
        const TextControl* control = nullptr;
        for (const auto& c : kTextControls)
            if (key == c.name)
                control = &c;
        if (control == nullptr)
            throw UsageError("--ident: неизвестный элемент «" + key + "»");
        std::string text = textValue(value, where);
        if (control->inputLimit != 0 && characterCount(text) > control->inputLimit)
            throw UsageError(where + ": не более " + std::to_string(control->inputLimit) + " знаков, а задано "
                + std::to_string(characterCount(text)));
        texts.*control->field = std::move(text);
    }
}

void applyNormalisationOption(const std::string& text, ServicePage& page)
{
    const auto rows = split(text, ';');
    if (rows.size() != page.calibr.size())
        throw UsageError("--normalisation: ожидается 4 строки \"Qo/Qном\" через \";\", а не \"" + text + "\"");
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const auto pair = split(rows[k], '/');
        if (pair.size() != 2)
            throw UsageError("--normalisation: строка " + std::to_string(k + 1) + " должна быть \"Qo/Qном\", а не \""
                + std::string(rows[k]) + "\"");
        page.calibr[k] = {std::string(pair[0]), std::string(pair[1])};
    }
}

void applyProgramJson(const Json& document, ServicePage& page)
{
    for (const auto& [key, value] : objectOf(document, "--program").items()) {
        const std::string where = "--program: " + key;
        if (const auto i = indexOf(kSwitchNames, key)) {
            if (!value.is_boolean())
                throw UsageError(where + ": ожидается true или false, а не " + value.dump());
            page.switches[*i] = value.get<bool>();
        } else if (const auto t = indexOf(kThresholdNames, key)) {
            const ThresholdRange range = kThresholdRanges[*t];
            if (!withinRange(value, range))
                throw UsageError(where + ": ожидается целое число от " + std::to_string(range.minimum) + " до "
                    + std::to_string(range.maximum) + ", а не " + value.dump());
            page.thresholds[*t] = value.dump(); // decimal digits, no locale
        } else if (key == kVyletKey) {
            applyVylet(value, page);
        } else {
            throw UsageError("--program: неизвестный элемент «" + key + "»");
        }
    }
}

Json readJsonFile(const std::string& path, const std::string& option)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw FileError(path + ": это папка, а не файл");
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw FileError(path + ": " + std::strerror(errno != 0 ? errno : ENOENT));
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad())
        throw FileError(path + ": файл не прочитан");
    try {
        return Json::parse(text);
    } catch (const Json::parse_error& e) {
        throw UsageError(option + " " + path + ": это не JSON (" + e.what() + ")");
    }
}

} // namespace kestrel::cli
