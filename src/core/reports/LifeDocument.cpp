#include "core/life/HistoryView.h"
#include "core/reports/DocumentFrame.h"
#include "core/reports/ReportDocuments.h"
#include "core/reports/ReportSections.h"
#include "core/reports/SectionParts.h"

namespace kestrel {

using namespace sections;

namespace {

constexpr const char* kNoAssessment
    = "Оценка не выполнена: нет данных о расчетном сроке службы крана.";

void writeFiguresTable(DocumentLines& lines, const LifeAssessment& life, const DisplayLocale& locale)
{
    const bool winch1 = life.winch1.has_value();
    const bool winch2 = life.winch2.has_value();
    const int valueWidth = winch1 || winch2 ? 20 : 40;
    lines.emplace_back(html::kRuledTable);
    lines.emplace_back(html::kFirstRowOpen);
    lines.push_back(html::headerCell(40) + "Показатель</TH>");
    lines.push_back(html::headerCell(valueWidth) + "Кран</TH>");
    if (winch1)
        lines.push_back(html::headerCell(valueWidth) + "Лебедка №1</TH>");
    if (winch2)
        lines.push_back(html::headerCell(valueWidth) + "Лебедка №2</TH>");
    for (const auto& row : lifeRows(life, locale)) {
        lines.emplace_back(html::kNextRowOpen);
        lines.push_back(escapedCell(html::leftDataCell(40), row[0]));
        lines.push_back(escapedCell(html::dataCell(valueWidth), row[1]));
        if (winch1)
            lines.push_back(escapedCell(html::dataCell(valueWidth), row[2]));
        if (winch2)
            lines.push_back(escapedCell(html::dataCell(valueWidth), row[3]));
    }
    lines.emplace_back(html::kTableCloseWithBreak);
}

// The reading assessed, named as the recorder stamped it; the screen's texts where nobody assessed it.
std::string assessedReadingLine(const ReportInput& input)
{
    const IdentificationView& id = input.view.identification;
    std::string date = input.life != nullptr ? input.life->reading.readingText : id.eDateCheck;
    std::string type = input.life != nullptr ? input.life->reading.recorderType : id.eRegType;
    std::string number = input.life != nullptr ? input.life->reading.recorderNumber : id.eRegNum;
    while (!date.empty() && date.back() == ' ')
        date.pop_back();
    std::string line = "Оценка выполнена по считыванию РП " + type + " № " + number + " от "
        + (date.empty() ? std::string("(дата считывания не читается)") : date);
    if (input.life != nullptr)
        line += " (считываний РП, учтенных в оценке: " + std::to_string(input.life->reading.readings) + ")";
    return line + ".";
}

std::string groupSourceLine(const LifeAssessment& life)
{
    const std::string& group = life.crane.group;
    switch (life.groupSource) {
    case GroupSource::Passport:
        return "Расчетная группа крана " + group + " взята из паспорта крана.";
    case GroupSource::User:
        return "Расчетная группа (классы) крана " + group + " указана пользователем и заменяет группу из паспорта крана.";
    case GroupSource::None:
        break;
    }
    return "Расчетная группа крана не указана ни в паспорте, ни пользователем.";
}

} // namespace

void writeLifeAssessment(DocumentLines& lines, const std::string& fullTitle, int, const ReportInput& input)
{
    writeDocumentOpening(lines, fullTitle);
    lines.push_back(std::string(html::kH1Open) + "ОЦЕНКА<BR>");
    lines.push_back("расчетного срока службы крана по данным регистратора параметров (РП)"
        + std::string(html::kH1Close));
    lines.emplace_back(html::kParagraphOpen);
    lines.push_back(escapeHtml(assessedReadingLine(input)) + std::string(html::kLineBreak));
    lines.emplace_back(html::kParagraphClose);
    writeCraneSection(lines, "1", input);
    writeRecorderSection(lines, "2", input);
    writeHeading(lines, "3", ". Использование расчетного срока службы");
    if (input.life == nullptr) {
        lines.push_back(escapeHtml(kNoAssessment) + std::string(html::kLineBreak));
        lines.emplace_back(html::kParagraphClose);
    } else {
        lines.emplace_back("Наработка выражена числом циклов полной нагрузки (характеристическое число, "
                           "суммированное по всем считываниям РП после его установки).<BR>");
        lines.push_back(escapeHtml(groupSourceLine(*input.life)) + std::string(html::kLineBreak));
        writeFiguresTable(lines, *input.life, input.locale);
        lines.push_back(
            escapeHtml(normativeLifeText(input.life->normative, input.locale)) + "." + std::string(html::kLineBreak));
        lines.emplace_back("Наработка до установки РП оценена по ISO 12482 как 1,5 средней годовой наработки "
                           "по РП за каждый год работы крана до установки РП.<BR>");
        lines.emplace_back("Нормативный срок службы взят из паспорта крана и отсчитан от даты ввода крана в "
                           "эксплуатацию, а если она не указана датой, — от 1 января года изготовления.<BR>");
        lines.emplace_back(html::kParagraphClose);
        writeHeading(lines, "4", ". Заключение");
        for (const std::string& verdict : lifeVerdicts(*input.life, input.locale))
            lines.push_back(escapeHtml(verdict) + std::string(html::kLineBreak));
        lines.emplace_back(html::kParagraphClose);
    }
    writeSpecialistSection(lines, input.life == nullptr ? "4" : "5");
    writeDocumentClosing(lines);
}

} // namespace kestrel
