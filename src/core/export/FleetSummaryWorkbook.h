#pragma once

#include "core/export/XlsxWorkbook.h"
#include "core/image/DateTime.h"
#include "core/text/DisplayLocale.h"

#include <array>
#include <string>
#include <vector>

namespace kestrel {

// The columns of the fleet summary (`kestrel-cli summary`): one line per data file.
namespace fleet {
enum Column : std::size_t { kFile, kCraneType, kCraneNumber, kRecorderNumber, kReadingDate, kInstallationDate, kKp,
    kQ, kU, kA, kCycles, kMass, kMotorHours, kTrips, kChecksum, kColumnCount };

inline constexpr std::array<const char*, kColumnCount> kHeader{"Файл", "Тип крана", "Зав. № крана", "Зав. № РП",
    "Дата считывания", "Дата установки", "Kp", "Q", "U", "A", "Циклов", "Масса, т", "Моточасы", "Срабатываний",
    "Контрольная сумма"};
inline constexpr const char* kErrorHeader = "Ошибка";
inline constexpr const char* kSheetName = "Сводка";
} // namespace fleet

// One data file: the texts the summary prints, the dates behind its two date texts, or why
// there are no figures.
struct FleetSummaryLine {
    std::array<std::string, fleet::kColumnCount> cells{};
    DateTime readingDate = 0.0;      // 0 when the reading stamp names no date
    DateTime installationDate = 0.0; // the period start: the installation day
    std::string error;
    bool read = false; // the file's bytes were read, whatever came of them
};

// One sheet "Сводка" with the columns of the summary and "Ошибка", like its CSV: Kp, cycles,
// mass, motor hours and trips as numbers, the two dates as dates; a file without figures
// has its name and its error.
XlsxWorkbook fleetSummaryWorkbook(const std::vector<FleetSummaryLine>& lines, const DisplayLocale& locale);

// Writes that workbook to `path` (see writeXlsx); throws XlsxError.
void writeFleetSummaryWorkbook(
    const std::vector<FleetSummaryLine>& lines, const DisplayLocale& locale, const std::string& path);

} // namespace kestrel
