#pragma once

#include "core/export/XlsxWorkbook.h"
#include "core/life/LifeHistory.h"
#include "core/text/DisplayLocale.h"

#include <array>
#include <string>

namespace kestrel {

inline constexpr const char* kReadingsSheetName = "Считывания";
inline constexpr const char* kPeriodsSheetName = "Периоды";

// The columns of the history page's lists as the workbook names them; a period's two
// dates are two columns there, so that Excel can sort and filter by them.
inline constexpr std::array<const char*, 9> kReadingsSheetHeader{
    "Дата считывания", "Циклы", "Kp", "Q", "U", "A", "Срабатываний", "Моточасы", "Контр. сумма"};
inline constexpr std::array<const char*, 5> kPeriodsSheetHeader{
    "Начало периода", "Конец периода", "Циклы", "Характеристическое число", "Срабатываний"};

// The history page's two lists, newest first, as the sheets "Считывания" and "Периоды":
// the same texts (historyView), with figures as numbers and dates as dates.
XlsxWorkbook historyWorkbook(const LifeHistory& history, const DisplayLocale& locale);

// Writes that workbook to `path` (see writeXlsx); throws XlsxError.
void writeHistoryWorkbook(const LifeHistory& history, const DisplayLocale& locale, const std::string& path);

} // namespace kestrel
