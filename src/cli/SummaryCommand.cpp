#include "cli/CliSession.h"
#include "cli/CommandOptions.h"
#include "cli/Commands.h"
#include "cli/SummaryTable.h"
#include "cli/TextColumns.h"
#include "core/export/FleetSummaryWorkbook.h"
#include "core/export/XlsxWorkbook.h"
#include "core/image/Checksum.h"
#include "core/image/DataFile.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"
#include "core/pipeline/Pipeline.h"
#include "core/stats/StatisticsTexts.h"
#include "core/text/ControlCharacters.h"
#include "core/ui/ScriptedUserInterface.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <exception>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace kestrel::cli {

namespace {

namespace fs = std::filesystem;
using namespace kestrel::fleet; // the columns, shared with the workbook

constexpr const char* kChecksumGood = "верна";
constexpr const char* kChecksumBad = "неправильная";

bool rightAligned(std::size_t column)
{
    return column == kKp || column == kCycles || column == kMass || column == kMotorHours || column == kTrips;
}

using SummaryLine = FleetSummaryLine;

std::string oneLine(std::string text)
{
    std::replace(text.begin(), text.end(), '\n', ' ');
    // Some messages begin their continuation line with a blank.
    for (auto at = text.find("  "); at != std::string::npos; at = text.find("  "))
        text.erase(at, 1);
    return text;
}

std::string withoutTrailingBlank(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

// FileError carries "NAME: reason"; the name already stands in the first column.
std::string reasonOf(const std::exception& e, const std::string& fileName)
{
    std::string text = e.what();
    const std::string prefix = fileName + ": ";
    if (text.rfind(prefix, 0) == 0)
        text.erase(0, prefix.size());
    return oneLine(text);
}

// Runs the file through the program's own pipeline steps, as opening it in the window
// would, answering Yes to the checksum question so that a bad checksum still gets its
// figures. Only the steps whose texts the table shows run: no distribution or lists.
// The session is reused between files; a file whose steps fail gets no figures, so
// nothing of an earlier file can show.
SummaryLine summarise(const std::string& fileName, Session& session)
{
    SummaryLine line;
    line.cells[kFile] = fileName;
    std::size_t size = 0;
    try {
        session.image = readImageFile(fileName, &size);
        line.read = true;
    } catch (const std::exception& e) {
        line.error = reasonOf(e, fileName);
        return line;
    }
    if (size < kImageSize) {
        // The rest of the image would be zero padding, and every figure from it made up.
        line.error = "файл короче образа памяти: " + std::to_string(size) + " из " + std::to_string(kImageSize) + " байт";
        return line;
    }
    ScriptedUserInterface ui;
    resetPeriodStart(session);
    showIdentification(session, ui);
    decodeRecords(session, ui);
    calcClassification(session, ui);
    session.view.statistics = statisticsTexts(session.stats, session.locale);
    if (!ui.messages.empty()) {
        for (const auto& m : ui.messages)
            line.error += (line.error.empty() ? "" : " ") + oneLine(m);
        return line;
    }

    const auto& id = session.view.identification;
    const auto& st = session.view.statistics;
    line.cells[kCraneType] = id.eMarka;
    line.cells[kCraneNumber] = id.eNumber;
    line.cells[kRecorderNumber] = id.eRegNum;
    line.cells[kReadingDate] = withoutTrailingBlank(id.eDateCheck);
    line.cells[kInstallationDate] = id.eStartDateCheck; // the period starts on the installation date
    line.installationDate = session.periodStart;
    try {
        line.readingDate = stampToDateTime(stampAt(session.image, layout::kReadingStamp));
    } catch (const DateConversionError&) {
        line.readingDate = 0.0; // 31 February: the text stays, there is no date
    }
    line.cells[kKp] = st.eKp;
    line.cells[kQ] = st.eQi;
    line.cells[kU] = st.eUi;
    line.cells[kA] = st.eAi;
    line.cells[kCycles] = st.eNcicl;
    line.cells[kMass] = st.eMass;
    line.cells[kMotorHours] = st.eMoto;
    line.cells[kTrips] = st.eStop;
    line.cells[kChecksum] = checksumOk(session.image) ? kChecksumGood : kChecksumBad;
    return line;
}

// Summarises the lines that name a file (those without an error yet), on every core:
// the files are independent, and the table keeps its order.
void summariseAll(std::vector<SummaryLine>& lines, const DisplayLocale& locale)
{
    std::vector<std::size_t> pending;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].error.empty())
            pending.push_back(i);
    const std::size_t workers = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        auto session = std::make_unique<Session>();
        session->locale = locale;
        for (std::size_t k = next++; k < pending.size(); k = next++) {
            SummaryLine& line = lines[pending[k]];
            line = summarise(line.cells[kFile], *session);
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t w = 1; w < std::min(workers, pending.size()); ++w)
        threads.emplace_back(work);
    work();
    for (auto& t : threads)
        t.join();
}

} // namespace

// Files named directly are taken as they are; a directory gives its *.bbd files sorted by name.
// A directory that cannot be listed gets a line of its own.
SummaryTable summaryTable(const std::vector<std::string>& arguments, const DisplayLocale& locale)
{
    std::vector<SummaryLine> lines;
    auto add = [&](const std::string& fileName) {
        lines.emplace_back();
        lines.back().cells[kFile] = fileName;
    };
    for (const auto& argument : arguments) {
        std::error_code ec;
        if (!fs::is_directory(argument, ec)) {
            add(argument);
            continue;
        }
        std::vector<fs::path> files;
        for (fs::directory_iterator it(argument, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code typeError;
            if (!it->is_directory(typeError) && hasDataFileExtension(it->path().filename().string()))
                files.push_back(it->path());
        }
        if (ec) {
            SummaryLine failed;
            failed.cells[kFile] = argument;
            failed.error = ec.message();
            lines.push_back(failed);
            continue;
        }
        std::sort(files.begin(), files.end(),
            [](const fs::path& a, const fs::path& b) { return a.filename().string() < b.filename().string(); });
        for (const auto& f : files)
            add(f.string());
    }
    summariseAll(lines, locale);
    // Texts from recorders' memories and file names may hold control characters (an ESC
    // in a crane name); they never reach the terminal as such.
    for (SummaryLine& line : lines) {
        for (std::string& cell : line.cells)
            cell = replaceControlCharacters(cell, "?");
        line.error = replaceControlCharacters(line.error, "?");
    }
    const bool anyRead = std::any_of(lines.begin(), lines.end(), [](const SummaryLine& l) { return l.read; });
    return {std::move(lines), anyRead};
}

namespace {

void printTable(std::ostream& out, const std::vector<SummaryLine>& lines)
{
    std::array<std::size_t, kColumnCount> width{};
    for (std::size_t c = 0; c < kColumnCount; ++c)
        width[c] = displayWidth(kHeader[c]);
    for (const auto& line : lines)
        for (std::size_t c = 0; c < kColumnCount; ++c)
            if (line.error.empty() || c == kFile)
                width[c] = std::max(width[c], displayWidth(line.cells[c]));

    auto printRow = [&](const std::array<std::string, kColumnCount>& cells) {
        for (std::size_t c = 0; c < kColumnCount; ++c) {
            if (c != 0)
                out << "  ";
            if (c + 1 == kColumnCount)
                out << cells[c]; // no trailing blanks
            else
                out << padded(cells[c], width[c], rightAligned(c));
        }
        out << "\n";
    };
    std::array<std::string, kColumnCount> header;
    std::copy(kHeader.begin(), kHeader.end(), header.begin());
    printRow(header);
    for (const auto& line : lines) {
        if (line.error.empty()) {
            printRow(line.cells);
        } else {
            out << padded(line.cells[kFile], width[kFile], false);
            out << "  " << line.error << "\n";
        }
    }
}

// RFC 4180: CR LF line ends, a header row, quotes only where a field needs them.
void printCsv(std::ostream& out, const std::vector<SummaryLine>& lines)
{
    for (std::size_t c = 0; c < kColumnCount; ++c)
        out << csvField(kHeader[c]) << ",";
    out << csvField(kErrorHeader) << "\r\n";
    for (const auto& line : lines) {
        for (std::size_t c = 0; c < kColumnCount; ++c)
            out << csvField(line.cells[c]) << ",";
        out << csvField(line.error) << "\r\n";
    }
}

} // namespace

void declareSummary(CommandSyntax& syntax)
{
    syntax
        .describe("По строке на файл данных: файл, тип и заводской номер крана, номер РП, даты считывания и "
                  "установки, Kp, Q, U, A, циклы, масса поднятых грузов, моточасы, срабатывания ограничителя, "
                  "контрольная сумма; для файла, который не удалось обработать, - причина.")
        .argument("DIR_OR_FILES", "файлы данных или папки (из папки берутся ее файлы *.bbd)", Arity::OneOrMore);
    syntax.flag("--csv", "вывод в CSV (RFC 4180) с колонкой «Ошибка»");
    syntax.flag("--xlsx", "книга Excel (лист «Сводка»: числа - числами, даты - датами) в файл -o");
    syntax.option("-o", "FLEET.xlsx", "файл книги Excel (только с --xlsx)");
    declareLocaleOption(syntax);
}

int runSummary(const ParsedArgs& args, std::ostream& out, std::ostream& err)
{
    const auto localeName = args.value("--locale");
    // The environment's locale unless one is named, as show and report do.
    const DisplayLocale locale = localeName ? DisplayLocale::fromName(*localeName) : DisplayLocale::system();

    const bool workbook = args.flag("--xlsx");
    if (workbook && args.flag("--csv"))
        throw UsageError("--csv и --xlsx вместе не задаются: выберите один вид вывода");
    if (workbook && !args.value("-o"))
        throw UsageError("--xlsx: не задан файл книги (-o FLEET.xlsx)");
    if (!workbook)
        refuseOption(args, "-o", "файл задается только для книги Excel (--xlsx); таблица и CSV выводятся в stdout");

    const SummaryTable table = summaryTable(args.positional(), locale);
    const auto& lines = table.lines;
    if (workbook) {
        try {
            writeFleetSummaryWorkbook(lines, locale, *args.value("-o"));
        } catch (const XlsxError& e) {
            err << "kestrel-cli summary: " << e.what() << "\n";
            return kExitFileError;
        }
    } else if (args.flag("--csv")) {
        printCsv(out, lines);
    } else {
        printTable(out, lines);
    }
    if (!table.anyRead) {
        err << "kestrel-cli summary: "
            << (lines.empty() ? "файлы данных (*.bbd) не найдены" : "ни один файл данных не удалось прочитать") << "\n";
        return kExitFileError;
    }
    return kExitOk;
}

} // namespace kestrel::cli
