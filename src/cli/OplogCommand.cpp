#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/TextColumns.h"
#include "core/image/ImageLayout.h"
#include "core/oplog/OperationalChart.h"
#include "core/oplog/OperationalLog.h"
#include "core/oplog/OperationalPages.h"
#include "core/records/CycleRecordLookup.h"
#include "core/text/ControlCharacters.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kestrel::cli {

namespace {

constexpr std::size_t kCycleViewRows = 2 * layout::kRingSlots;

std::string safe(const std::string& text) { return replaceControlCharacters(text, "?"); }

int twoDigits(const std::string& text, std::size_t at, bool& ok)
{
    if (at + 2 > text.size() || text[at] < '0' || text[at] > '9' || text[at + 1] < '0' || text[at + 1] > '9') {
        ok = false;
        return 0;
    }
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

// "dd.MM.yyyy hh:mm " as the lists show it; the closing blank may be left out.
StampBytes parseStamp(const std::string& given)
{
    std::string text = given;
    if (text.size() == 16)
        text += ' ';
    bool ok = text.size() == 17 && text[2] == '.' && text[5] == '.' && text.compare(6, 2, "20") == 0
        && text[10] == ' ' && text[13] == ':' && text[16] == ' ';
    const int day = twoDigits(text, 0, ok);
    const int month = twoDigits(text, 3, ok);
    const int year = twoDigits(text, 8, ok);
    const int hour = twoDigits(text, 11, ok);
    const int minute = twoDigits(text, 14, ok);
    const StampBytes stamp{packBcd(minute), packBcd(hour), packBcd(day), packBcd(month), packBcd(year)};
    if (!ok || !stampIsValid(stamp))
        throw UsageError("--stamp: метка времени пишется как «дд.ММ.гггг чч:мм» (год 2000–2099), а не «" + safe(given) + "»");
    return stamp;
}

long parseNonNegative(const ParsedArgs& args, const std::string& option, long limit)
{
    const auto text = args.value(option);
    if (!text)
        return 0;
    const long value = parseInteger(*text, option);
    if (value < 0 || value > limit)
        throw UsageError(option + ": число должно быть от 0 до " + std::to_string(limit));
    return value;
}

// Values are printed as short as they are exact, to two decimals at most, in every locale.
std::string numberText(double value)
{
    char buffer[64];
    const double rounded = std::round(value * 100.0) / 100.0;
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, rounded);
    return std::string(buffer, result.ptr);
}

std::string colorText(std::uint32_t color)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out(6, '0');
    for (int i = 5; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = kDigits[color & 0x0F];
        color >>= 4;
    }
    return out;
}

void printJson(const OperationalChart& chart, std::ostream& out)
{
    nlohmann::ordered_json doc;
    doc["stamp"] = safe(stampText(chart.stamp));
    doc["found"] = chart.found;
    doc["title"] = safe(chart.title);
    doc["series"] = nlohmann::ordered_json::array();
    for (const ChartSeries& s : chart.series) {
        nlohmann::ordered_json series;
        series["title"] = s.title;
        series["checked"] = s.checked;
        series["points"] = nlohmann::ordered_json::array();
        for (const OperationalPoint& p : s.points) {
            nlohmann::ordered_json point;
            point["label"] = p.label;
            point["value"] = p.value ? nlohmann::ordered_json(*p.value) : nlohmann::ordered_json(nullptr);
            if (p.color)
                point["color"] = colorText(*p.color);
            series["points"].push_back(std::move(point));
        }
        doc["series"].push_back(std::move(series));
    }
    doc["pages"] = nlohmann::ordered_json::object();
    for (PageChoice choice : kPageChoices)
        doc["pages"][std::string(pageChoiceTitle(choice))] = pageCount(choice, chart.pointCount());
    out << jsonText(doc) << "\n";
}

// One line per point: the time label, then each series' value; "—" marks a null point
// and the service column also names the event and its bar colour.
void printText(const OperationalChart& chart, std::ostream& out)
{
    if (!chart.found) {
        out << safe(chart.message) << "\n";
        return;
    }
    out << safe(chart.title) << "\n";
    out << "Страниц:";
    for (PageChoice choice : kPageChoices)
        out << " «" << pageChoiceTitle(choice) << "» " << pageCount(choice, chart.pointCount())
            << (choice == PageChoice::WholeCycle ? "\n" : ",");
    out << "Ряды:";
    for (const ChartSeries& s : chart.series)
        out << " [" << (s.checked ? 'x' : ' ') << "] " << s.title << (&s == &chart.series.back() ? "\n" : ",");

    std::vector<std::vector<std::string>> table;
    table.push_back({"Время"});
    for (const ChartSeries& s : chart.series)
        table.back().push_back(s.title);
    for (std::size_t i = 0; i < chart.pointCount(); ++i) {
        std::vector<std::string> row{safe(chart.series[0].points[i].label)};
        for (const ChartSeries& s : chart.series) {
            const OperationalPoint& p = s.points[i];
            std::string cell = p.value ? numberText(*p.value) : "—";
            if (p.color)
                cell += " " + safe(p.label) + " #" + colorText(*p.color);
            row.push_back(cell);
        }
        table.push_back(std::move(row));
    }
    std::vector<std::size_t> widths(table.front().size(), 0);
    for (const auto& row : table)
        for (std::size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], displayWidth(row[c]));
    for (const auto& row : table) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c)
            line += padded(row[c], c + 1 < row.size() ? widths[c] + 2 : 0, false);
        out << line << "\n";
    }
}

// The stamp of a cycle view row, found by its date text as a click on the list finds it.
StampBytes rowStamp(const Session& session, long row)
{
    const auto index = static_cast<std::size_t>(row);
    const auto& list = index < layout::kRingSlots ? session.view.lvLast : session.view.lvStop;
    const std::size_t inList = index % layout::kRingSlots;
    const std::string dateText = inList < list.size() ? list[inList].caption : session.cycleRows[index].dateText;
    const auto record = findCycleRecord(session.image, dateText);
    if (!record)
        throw UsageError("--row " + std::to_string(row) + ": в этой строке нет записи с меткой времени");
    return record->stamp;
}

} // namespace

void declareOplog(CommandSyntax& syntax)
{
    syntax
        .synopsis("oplog IMAGE.bbd (--stamp \"dd.MM.yyyy hh:mm \" | --row N) [--next K] [--yes] [--json]")
        .describe("Участок оперативного журнала цикла, как его показывает окно «Оперативная информация»: "
                  "заголовок, число страниц, отметки рядов и по строке на точку.")
        .argument("IMAGE.bbd", "файл данных")
        .option("--stamp", "\"dd.MM.yyyy hh:mm \"", "метка времени цикла, как ее показывают списки (последний "
                                                    "пробел можно опустить)")
        .option("--row", "N", "строка N из 64 строк списков циклов: 0–31 рабочие циклы, 32–63 срабатывания "
                              "ограничителя")
        .option("--next", "K", "затем K раз нажать «След.»");
    declareYesOption(syntax);
    syntax.flag("--json", "вывод в JSON: значения после масштабирования, числа без учета формата");
}

int runOplog(const ParsedArgs& args, std::ostream& out, std::ostream& err)
{
    if (args.value("--stamp").has_value() == args.value("--row").has_value())
        throw UsageError("нужен ровно один из параметров --stamp и --row");
    std::optional<StampBytes> stamp;
    if (const auto text = args.value("--stamp"))
        stamp = parseStamp(*text);
    const long row = parseNonNegative(args, "--row", static_cast<long>(kCycleViewRows) - 1);
    // A time mark takes at least six bytes, so more steps than that many sections only go
    // round the log again; the bound keeps the work short.
    const long nextSteps = parseNonNegative(args, "--next", static_cast<long>(kOplogPositions / 6));

    Session session;
    CliUserInterface ui(err, args.flag("--yes"));
    if (const int code = openSession(args, args.positional()[0], session, ui, err); code != kExitOk)
        return code;
    if (!stamp)
        stamp = rowStamp(session, row);

    OperationalChart chart = showOperationalSection(session.image, *stamp);
    for (long i = 0; i < nextSteps; ++i) {
        NextSectionResult next = showNextOperationalSection(session.image, chart);
        if (!next.found) {
            // As in the window: the text is shown and the chart stays as it was.
            err << next.message << "\n";
            break;
        }
        chart = std::move(next.chart);
    }

    if (args.flag("--json")) {
        if (!chart.found)
            err << chart.message << "\n";
        printJson(chart, out);
    }
    else
        printText(chart, out);
    return kExitOk;
}

} // namespace kestrel::cli
