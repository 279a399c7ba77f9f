#include "core/reports/ReportSections.h"
#include "core/reports/SectionParts.h"

namespace kestrel {

using namespace sections;

// The sections that are filled in by hand: labels with blanks of fixed length.

void writeConditionsSection(DocumentLines& lines, const std::string& n)
{
    writeHeading(lines, n, ". Условия проведения проверки");
    lines.push_back(blankLine(n + ".1. Температура окружающей среды ", 47));
    lines.push_back(blankLine(n + ".2. Скорость ветра ", 62));
    lines.push_back(blankLine(n + ".3. Другие сведения ", 61));
    lines.push_back(blankLine("", 79));
    lines.emplace_back(html::kParagraphClose);
}

void writeSpecialistSection(DocumentLines& lines, const std::string& n)
{
    writeHeading(lines, n, ". Сведения о специалисте по обработке информации РП");
    lines.push_back(blankLine("Ф.И.О. ", 72));
    lines.push_back(blankLine("Место работы ", 66));
    lines.push_back(blankLine("№ удостоверения, дата и место выдачи ", 45));
    lines.push_back(blankLine("", 79));
    lines.push_back(blankLine("Срок действия удостоверения ", 53));
    lines.push_back(blankLine("Подпись:", 71));
    lines.emplace_back(html::kParagraphClose);
}

void writeConclusion(DocumentLines& lines)
{
    lines.emplace_back(html::kParagraphOpen);
    lines.push_back(blankLine("Заключение:", 68));
    for (int i = 0; i < 3; ++i)
        lines.push_back(blankLine("", 79));
    lines.emplace_back(html::kPlainTable);
    lines.emplace_back("<BR><TR>");
    lines.push_back(html::leftDataCell(40)
        + "Инженерно-технический работник, ответственный за содержание кранов в исправном состоянии</TD>");
    lines.push_back(html::dataCell(20) + "</TD>");
    lines.push_back(html::leftDataCell(40) + "Работник от организации, проводившей проверку РП</TD>");
    lines.emplace_back(html::kTableClose);
    lines.emplace_back(html::kParagraphClose);
}

} // namespace kestrel
