#pragma once

#include "core/config/LoadCharacteristicChart.h"
#include "core/image/ByteAccess.h"
#include "core/text/DisplayLocale.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace kestrel {

// A decimal number as the user types it in the display locale ("12,5" under a Russian
// locale): blanks around it, an optional sign, digits with the locale's separator, an
// optional exponent. Anything else, and values that are not finite, do not convert.
std::optional<double> parseLocaleDecimal(std::string_view text, const DisplayLocale& locale);

// The grid of the window "Задание грузовой характеристики" (sgMakeGruz) without its
// widgets: 12 zones with their outreach, sensor code and allowed load as texts. Only the
// codes and loads go back to sgVylet; the outreach exists only while the window is open.
class LoadCharacteristicEditor {
public:
    static constexpr int kRows = 12;
    static constexpr int kColumns = 4;
    enum Column { Zone = 0, Outreach = 1, Code = 2, Load = 3 };
    using Row = std::array<std::string, kColumns>;
    // sgVylet columns "Код датчика" and "Нагрузка, %" of one zone.
    using CodeAndLoad = std::array<std::string, 2>;

    static constexpr const char* kNotFilled = "?";
    static constexpr const char* kBadOutreachMessage = "Проверьте правильность введенного значения";
    static constexpr const char* kOutreachOutsideMessage = "Проверьте правильность введенного значения вылета";
    static constexpr const char* kIncompleteMessage = "Заполнены не все поля!";
    // Where the image keeps the codes of the first and the last zone of the window
    // (normalisation of the boom sensor), signed 16-bit.
    static constexpr std::size_t kFirstZoneCodeOffset = 0x6D8;
    static constexpr std::size_t kLastZoneCodeOffset = 0x6DA;

    explicit LoadCharacteristicEditor(DisplayLocale locale = DisplayLocale::c()) : locale_(std::move(locale)) {}

    static const Row& header();

    // Every opening starts again from sgVylet (its first 12 zones) and the image: no
    // outreach is known, zone 0 gets the image's first code and load 100, zone 11 the
    // image's last code.
    void open(std::span<const CodeAndLoad> vylet, ConstBytes image);
    // "Очистить": every outreach, code and load unknown again, then the anchors.
    void clear();

    // "Вычислить" on `row` (0..11): the code and load interpolated linearly in the
    // outreach between the nearest complete rows above and below. Returns the message
    // to show, if any; without a complete row on both sides nothing happens.
    std::optional<std::string> interpolateRow(int row);

    // "OK": the codes and loads of the 12 zones for sgVylet, or the message when a code
    // or load is still unknown.
    std::variant<std::array<CodeAndLoad, kRows>, std::string> confirm() const;

    // The window's chart: rows whose code or load is no integer are passed over.
    std::vector<LoadChartPoint> chartPoints() const;

    const Row& row(int index) const { return rows_.at(static_cast<std::size_t>(index)); }
    const std::string& cell(int row, int column) const { return this->row(row).at(static_cast<std::size_t>(column)); }
    void setCell(int row, int column, std::string text);

    const DisplayLocale& locale() const { return locale_; }
    void setLocale(DisplayLocale locale) { locale_ = std::move(locale); }

private:
    struct CompleteRow {
        double outreach;
        std::int32_t code;
        std::int32_t load;
    };
    std::optional<CompleteRow> completeRow(int row) const;
    void applyAnchors();

    DisplayLocale locale_;
    std::array<Row, kRows> rows_{};
    std::int16_t firstZoneCode_ = 0;
    std::int16_t lastZoneCode_ = 0;
};

} // namespace kestrel
