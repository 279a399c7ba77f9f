#include "core/reports/ReportDispatch.h"

#include "core/reports/ExceptionClassName.h"
#include "core/reports/ReportDocuments.h"
#include "core/reports/RowLimit.h"
#include "core/text/Cp1251.h"
#include "core/text/SaveNameProposal.h"

#include <stdexcept>

namespace kestrel {

namespace {

class UnknownReportKind : public std::runtime_error {
public:
    explicit UnknownReportKind(int tag)
        : std::runtime_error("Неизвестный вид отчета: " + std::to_string(tag))
    {
    }
};

} // namespace

const std::array<ReportKind, 6> kReportKinds{{
    {1, "ПРОТОКОЛ №1", "Протокол №1 (проверка РП)", "Протокол проверки РП", &writeProtocol1},
    {2, "ПРОТОКОЛ №2", "Протокол №2 (использование крана)", "Протокол проверки эффективности использования крана",
        &writeProtocol2},
    {3, "ПРОТОКОЛ №3", "Протокол №3 (для экспертизы)",
        "Протокол обработки информации РП для составления заключения экспертизы промышленной безопасности крана",
        &writeProtocol3},
    {4, "ПРОТОКОЛ №4", "Протокол №4 (авария крана)", "Протокол обработки информации РП при расследовании аварии крана",
        &writeProtocol4},
    {5, "ЖУРНАЛ", "Журнал (проверка РП)", "Журнал проверки РП при подготовке Протокола №1", &writeJournal},
    {kLifeReportTag, "ОЦЕНКА РАСЧЕТНОГО СРОКА СЛУЖБЫ", "Оценка расчетного срока службы крана",
        "Оценка расчетного срока службы крана по всем считываниям РП в архиве", &writeLifeAssessment, false},
}};

const ReportKind* findReportKind(int tag)
{
    for (const ReportKind& kind : kReportKinds)
        if (kind.tag == tag)
            return &kind;
    return nullptr;
}

std::string fullReportTitle(const std::string& title, const IdentificationView& identification)
{
    return title + " от " + identification.eDateCheck + "  РП №" + identification.eRegNum;
}

std::string reportSaveNameProposal(std::string_view fullTitle) { return saveNameProposal(fullTitle); }

std::string encodeDocument(const DocumentLines& lines)
{
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 2;
    std::string bytes;
    bytes.reserve(size);
    for (const std::string& line : lines) {
        appendCp1251(bytes, line);
        bytes += "\r\n";
    }
    return bytes;
}

std::optional<ReportDocument> buildReportDocument(int tag, const ReportInput& input, UserInterface& ui)
{
    std::string title;
    try {
        const ReportKind* kind = findReportKind(tag);
        if (kind == nullptr)
            throw UnknownReportKind(tag);
        title = kind->title;

        int limit = 0;
        if (kind->listsCycles) {
            const auto limitText = ui.inputText(title, kRowLimitPrompt, std::to_string(input.view.lvLast.size()));
            if (!limitText)
                return std::nullopt;
            const auto typed = parseRowLimit(*limitText);
            if (!typed) {
                ui.showMessage(rowLimitRefusedMessage(*limitText));
                return std::nullopt;
            }
            limit = *typed;
        }

        title = fullReportTitle(title, input.view.identification);

        DocumentLines lines;
        lines.reserve(2048);
        try {
            kind->writer(lines, title, limit, input);
        } catch (const std::exception& error) {
            // The document ends where the writer stopped; what it wrote is still shown.
            ui.showMessage(error.what());
        }
        return ReportDocument{title, encodeDocument(lines)};
    } catch (const std::exception& error) {
        ui.showMessage(kReportFailedMessage + title + "\n" + exceptionClassName(error) + error.what());
        return std::nullopt;
    }
}

} // namespace kestrel
