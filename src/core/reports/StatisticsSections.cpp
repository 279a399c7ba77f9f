#include "core/reports/HtmlEscape.h"
#include "core/reports/ReportSections.h"
#include "core/reports/SectionParts.h"

#include <array>

namespace kestrel {

using namespace sections;

namespace {

struct StoredLine {
    const char* label;
    const std::string* text;
    const char* suffix;
};

struct CalculatedLine {
    const char* label;
    std::string StatisticsView::*edit;
};

const std::array<CalculatedLine, 5> kCalculatedLines{{
    {".1. Текущий показатель наработки крана (хар.число) &nbsp;. . . . . <B>", &StatisticsView::eKranHar},
    {".2. Коэф. распределения нагрузок крана (Kp) . . . . . . . . . . . . <B>", &StatisticsView::eKp},
    {".3. Режим нагружения крана (Q) . . . . . . . . . . . . . . . . . . . . . . . <B>", &StatisticsView::eQi},
    {".4. Класс использования крана (U) . . . . . . . . . . . . . . . . . . . . . <B>", &StatisticsView::eUi},
    {".5. Группа режима крана (A) . . . . . . . . . . . . . . . . . . . . . . . . . . <B>", &StatisticsView::eAi},
}};

} // namespace

void writeStoredSection(DocumentLines& lines, const std::string& n, const ReportInput& input)
{
    const IdentificationView& id = input.view.identification;
    const StatisticsView& st = input.view.statistics;
    const std::array<StoredLine, 6> stored{{
        {".1. Дата начала отчетного периода &nbsp;. . . . . . . . . . . . . <B>", &id.eStartDateCheck, "</B><BR>"},
        {".2. Дата и время считывания информации из РП . . <B>", &id.eDateCheck, "</B><BR>"},
        {".3. Общая наработка крана в моточасах &nbsp;. . . . . . . . . . . . . . . . . . . . . . <B>", &st.eMoto,
            " ч</B><BR>"},
        {".4. Суммарное число регистрируемых циклов работы крана . . . . . <B>", &st.eNcicl, "</B><BR>"},
        {".5. Суммарная масса поднятых грузов &nbsp;. . . . . . . . . . . . . . . . . . . . . . . <B>", &st.eMass,
            " т</B><BR>"},
        {".6. Количество срабатываний ограничителя грузоподъемности . . <B>", &st.eStop, "</B><BR>"},
    }};

    writeHeading(lines, n, ". Информация долговременного хранения");
    for (const StoredLine& line : stored)
        lines.push_back(n + line.label + escapeHtml(*line.text) + line.suffix);
    lines.push_back(n + ".7. Распределение регистрируемых циклов работы крана в зависимости от нагрузки:<BR>");
    writeLoadTable(lines, input);
    lines.emplace_back(html::kParagraphClose);
}

void writeCalculatedSection(DocumentLines& lines, const std::string& n, const ReportInput& input)
{
    const StatisticsView& st = input.view.statistics;
    writeHeading(lines, n, ". Рассчитанные параметры (по ИСО 4301/1)");
    for (const CalculatedLine& line : kCalculatedLines)
        lines.push_back(n + line.label + escapeHtml(st.*line.edit) + "</B><BR>");
    lines.push_back(n + ".6. Параметры работы лебедок:<BR>");

    lines.emplace_back(html::kRuledTable);
    lines.emplace_back(html::kFirstRowOpen);
    lines.push_back(html::headerCell(4) + "№</TH>");
    lines.push_back(html::headerCell(56) + "Параметр</TH>");
    lines.push_back(html::headerCell(20) + "Лебедка №1</TH>");
    lines.push_back(html::headerCell(20) + "Лебедка №2</TH>");
    for (std::size_t i = 0; i < st.lvCommon.size(); ++i) {
        lines.emplace_back(html::kNextRowOpen);
        lines.push_back(cellLine(html::dataCell(4), std::to_string(i + 1)));
        lines.push_back(escapedCell(html::leftDataCell(56), kCommonRowCaptions[i]));
        lines.push_back(cellLine(html::dataCell(20), "<B>" + escapeHtml(st.lvCommon[i][0]) + "</B>"));
        lines.push_back(cellLine(html::dataCell(20), "<B>" + escapeHtml(st.lvCommon[i][1]) + "</B>"));
    }
    lines.emplace_back(html::kTableClose);
    lines.emplace_back(html::kParagraphClose);
}

void writeLoadTable(DocumentLines& lines, const ReportInput& input)
{
    lines.emplace_back(html::kRuledTable);
    lines.emplace_back(html::kFirstRowOpen);
    lines.push_back(html::headerCell(4) + "№</TH>");
    lines.push_back(html::headerCell(24) + "Диапазон</TH>");
    lines.push_back(html::headerCell(24) + "Кран</TH>");
    lines.push_back(html::headerCell(24) + "Лебедка №1</TH>");
    lines.push_back(html::headerCell(24) + "Лебедка №2</TH>");
    const auto& rows = input.view.distribution.lvLoad;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        lines.emplace_back(html::kNextRowOpen);
        lines.push_back(cellLine(html::dataCell(4), std::to_string(i + 1)));
        for (std::size_t j = 0; j < 4; ++j)
            lines.push_back(escapedCell(html::dataCell(24), subItem(rows[i], j)));
    }
    lines.emplace_back(html::kNextRowOpen);
    lines.push_back(cellLine(std::string(html::kDataCellColSpan28), "Всего"));
    lines.push_back(escapedCell(html::dataCell(24), input.view.statistics.eNcicl));
    lines.push_back(cellLine(html::dataCell(24), std::to_string(input.stats[kWinch1].totalCycles)));
    lines.push_back(cellLine(html::dataCell(24), std::to_string(input.stats[kWinch2].totalCycles)));
    lines.emplace_back(html::kTableClose);
}

} // namespace kestrel
