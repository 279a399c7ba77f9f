#include "core/config/LoadCharacteristicEditor.h"

#include "core/text/PlatformInteger.h"

#include <charconv>
#include <cmath>

namespace kestrel {

namespace {

std::string decimalText(std::int64_t value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return {buffer, result.ptr};
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A code or load difference scaled by the ratio, truncated toward zero. The ratio lies
// in [0, 1], so the product stays within the 32-bit difference.
std::int64_t scaledStep(std::int32_t from, std::int32_t to, float ratio)
{
    const auto difference = static_cast<std::int64_t>(to) - from;
    return static_cast<std::int64_t>(std::trunc(static_cast<double>(difference) * static_cast<double>(ratio)));
}

} // namespace

std::optional<double> parseLocaleDecimal(std::string_view text, const DisplayLocale& locale)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);

    std::string normal;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        if (text.front() == '-')
            normal += '-';
        text.remove_prefix(1);
    }
    // A digit or the separator must follow the sign: no "inf", "nan" or second sign.
    if (text.empty() || !(isDigit(text.front()) || text.front() == locale.decimalSeparator))
        return std::nullopt;
    for (const char c : text) {
        if (c == locale.decimalSeparator)
            normal += '.';
        else if (c == '.')
            return std::nullopt; // another locale's separator
        else
            normal += c;
    }

    double value = 0.0;
    const char* end = normal.data() + normal.size();
    const auto [ptr, ec] = std::from_chars(normal.data(), end, value, std::chars_format::general);
    if (ec != std::errc{} || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

const LoadCharacteristicEditor::Row& LoadCharacteristicEditor::header()
{
    static const Row kHeader{"№ зоны", "Вылет, м", "Код датчика", "Нагрузка, %"};
    return kHeader;
}

void LoadCharacteristicEditor::open(std::span<const CodeAndLoad> vylet, ConstBytes image)
{
    firstZoneCode_ = readI16(image, kFirstZoneCodeOffset);
    lastZoneCode_ = readI16(image, kLastZoneCodeOffset);
    for (int r = 0; r < kRows; ++r) {
        Row& row = rows_[static_cast<std::size_t>(r)];
        // Every second zone is marked, as on the crane's load chart.
        row[Zone] = decimalText(r) + (r % 2 == 1 ? "  ***" : "");
        row[Outreach] = kNotFilled;
        const auto zone = static_cast<std::size_t>(r);
        row[Code] = zone < vylet.size() ? vylet[zone][0] : std::string();
        row[Load] = zone < vylet.size() ? vylet[zone][1] : std::string();
    }
    applyAnchors();
}

void LoadCharacteristicEditor::clear()
{
    for (Row& row : rows_)
        row[Outreach] = row[Code] = row[Load] = kNotFilled;
    applyAnchors();
}

void LoadCharacteristicEditor::applyAnchors()
{
    rows_.front()[Code] = decimalText(firstZoneCode_);
    rows_.front()[Load] = "100";
    rows_.back()[Code] = decimalText(lastZoneCode_);
}

void LoadCharacteristicEditor::setCell(int row, int column, std::string text)
{
    rows_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column)) = std::move(text);
}

std::optional<LoadCharacteristicEditor::CompleteRow> LoadCharacteristicEditor::completeRow(int row) const
{
    const auto outreach = parseLocaleDecimal(cell(row, Outreach), locale_);
    const auto code = platformStrToInt(cell(row, Code));
    const auto load = platformStrToInt(cell(row, Load));
    if (!outreach || !code || !load)
        return std::nullopt;
    return CompleteRow{*outreach, *code, *load};
}

std::optional<std::string> LoadCharacteristicEditor::interpolateRow(int row)
{
    if (row < 0 || row >= kRows)
        return std::nullopt;
    const auto outreach = parseLocaleDecimal(cell(row, Outreach), locale_);
    if (!outreach)
        return kBadOutreachMessage;

    std::optional<CompleteRow> upper;
    for (int r = row - 1; r >= 0 && !upper; --r)
        upper = completeRow(r);
    if (!upper)
        return std::nullopt;
    std::optional<CompleteRow> lower;
    for (int r = row + 1; r < kRows && !lower; ++r)
        lower = completeRow(r);
    if (!lower)
        return std::nullopt;

    if (*outreach < upper->outreach || *outreach > lower->outreach)
        return kOutreachOutsideMessage;

    std::int64_t code = upper->code;
    std::int64_t load = upper->load;
    // Both neighbours at the same outreach leave no ratio: the upper one's values stand.
    if (lower->outreach != upper->outreach) {
        const double exactRatio = (*outreach - upper->outreach) / (lower->outreach - upper->outreach);
        // Outreaches near the limits of double can overflow the differences.
        if (!std::isfinite(exactRatio))
            return kOutreachOutsideMessage;
        const auto ratio = static_cast<float>(exactRatio); // the window computes the ratio in single precision
        code += scaledStep(upper->code, lower->code, ratio);
        load += scaledStep(upper->load, lower->load, ratio);
    }
    setCell(row, Code, decimalText(code));
    setCell(row, Load, decimalText(load));
    return std::nullopt;
}

std::variant<std::array<LoadCharacteristicEditor::CodeAndLoad, LoadCharacteristicEditor::kRows>, std::string>
LoadCharacteristicEditor::confirm() const
{
    std::array<CodeAndLoad, kRows> result;
    for (int r = 0; r < kRows; ++r) {
        const Row& current = row(r);
        if (current[Code] == kNotFilled || current[Load] == kNotFilled)
            return std::string(kIncompleteMessage);
        result[static_cast<std::size_t>(r)] = {current[Code], current[Load]};
    }
    return result;
}

std::vector<LoadChartPoint> LoadCharacteristicEditor::chartPoints() const
{
    std::vector<LoadChartPoint> points;
    for (const Row& current : rows_) {
        const auto code = platformStrToInt(current[Code]);
        const auto load = platformStrToInt(current[Load]);
        if (code && load && *code != 0)
            points.push_back({*code, *load, current[Outreach]});
    }
    sortByCode(points);
    return points;
}

} // namespace kestrel
