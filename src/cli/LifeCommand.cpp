#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/LifeInput.h"
#include "cli/TextColumns.h"
#include "core/life/HistoryView.h"
#include "core/text/ControlCharacters.h"

#include <memory>
#include <ostream>

namespace kestrel::cli {

namespace {

std::string trimmedText(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

nlohmann::ordered_json number(const std::optional<double>& value)
{
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

nlohmann::ordered_json dutyJson(const DutyAssessment& duty)
{
    nlohmann::ordered_json item;
    item["group"] = duty.group.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(duty.group);
    item["design_duty"] = number(duty.designDuty);
    item["recorded_duty"] = duty.recordedDuty;
    item["years_recorded"] = duty.yearsRecorded;
    item["rate_per_year"] = duty.ratePerYear;
    item["years_before_recorder"] = duty.yearsBeforeRecorder;
    item["estimated_duty_before"] = duty.estimatedDutyBefore;
    item["used_duty"] = duty.usedDuty;
    item["used_share"] = number(duty.usedShare);
    item["remaining_duty"] = number(duty.remainingDuty);
    item["years_left"] = number(duty.yearsLeft);
    item["verdict"] = duty.verdict;
    return item;
}

nlohmann::ordered_json winchJson(const std::optional<DutyAssessment>& duty)
{
    return duty ? dutyJson(*duty) : nlohmann::ordered_json(nullptr);
}

void printJson(const LifeOfImage& life, std::ostream& out)
{
    nlohmann::ordered_json document;
    document["crane"] = dutyJson(life.assessment.crane);
    document["winch1"] = winchJson(life.assessment.winch1);
    document["winch2"] = winchJson(life.assessment.winch2);
    document["readings"] = life.readings;
    out << jsonText(document) << "\n";
}

void printText(const Session& session, const LifeOfImage& life, std::ostream& out)
{
    const IdentificationView& id = session.view.identification;
    out << replaceControlCharacters("Оценка расчетного срока службы крана " + id.eMarka + " № " + id.eNumber + " (РП № "
                                        + id.eRegNum + "), считывание " + trimmedText(id.eDateCheck),
               "?")
        << "\n";
    out << "Считываний РП: " << life.readings << (life.fromArchive ? " (с архивом)" : " (без архива)") << "\n\n";

    // The winch columns only for the winches assessed.
    const std::size_t columns = life.assessment.winch2 ? 4 : life.assessment.winch1 ? 3 : 2;
    std::vector<std::vector<std::string>> rows{{"Показатель", "Кран", "Лебедка №1", "Лебедка №2"}};
    for (const auto& row : lifeRows(life.assessment, session.locale))
        rows.emplace_back(row.begin(), row.end());
    for (auto& row : rows)
        row.resize(columns);
    out << formatColumns(rows, [](std::size_t column) { return column > 0; });
    out << "\n";
    for (const std::string& verdict : lifeVerdicts(life.assessment))
        out << verdict << "\n";
}

} // namespace

int runLife(const Args& argv, std::ostream& out, std::ostream& err)
{
    auto valued = kLifeOptions;
    valued.insert("--locale");
    const ArgParser args(argv, valued, {"--yes", "--json"});
    if (args.positional().size() != 1)
        throw UsageError("нужен один файл данных");

    auto session = std::make_unique<Session>();
    CliUserInterface ui(err, args.flag("--yes"));
    if (const int code = openSession(args, args.positional()[0], *session, ui, err); code != kExitOk)
        return code;
    LifeOfImage life;
    try {
        life = assessImage(args, session->image, session->locale);
    } catch (const ArchiveError& e) {
        err << "kestrel-cli life: " << replaceControlCharacters(e.what(), "?") << "\n";
        return kExitFileError;
    }
    if (args.flag("--json"))
        printJson(life, out);
    else
        printText(*session, life, out);
    return kExitOk;
}

} // namespace kestrel::cli
