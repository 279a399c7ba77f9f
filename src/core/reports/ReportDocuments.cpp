#include "core/reports/ReportDocuments.h"

#include "core/reports/DocumentFrame.h"
#include "core/reports/HtmlEscape.h"
#include "core/reports/HtmlFragments.h"
#include "core/reports/ReportSections.h"
#include "core/reports/SectionParts.h"

#include <algorithm>

namespace kestrel {

using namespace sections;

namespace {

std::string h1Open(const std::string& text) { return std::string(html::kH1Open) + text; }
std::string h1Close(const std::string& text) { return text + std::string(html::kH1Close); }

// Sections 1..5 of protocols 2 and 3 (2..6 of protocol 4, shifted by `first`).
void writeRecordedSections(DocumentLines& lines, int first, int limit, const ReportInput& input)
{
    writeCraneSection(lines, std::to_string(first), input);
    writeRecorderSection(lines, std::to_string(first + 1), input);
    writeStoredSection(lines, std::to_string(first + 2), input);
    writeCalculatedSection(lines, std::to_string(first + 3), input);
    writeOperationalSection(lines, std::to_string(first + 4), limit, input);
}

void writeJournalBlankTable(DocumentLines& lines, int limit)
{
    lines.emplace_back(html::kRuledTable);
    lines.emplace_back(html::kFirstRowOpen);
    lines.push_back(html::headerCell(4) + "№</TH>");
    lines.push_back(html::headerCell(36) + "Дата и время</TH>");
    lines.push_back(html::headerCell(20) + "Лебедка №1, т</TH>");
    lines.push_back(html::headerCell(20) + "Лебедка №2, т</TH>");
    lines.push_back(html::headerCell(20) + "Состояние</TH>");
    const int rows = std::min(limit, kMaxJournalBlankRows);
    for (int row = 1; row <= rows; ++row) {
        lines.emplace_back(html::kNextRowOpen);
        lines.push_back(cellLine(html::dataCell(4), std::to_string(row)));
        lines.push_back(cellLine(html::dataCell(36), ""));
        for (int i = 0; i < 3; ++i)
            lines.push_back(cellLine(html::dataCell(20), ""));
    }
    lines.emplace_back(html::kTableClose);
    lines.emplace_back(html::kParagraphClose);
}

} // namespace

void writeJournal(DocumentLines& lines, const std::string& fullTitle, int limit, const ReportInput& input)
{
    writeDocumentOpening(lines, fullTitle);
    lines.push_back(h1Open("ЖУРНАЛ<BR>"));
    lines.emplace_back("проверки регистратора параметров (РП) работы крана после изготовления, монтажа,");
    lines.push_back(h1Close("ремонта, наладки и в процессе эксплуатации при подготовке Протокола №1"));
    writeCraneSection(lines, "1", input);
    lines.emplace_back(html::kParagraphClose);
    writeRecorderSection(lines, "2", input);
    lines.emplace_back(html::kParagraphClose);
    writeHeading(lines, "3", ". План проверки регистратора параметров");
    lines.push_back(blankLine("3.1. Дата и время проведения проверки ", 45));
    lines.push_back(blankLine("3.2. Суммарное число циклов работы крана в период проверки ", 25));
    lines.push_back(blankLine("3.3. Суммарная масса поднятых грузов в период проверки ", 29));
    lines.push_back(blankLine("3.4. Дата и время считывания информации  ", 42));
    lines.emplace_back("3.5. Сведения о циклах работы крана, проведенных в период проверки:<BR>");
    writeJournalBlankTable(lines, limit);
    writeConditionsSection(lines, "4");
    writeSpecialistSection(lines, "5");
    writeDocumentClosing(lines);
}

void writeProtocol1(DocumentLines& lines, const std::string& fullTitle, int limit, const ReportInput& input)
{
    const IdentificationView& id = input.view.identification;
    const StatisticsView& st = input.view.statistics;
    writeDocumentOpening(lines, fullTitle);
    lines.push_back(h1Open("ПРОТОКОЛ<BR>"));
    lines.emplace_back(
        "проверки регистратора параметров (РП) ограничителя грузоподъемности после изготовления,");
    lines.push_back(h1Close(" монтажа, ремонта, наладки и в процессе эксплуатации"));
    lines.push_back(blankLine("Организация, проводившая проверку ", 43));
    lines.push_back(blankLine("Дата проведения проверки ", 52));
    lines.push_back(blankLine("Дата последней проверки ", 53));
    writeCraneSection(lines, "1", input);
    writeRecorderSection(lines, "2", input);
    writeHeading(lines, "3", ". Информация долговременного хранения");
    // Each recorded value beside a blank for the one found in the check.
    lines.push_back("3.1. Общая наработка крана в моточасах . . . . . . . . . . . . . . . . . <B>" + escapeHtml(st.eMoto)
        + " ч</B><BR>");
    lines.push_back(
        "3.2. Суммарное число циклов работы крана (РП) . . . . . . . . . . <B>" + escapeHtml(st.eNcicl) + "</B><BR>");
    lines.push_back(blankLine("3.3. Суммарное число циклов работы крана (фактическое) . . ", 15));
    lines.push_back(
        "3.4. Суммарная масса поднятых грузов (РП) . . . . . . . . . . . . . . <B>" + escapeHtml(st.eMass) + " т</B><BR>");
    lines.push_back(blankLine("3.5. Суммарная масса поднятых грузов (фактическая) . . . . . . ", 15));
    lines.push_back("3.6. Дата и время считывания информации (РП) . . . . . . . . . . . <B>" + escapeHtml(id.eDateCheck)
        + "</B><BR>");
    lines.push_back(blankLine("3.7. Дата и время считывания информации (фактическое) . . . ", 26));
    lines.push_back(
        "3.8. Количество срабатываний ограничителя грузоподъемности . . <B>" + escapeHtml(st.eStop) + "</B><BR>");
    lines.emplace_back(
        "3.9. Распределение регистрируемых циклов работы крана в зависимости от нагрузки:<BR>");
    writeLoadTable(lines, input);
    lines.emplace_back(html::kParagraphClose);
    writeOperationalFactSection(lines, "4", limit, input);
    writeConditionsSection(lines, "5");
    writeSpecialistSection(lines, "6");
    writeConclusion(lines);
    writeDocumentClosing(lines);
}

void writeProtocol2(DocumentLines& lines, const std::string& fullTitle, int limit, const ReportInput& input)
{
    writeDocumentOpening(lines, fullTitle);
    lines.push_back(h1Open("ПРОТОКОЛ<BR>"));
    lines.push_back(h1Close("проверки эффективности использования крана в процессе эксплуатации"));
    writeRecordedSections(lines, 1, limit, input);
    writeSpecialistSection(lines, "6");
    writeConclusion(lines);
    writeDocumentClosing(lines);
}

void writeProtocol3(DocumentLines& lines, const std::string& fullTitle, int limit, const ReportInput& input)
{
    writeDocumentOpening(lines, fullTitle);
    lines.push_back(h1Open("ПРОТОКОЛ<BR>"));
    lines.emplace_back(
        "обработки информации регистратора параметров (РП) при составлении заключения экспертизы");
    lines.push_back(h1Close("промышленной безопасности крана"));
    writeRecordedSections(lines, 1, limit, input);
    writeSpecialistSection(lines, "6");
    lines.emplace_back(html::kParagraphOpen);
    lines.emplace_back("<BR>От экспертной организации</P>");
    writeDocumentClosing(lines);
}

void writeProtocol4(DocumentLines& lines, const std::string& fullTitle, int limit, const ReportInput& input)
{
    writeDocumentOpening(lines, fullTitle);
    lines.push_back(h1Open("ПРОТОКОЛ<BR>"));
    lines.push_back(h1Close("обработки информации регистратора параметров (РП) при расследовании аварии крана"));
    writeHeading(lines, "1", ". Информация о месте и характере аварии (несчасного случая)");
    lines.push_back(blankLine("1.1. Реальное время и дата события ", 48));
    lines.push_back(blankLine("", 79));
    lines.push_back(blankLine("1.2. Место происшествия (предприятие, цех, участок) ", 33));
    lines.push_back(blankLine("", 79));
    lines.push_back(blankLine("", 79));
    lines.push_back(blankLine("1.3. Характер аварии ", 61));
    lines.push_back(blankLine("", 79));
    lines.push_back(blankLine("", 79));
    lines.emplace_back(html::kParagraphClose);
    writeRecordedSections(lines, 2, limit, input);
    writeSpecialistSection(lines, "7");
    writeDocumentClosing(lines);
}

} // namespace kestrel
