#include "core/export/HistoryWorkbook.h"

#include "core/image/DateTime.h"
#include "core/life/HistoryView.h"
#include "core/text/NumberFormat.h"

namespace kestrel {

namespace {

std::string dateText(DateTime value, const DisplayLocale& locale)
{
    try {
        return value == 0.0 ? std::string() : formatShortDate(value, locale);
    } catch (const DateConversionError&) {
        return {};
    }
}

} // namespace

XlsxWorkbook historyWorkbook(const LifeHistory& history, const DisplayLocale& locale)
{
    // The texts are the page's own; the lists run newest first, as the page shows them.
    const HistoryView view = historyView(history, locale);

    XlsxSheet readings;
    readings.name = kReadingsSheetName;
    readings.header.assign(kReadingsSheetHeader.begin(), kReadingsSheetHeader.end());
    for (std::size_t i = 0; i < view.readings.size(); ++i) {
        const auto& texts = view.readings[i].texts;
        const HistoryReading& reading = history.readings[history.readings.size() - 1 - i];
        std::vector<XlsxCell> row{dateCell(reading.figures.reading, texts[0])};
        for (std::size_t column : {1, 2})
            row.push_back(numberCell(texts[column], locale));
        for (std::size_t column : {3, 4, 5})
            row.push_back(textCell(texts[column]));
        for (std::size_t column : {6, 7})
            row.push_back(numberCell(texts[column], locale));
        row.push_back(textCell(texts[8]));
        readings.rows.push_back(std::move(row));
    }

    XlsxSheet periods;
    periods.name = kPeriodsSheetName;
    periods.header.assign(kPeriodsSheetHeader.begin(), kPeriodsSheetHeader.end());
    for (std::size_t i = 0; i < view.periods.size(); ++i) {
        const auto& texts = view.periods[i];
        const ReadingFigures& figures = history.periods[history.periods.size() - 1 - i].figures;
        periods.rows.push_back({dateCell(figures.periodStart, dateText(figures.periodStart, locale)),
            dateCell(figures.reading, dateText(figures.reading, locale)), numberCell(texts[1], locale),
            numberCell(texts[2], locale), numberCell(texts[3], locale)});
    }
    return {{std::move(readings), std::move(periods)}};
}

void writeHistoryWorkbook(const LifeHistory& history, const DisplayLocale& locale, const std::string& path)
{
    writeXlsx(historyWorkbook(history, locale), path);
}

} // namespace kestrel
