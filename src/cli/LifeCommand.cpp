#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/LifeInput.h"
#include "cli/TextColumns.h"
#include "core/life/HistoryView.h"
#include "core/text/ControlCharacters.h"

#include <charconv>
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

nlohmann::ordered_json sourceJson(GroupSource source)
{
    switch (source) {
    case GroupSource::Passport:
        return "passport";
    case GroupSource::User:
        return "user";
    case GroupSource::None:
        break;
    }
    return nullptr;
}

// "1990-05-12": dates in JSON do not follow the display locale.
nlohmann::ordered_json isoDate(const std::optional<DateTime>& value)
{
    if (!value)
        return nullptr;
    return isoDay(*value);
}

nlohmann::ordered_json normativeJson(const NormativeLife& life, const DisplayLocale& locale)
{
    nlohmann::ordered_json item;
    item["years"] = life.years > 0 ? nlohmann::ordered_json(life.years) : nlohmann::ordered_json(nullptr);
    item["start"] = isoDate(life.start);
    item["start_basis"] = life.basis == NormativeStart::Commissioning ? nlohmann::ordered_json("commissioning")
        : life.basis == NormativeStart::Manufacture                  ? nlohmann::ordered_json("manufacture")
                                                                      : nlohmann::ordered_json(nullptr);
    item["end"] = isoDate(life.end);
    item["passed"] = life.passed ? nlohmann::ordered_json(*life.passed) : nlohmann::ordered_json(nullptr);
    item["verdict"] = normativeVerdict(life, locale);
    return item;
}

nlohmann::ordered_json dutyJson(const DutyAssessment& duty, GroupSource source)
{
    nlohmann::ordered_json item;
    item["group"] = duty.group.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(duty.group);
    item["group_source"] = sourceJson(duty.group.empty() ? GroupSource::None : source);
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
    return duty ? dutyJson(*duty, GroupSource::User) : nlohmann::ordered_json(nullptr);
}

void printJson(const LifeOfImage& life, const DisplayLocale& locale, std::ostream& out)
{
    const LifeAssessment& a = life.assessment;
    nlohmann::ordered_json document;
    document["reading"] = {{"date", a.reading.readingText}, {"recorder_type", a.reading.recorderType},
        {"recorder_number", a.reading.recorderNumber}};
    document["group_source"] = sourceJson(a.crane.group.empty() ? GroupSource::None : a.groupSource);
    document["crane"] = dutyJson(a.crane, a.groupSource);
    document["winch1"] = winchJson(a.winch1);
    document["winch2"] = winchJson(a.winch2);
    document["normative_life"] = normativeJson(a.normative, locale);
    document["verdicts"] = lifeVerdicts(a, locale);
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
    out << normativeLifeText(life.assessment.normative, session.locale) << "\n\n";
    for (const std::string& verdict : lifeVerdicts(life.assessment, session.locale))
        out << verdict << "\n";
}

} // namespace

void declareLife(CommandSyntax& syntax)
{
    syntax
        .describe("Оценка расчетного срока службы крана на дату считывания IMAGE.bbd по более ранним считываниям "
                  "его регистратора из архива и по классам крана, сохраненным в архиве; параметры их заменяют "
                  "и сохраняются.")
        .argument("IMAGE.bbd", "файл данных");
    declareLifeOptions(syntax);
    declareYesOption(syntax);
    declareLocaleOption(syntax);
    syntax.flag("--json", "вывод в JSON: числа без учета формата, null там, где числа нет");
}

int runLife(const ParsedArgs& args, std::ostream& out, std::ostream& err)
{

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
    for (const std::string& note : life.notes)
        err << "kestrel-cli life: " << replaceControlCharacters(note, "?") << "\n";
    if (args.flag("--json"))
        printJson(life, session->locale, out);
    else
        printText(*session, life, out);
    return kExitOk;
}

} // namespace kestrel::cli
