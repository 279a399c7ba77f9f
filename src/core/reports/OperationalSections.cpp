#include "core/reports/HtmlEscape.h"
#include "core/reports/ReportSections.h"
#include "core/reports/SectionParts.h"
#include "core/text/NumberFormat.h"

namespace kestrel {

using namespace sections;

namespace {

// lvLast shows the working-cycle half of the cycle view rows, in the same order.
constexpr std::size_t kWorkingCycleRows = 32;

void writeCycleTableHeader(DocumentLines& lines)
{
    lines.emplace_back(html::kRuledTable);
    lines.emplace_back(html::kFirstRowOpen);
    lines.push_back(html::headerCell(4) + "№</TH>");
    lines.push_back(html::headerCell(20) + "Дата/время</TH>");
    lines.push_back(html::headerCell(15) + "Лебедка №1</TH>");
    lines.push_back(html::headerCell(15) + "Лебедка №2</TH>");
    lines.push_back(html::headerCell(10) + "Масса</TH>");
    lines.push_back(html::headerCell(36) + "Состояние</TH>");
}

// The rows of lvLast or lvStop under the limit, as the window shows them.
void writeCycleRows(DocumentLines& lines, const std::vector<CycleListRow>& rows, int limit)
{
    forRowsUnderLimit(rows, limit, [&](std::size_t i) {
        const CycleListRow& row = rows[i];
        lines.emplace_back(html::kNextRowOpen);
        lines.push_back(cellLine(html::dataCell(4), std::to_string(i + 1)));
        lines.push_back(escapedCell(html::dataCell(20), row.caption));
        lines.push_back(escapedCell(html::dataCell(15), row.subItems[0]));
        lines.push_back(escapedCell(html::dataCell(15), row.subItems[1]));
        lines.push_back(escapedCell(html::dataCell(10), row.subItems[2]));
        lines.push_back(escapedCell(html::dataCell(36), row.subItems[3]));
    });
}

// Mass lifted by one winch in a cycle: load percent × capacity, single precision.
std::string winchMassText(int loadPercent, float capacity, const DisplayLocale& locale)
{
    const auto mass = static_cast<float>(loadPercent * static_cast<double>(capacity) * 0.01);
    return formatFixed(mass, mass > 1.0f ? 1 : 2, locale) + "т)";
}

void writeTripsPart(DocumentLines& lines, const std::string& n, int limit, const ReportInput& input)
{
    lines.push_back(n + ".2. Сведения о срабатываниях ограничителя грузоподъемности:<BR>");
    writeTripsTable(lines, limit, input);
    lines.emplace_back(html::kParagraphClose);
}

} // namespace

void writeOperationalSection(DocumentLines& lines, const std::string& n, int limit, const ReportInput& input)
{
    writeHeading(lines, n, ". Оперативная информация");
    lines.push_back(n + ".1. Сведения о регистрируемых циклах работы крана:<BR>");
    writeCycleTableHeader(lines);
    writeCycleRows(lines, input.view.lvLast, limit);
    lines.emplace_back(html::kTableCloseWithBreak);
    writeTripsPart(lines, n, limit, input);
}

void writeOperationalFactSection(DocumentLines& lines, const std::string& n, int limit, const ReportInput& input)
{
    writeHeading(lines, n, ". Оперативная информация");
    lines.push_back(n + ".1. Сведения о регистрируемых циклах работы крана:<BR>");
    lines.emplace_back(html::kRuledTable);
    lines.emplace_back(html::kFirstRowOpen);
    lines.push_back(std::string(html::kHeaderCellRowSpan4) + "№</TH>");
    lines.push_back(std::string(html::kHeaderCellRowSpan20) + "Дата/время</TH>");
    lines.push_back(std::string(html::kHeaderCellColSpan28) + "Лебедка №1</TH>");
    lines.push_back(std::string(html::kHeaderCellColSpan28) + "Лебедка №2</TH>");
    lines.push_back(std::string(html::kHeaderCellRowSpan20) + "Состояние</TH></TR>");
    lines.emplace_back(html::kFirstRowOpen);
    lines.push_back(html::headerCell(15) + "Нагрузка</TH>");
    lines.push_back(html::headerCell(13) + "Фактич.</TH>");
    lines.push_back(html::headerCell(15) + "Нагрузка</TH>");
    lines.push_back(html::headerCell(13) + "Фактич.</TH>");

    const auto& rows = input.view.lvLast;
    const float capacity1 = input.stats[kWinch1].capacity;
    const float capacity2 = input.stats[kWinch2].capacity;
    forRowsUnderLimit(rows, limit, [&](std::size_t k) {
        const CycleListRow& row = rows[k];
        // A list longer than the working-cycle half has no loads behind its extra rows.
        const CycleViewRow noCycle;
        const CycleViewRow& cycle = k < kWorkingCycleRows ? input.cycleRows[k] : noCycle;
        lines.emplace_back(html::kNextRowOpen);
        lines.push_back(cellLine(html::dataCell(4), std::to_string(k + 1)));
        lines.push_back(escapedCell(html::dataCell(20), row.caption));
        lines.push_back(cellLine(html::dataCell(15),
            escapeHtml(row.subItems[0]) + " (" + winchMassText(cycle.winch1Load, capacity1, input.locale)));
        lines.push_back(cellLine(html::dataCell(13), ""));
        lines.push_back(cellLine(html::dataCell(15),
            escapeHtml(row.subItems[1]) + " (" + winchMassText(cycle.winch2Load, capacity2, input.locale)));
        lines.push_back(cellLine(html::dataCell(13), ""));
        lines.push_back(escapedCell(html::dataCell(20), row.subItems[3]));
    });
    lines.emplace_back(html::kTableCloseWithBreak);
    writeTripsPart(lines, n, limit, input);
}

void writeTripsTable(DocumentLines& lines, int limit, const ReportInput& input)
{
    writeCycleTableHeader(lines);
    writeCycleRows(lines, input.view.lvStop, limit);
    lines.emplace_back(html::kTableClose);
}

} // namespace kestrel
