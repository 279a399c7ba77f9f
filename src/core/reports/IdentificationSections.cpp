#include "core/reports/HtmlEscape.h"
#include "core/reports/ReportSections.h"
#include "core/reports/SectionParts.h"
#include "core/text/NumberFormat.h"

#include <algorithm>
#include <array>
#include <string>

namespace kestrel {

using namespace sections;

namespace {

struct CraneLine {
    const char* prefix;
    const char* label;
    std::string IdentificationView::*edit;
    const char* suffix;
};

const std::array<CraneLine, 11> kCraneLines{{
    {"", ".1. Тип и индекс крана . . . . . . . . . . . . . . . <B>", &IdentificationView::eMarka, "</B><BR>"},
    {"", ".2. Предприятие-изготовитель крана . . . <B>", &IdentificationView::eProd, "</B><BR>"},
    {"", ".3. Заводской номер крана &nbsp;. . . . . . . . . . . <B>", &IdentificationView::eNumber, "</B><BR>"},
    {"", ".4. Год изготовления крана . . . . . . . . . . . <B>", &IdentificationView::eYear, " г.</B><BR>"},
    {"", ".5. Информация о владельце крана &nbsp;. . . . <B>", &IdentificationView::eOwner, "</B><BR>"},
    {"", ".6. Грузоподъемность крана . . . . . . . . . . <B>", &IdentificationView::eSumGruz, " т</B><BR>"},
    {"&nbsp;", ".6.1. Грузоподъемность лебедки №1 &nbsp;. . <B>", &IdentificationView::eGruz1, " т</B><BR>"},
    {"&nbsp;", ".6.2. Грузоподъемность лебедки №2 &nbsp;. . <B>", &IdentificationView::eGruz2, " т</B><BR>"},
    {"", ".7. Группа классификации крана . . . . . . <B>", &IdentificationView::eGroup, "</B><BR>"},
    {"", ".8. Дата ввода крана в эксплуатацию &nbsp;. . <B>", &IdentificationView::eEnter, "</B><BR>"},
    {"", ".9. Нормативный срок службы крана &nbsp;. . <B>", &IdentificationView::eSrok, " лет</B><BR>"},
}};

// Sensor rows beyond the recorder's four are not part of the documents.
constexpr std::size_t kSensorRowsShown = 4;

bool blank(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

// "РП-02 / RP02": the slash only stands between two parts that both say something, so a
// recorder without a program name reads "РП-02", not "РП-02 /".
std::string typeAndModification(const std::string& type, const std::string& modification)
{
    if (blank(modification))
        return type;
    if (blank(type))
        return modification;
    return type + "&nbsp;/&nbsp;" + modification;
}

} // namespace

void writeCraneSection(DocumentLines& lines, const std::string& n, const ReportInput& input)
{
    const IdentificationView& id = input.view.identification;
    writeHeading(lines, n, ". Идентификационная информация крана");
    for (const CraneLine& line : kCraneLines)
        lines.push_back(line.prefix + n + line.label + escapeHtml(id.*line.edit) + line.suffix);
    lines.emplace_back(html::kParagraphClose);
}

void writeRecorderSection(DocumentLines& lines, const std::string& n, const ReportInput& input)
{
    const IdentificationView& id = input.view.identification;
    writeHeading(lines, n, ". Идентификационная информация регистратора параметров");
    lines.push_back(n + ".1. Тип и модификация РП . . . . . . . . . . <B>"
        + typeAndModification(escapeHtml(id.eRegType), escapeCaption(id.lVersion)) + "</B><BR>");
    lines.push_back(n + ".2. Заводской номер РП &nbsp;. . . . . . . . . . . . <B>" + escapeHtml(id.eRegNum) + "</B><BR>");
    lines.push_back(n + ".3. Год изготовления РП . . . . . . . . . . . . <B>" + escapeHtml(id.eRegYear) + " г.</B><BR>");
    lines.push_back(n + ".4. Предприятие-изготовитель РП . . . . <B>" + escapeHtml(id.eRegProd) + "</B><BR>");
    // The date picker's value; an impossible date throws and ends the document here.
    lines.push_back(n + ".5. Дата установки РП на кран . . . . . . . <B>"
        + escapeHtml(formatShortDate(id.eRegSetup, input.locale)) + "</B><BR>");
    lines.push_back(n + ".6. Организация, установившая РП на кран &nbsp;. . <B>" + escapeHtml(id.eRegSetupName)
        + "</B><BR>");
    lines.push_back(n + ".7. Параметры настройки датчиков:<BR>");

    lines.emplace_back(html::kRuledTable);
    lines.emplace_back(html::kFirstRowOpen);
    lines.push_back(html::headerCell(40) + "Настройка датчиков</TH>");
    lines.push_back(html::headerCell(30) + "Нормировка Qo</TH>");
    lines.push_back(html::headerCell(30) + "Нормировка Qнoм</TH>");
    const auto& calibr = input.view.settings.calibr;
    for (std::size_t i = 0; i < std::min(calibr.size(), kSensorRowsShown); ++i) {
        lines.emplace_back(html::kNextRowOpen);
        lines.push_back(escapedCell(html::dataCell(40), calibr[i].caption));
        lines.push_back(escapedCell(html::dataCell(30), subItem(calibr[i], 0)));
        lines.push_back(escapedCell(html::dataCell(30), subItem(calibr[i], 1)));
    }
    lines.emplace_back(html::kTableClose);
    lines.emplace_back(html::kParagraphClose);
}

} // namespace kestrel
