#include "core/export/FleetSummaryWorkbook.h"

namespace kestrel {

using namespace fleet;

XlsxWorkbook fleetSummaryWorkbook(const std::vector<FleetSummaryLine>& lines, const DisplayLocale& locale)
{
    XlsxSheet sheet;
    sheet.name = kSheetName;
    sheet.header.assign(kHeader.begin(), kHeader.end());
    sheet.header.emplace_back(kErrorHeader);
    for (const FleetSummaryLine& line : lines) {
        std::vector<XlsxCell> row;
        for (std::size_t c = 0; c < kColumnCount; ++c) {
            const std::string& text = line.cells[c];
            switch (c) {
            case kReadingDate:
                row.push_back(dateCell(line.readingDate, text));
                break;
            case kInstallationDate:
                row.push_back(dateCell(line.installationDate, text));
                break;
            case kKp:
            case kCycles:
            case kMass:
            case kMotorHours:
            case kTrips:
                row.push_back(numberCell(text, locale));
                break;
            default:
                row.push_back(textCell(text));
                break;
            }
            // A file without figures shows only its name, as the text table does.
            if (!line.error.empty() && c != kFile)
                row.back() = XlsxCell{};
        }
        row.push_back(textCell(line.error));
        sheet.rows.push_back(std::move(row));
    }
    return {{std::move(sheet)}};
}

void writeFleetSummaryWorkbook(
    const std::vector<FleetSummaryLine>& lines, const DisplayLocale& locale, const std::string& path)
{
    writeXlsx(fleetSummaryWorkbook(lines, locale), path);
}

} // namespace kestrel
