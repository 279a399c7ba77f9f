#include "cli/ArchiveOption.h"
#include "cli/CliSession.h"
#include "cli/CommandOptions.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/ServerOption.h"
#include "cli/TextColumns.h"
#include "core/fleet/FleetOverview.h"
#include "core/text/ControlCharacters.h"

#include <charconv>
#include <ctime>
#include <ostream>

namespace kestrel::cli {

namespace {

// "2026-06-01" → that day; nullopt for anything else.
std::optional<DateTime> parseIsoDay(const std::string& text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    int parts[3] = {};
    const std::pair<std::size_t, std::size_t> fields[3] = {{0, 4}, {5, 2}, {8, 2}};
    for (int i = 0; i < 3; ++i) {
        const char* begin = text.data() + fields[i].first;
        const char* end = begin + fields[i].second;
        const auto [ptr, ec] = std::from_chars(begin, end, parts[i]);
        if (ec != std::errc() || ptr != end)
            return std::nullopt;
    }
    try {
        return encodeDateTime(parts[0], parts[1], parts[2], 0, 0);
    } catch (const DateConversionError&) {
        return std::nullopt;
    }
}

// The computer's local calendar day: "days since" counts as the user's wall calendar does.
DateTime localToday()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return encodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, 0, 0);
}

nlohmann::ordered_json textOrNull(const std::string& text)
{
    return text.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(text);
}

void printJson(const FleetOverview& overview, std::ostream& out)
{
    nlohmann::ordered_json document;
    document["readings"] = overview.readings;
    document["damaged"] = overview.damaged;
    document["note"] = textOrNull(overview.note);
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const FleetRow& row : overview.rows) {
        nlohmann::ordered_json item;
        item["crane_type"] = row.craneType;
        item["crane_number"] = row.craneNumber;
        item["owner"] = row.owner;
        item["recorder"] = row.recorder;
        nlohmann::ordered_json last = nullptr;
        if (row.newestId != 0 && row.lastReading > 0.0)
            last = isoDay(row.lastReading);
        item["last_reading"] = last;
        item["days_since"] = row.daysSince ? nlohmann::ordered_json(*row.daysSince) : nlohmann::ordered_json(nullptr);
        item["cycles"] = row.newestId != 0 ? nlohmann::ordered_json(row.cycles) : nlohmann::ordered_json(nullptr);
        item["used_percent"]
            = row.usedPercent ? nlohmann::ordered_json(*row.usedPercent) : nlohmann::ordered_json(nullptr);
        item["verdict"] = row.verdict;
        item["near_limit"] = row.nearLimit;
        item["overdue"] = row.overdue;
        item["newest_id"] = row.newestId != 0 ? nlohmann::ordered_json(row.newestId) : nlohmann::ordered_json(nullptr);
        item["readings"] = row.readings;
        item["damaged"] = row.damaged;
        rows.push_back(std::move(item));
    }
    document["cranes"] = std::move(rows);
    out << jsonText(document) << "\n";
}

bool rightAligned(std::size_t column)
{
    return column == kFleetDaysSince || column == kFleetCycles || column == kFleetUsed;
}

void printTable(const FleetOverview& overview, std::ostream& out)
{
    std::vector<std::vector<std::string>> rows{{kFleetHeader.begin(), kFleetHeader.end()}};
    for (const FleetRow& row : overview.rows) {
        rows.emplace_back(row.texts.begin(), row.texts.end());
        for (std::string& cell : rows.back())
            cell = replaceControlCharacters(cell, "?");
    }
    out << formatColumns(rows, rightAligned);
    out << "Кранов: " << overview.rows.size() << ", считываний: " << overview.readings << "\n";
    if (!overview.note.empty())
        out << overview.note << "\n";
}

// RFC 4180 with CR LF, as `summary --csv`; the marks as words in their column.
void printCsv(const FleetOverview& overview, std::ostream& out)
{
    for (std::size_t c = 0; c < kFleetColumnCount; ++c)
        out << csvField(kFleetHeader[c]) << (c + 1 < kFleetColumnCount ? "," : "\r\n");
    for (const FleetRow& row : overview.rows)
        for (std::size_t c = 0; c < kFleetColumnCount; ++c)
            out << csvField(row.texts[c]) << (c + 1 < kFleetColumnCount ? "," : "\r\n");
}

} // namespace

void declareFleet(CommandSyntax& syntax)
{
    syntax
        .describe("Парк кранов: по строке на кран архива - тип и заводской номер крана, владелец, номер РП, дата "
                  "последнего считывания и дней с него, циклы, использованная доля расчетного срока службы и "
                  "заключение. Отмечены краны, использовавшие 90 % расчетного срока и более, и краны, не "
                  "считывавшиеся больше года. Поврежденные считывания пропускаются.")
        .option("--archive", "DB", "архив считываний (по умолчанию архив пользователя)")
        .option("--server", "CONNINFO", "сервер команды (строка подключения libpq) вместо архива");
    syntax.flag("--json", "вывод в JSON: числа без учета формата, даты как ГГГГ-ММ-ДД");
    syntax.flag("--csv", "вывод в CSV (RFC 4180)");
    syntax.option("--today", "ГГГГ-ММ-ДД", "день, до которого считаются дни с последнего считывания "
                                           "(по умолчанию сегодня)");
    declareLocaleOption(syntax);
}

int runFleet(const ParsedArgs& args, std::ostream& out, std::ostream& err)
{
    if (args.flag("--json") && args.flag("--csv"))
        throw UsageError("--json и --csv вместе не задаются: выберите один вид вывода");
    if (args.value("--archive") && args.value("--server"))
        throw UsageError("--archive и --server вместе не задаются: выберите архив или сервер");
    DateTime today = 0.0;
    if (const auto given = args.value("--today")) {
        const auto day = parseIsoDay(*given);
        if (!day)
            throw UsageError("--today: дата пишется как ГГГГ-ММ-ДД, а не «" + *given + "»");
        today = *day;
    } else {
        today = localToday();
    }
    const auto localeName = args.value("--locale");
    const DisplayLocale locale = localeName ? DisplayLocale::fromName(*localeName) : DisplayLocale::system();

    FleetOverview overview;
    try {
        const auto archive = args.value("--server") ? openServerOption(args) : openArchiveOption(args);
        if (!archive)
            throw UsageError(kNoArchiveSupportMessage);
        overview = fleetOverview(*archive, today, locale);
    } catch (const ArchiveError& e) {
        err << "kestrel-cli fleet: " << replaceControlCharacters(e.what(), "?") << "\n";
        return kExitFileError;
    }
    if (args.flag("--json"))
        printJson(overview, out);
    else if (args.flag("--csv"))
        printCsv(overview, out);
    else
        printTable(overview, out);
    if (!overview.note.empty() && (args.flag("--json") || args.flag("--csv")))
        err << "kestrel-cli fleet: " << overview.note << "\n";
    return kExitOk;
}

} // namespace kestrel::cli
