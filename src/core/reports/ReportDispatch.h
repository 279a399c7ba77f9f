#pragma once

#include "core/reports/DocumentLines.h"
#include "core/reports/ReportInput.h"
#include "core/ui/UserInterface.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

using ReportWriter = void (*)(DocumentLines&, const std::string& fullTitle, int limit, const ReportInput&);

// One of the documents as the report menus offer it; the tag is the menu item's.
struct ReportKind {
    int tag;
    const char* title;
    const char* menuCaption;
    const char* hint;
    ReportWriter writer;
    bool listsCycles = true; // asks how many cycles to list
};

extern const std::array<ReportKind, 6> kReportKinds;

// The design working period's document.
inline constexpr int kLifeReportTag = 6;

// The document the tool buttons' faces produce (their menus name each one).
inline constexpr int kToolButtonReportTag = 2;

// What becomes of the document after it is written.
enum class ReportMode { Preview = 0, Print = 1, Save = 2 };

// The three tool buttons that open the report menus, one per mode.
struct ReportToolButton {
    ReportMode mode;
    const char* name;
    const char* caption;
    const char* hint;
};

inline constexpr std::array<ReportToolButton, 3> kReportToolButtons{{
    {ReportMode::Preview, "tbPreview", "Просмотр", "Просмотр протоколов обработки информации РП"},
    {ReportMode::Print, "tbPrint", "Печать", "Печать протоколов обработки информации РП"},
    {ReportMode::Save, "tbSaveHTML", "HTML", "Сохранить протоколы обработки информации РП в файле формата HTML"},
}};

inline constexpr const char* kRowLimitPrompt = "Введите максимальное количество отображаемых циклов:";
inline constexpr const char* kReportFailedMessage = "Ошибка формирования:\n ";
inline constexpr const char* kTemporaryReportFileName = "$temp$.html";
inline constexpr const char* kReportsFolderName = "Отчеты";
inline constexpr const char* kSaveReportDialogTitle = "Сохранение протокола РП";
inline constexpr const char* kSaveReportFilter = "Файл отчета (*.html)|*.html";
inline constexpr const char* kSaveReportDefaultExtension = "html";
inline constexpr const char* kReportNotSavedMessage = "Файл не сохранен!";

// The kind with this tag, or nullptr.
const ReportKind* findReportKind(int tag);

// Title + " от " + reading date and time + "  РП №" + recorder number.
std::string fullReportTitle(const std::string& title, const IdentificationView& identification);

// File name offered when saving: "." → "_", ":" removed, what no file name holds → "_".
std::string reportSaveNameProposal(std::string_view fullTitle);

// The file's bytes: every line in Windows-1251 followed by CR LF.
std::string encodeDocument(const DocumentLines& lines);

struct ReportDocument {
    std::string fullTitle;
    std::string bytes; // Windows-1251, CR LF
};

// Asks the row limit (nullopt on cancel) when the document lists cycles, writes the document of `tag` and
// encodes it. A writer's failure is shown by its message and the part written
// so far is still returned; any other failure is shown as "Ошибка формирования"
// with the title as far as it was built, and gives nullopt.
std::optional<ReportDocument> buildReportDocument(int tag, const ReportInput& input, UserInterface& ui);

} // namespace kestrel
