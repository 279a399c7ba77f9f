#include "core/export/XlsxWorkbook.h"

#include "core/files/SystemErrorText.h"
#include "core/text/ControlCharacters.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>

#ifdef KESTREL_HAVE_XLSX
#include <xlsxwriter.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <stdexcept>
#include <system_error>
#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#endif
#endif

namespace kestrel {

namespace {

// Days since 30 December 1899 are Excel's serial dates from 1 March 1900 on (Excel
// counts a 29 February 1900 that never was); 2958466 is 1 January 10000.
constexpr double kFirstExcelDate = 61.0;
constexpr double kPastLastExcelDate = 2958466.0;

constexpr std::size_t kMaxSheetNameLength = 31;
constexpr std::size_t kMaxRows = 1048576;
constexpr std::size_t kMaxColumns = 16384;
constexpr std::size_t kMaxTextLength = 32767;

std::size_t codePoints(const std::string& text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// What a cell shows, for its column's width.
std::size_t shownLength(const XlsxCell& cell)
{
    if (cell.kind == XlsxCell::Kind::Date)
        return cell.withTime ? 16 : 10; // dd.mm.yyyy hh:mm
    return codePoints(cell.text);
}

} // namespace

XlsxCell textCell(const std::string& text)
{
    XlsxCell cell;
    cell.kind = text.empty() ? XlsxCell::Kind::Empty : XlsxCell::Kind::Text;
    cell.text = text;
    return cell;
}

XlsxCell numberCell(const std::string& shown, const DisplayLocale& locale)
{
    // Only what formatFixed and integers print: [-]digits[separator digits]. Anything
    // else (a class "Q3", a dash for "unknown") is kept as the text the user sees.
    std::size_t at = shown.size() > 1 && shown[0] == '-' ? 1 : 0;
    const std::size_t integerStart = at;
    while (at < shown.size() && isDigit(shown[at]))
        ++at;
    if (at == integerStart)
        return textCell(shown);
    int decimals = 0;
    std::string plain = shown.substr(0, at);
    if (at < shown.size()) {
        if (shown[at] != locale.decimalSeparator)
            return textCell(shown);
        ++at;
        const std::size_t fractionStart = at;
        while (at < shown.size() && isDigit(shown[at]))
            ++at;
        if (at == fractionStart || at != shown.size())
            return textCell(shown);
        decimals = static_cast<int>(at - fractionStart);
        plain += '.' + shown.substr(fractionStart);
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value))
        return textCell(shown);
    XlsxCell cell;
    cell.kind = XlsxCell::Kind::Number;
    cell.text = shown;
    cell.value = value;
    cell.decimals = std::min(decimals, 15);
    return cell;
}

XlsxCell dateCell(DateTime value, const std::string& shown)
{
    if (!std::isfinite(value) || value < kFirstExcelDate || value >= kPastLastExcelDate)
        return textCell(shown);
    XlsxCell cell;
    cell.kind = XlsxCell::Kind::Date;
    cell.text = shown;
    cell.value = value;
    cell.withTime = shown.find(':') != std::string::npos;
    return cell;
}

double xlsxColumnWidth(const XlsxSheet& sheet, std::size_t column)
{
    // A bold header also carries the autofilter's button: three characters more.
    double width = column < sheet.header.size() ? static_cast<double>(codePoints(sheet.header[column])) + 3.0 : 0.0;
    for (const auto& row : sheet.rows)
        if (column < row.size())
            width = std::max(width, static_cast<double>(shownLength(row[column])) + 2.0);
    return std::clamp(width, 4.0, kXlsxMaxColumnWidth);
}

namespace {

XlsxError failure(const std::string& path, const std::string& reason)
{
    return XlsxError("Файл Excel " + path + " не записан: " + reason);
}

// The sheet names Excel accepts; a workbook Excel would refuse is refused here.
void checkSheets(const XlsxWorkbook& workbook, const std::string& path)
{
    if (workbook.sheets.empty())
        throw failure(path, "в книге нет ни одного листа");
    std::set<std::string> names;
    for (const XlsxSheet& sheet : workbook.sheets) {
        const bool badName = sheet.name.empty() || codePoints(sheet.name) > kMaxSheetNameLength
            || sheet.name.find_first_of("[]:*?/\\") != std::string::npos || sheet.name.front() == '\''
            || sheet.name.back() == '\'';
        if (badName)
            throw failure(path, "недопустимое имя листа \"" + sheet.name + "\"");
        if (!names.insert(sheet.name).second)
            throw failure(path, "два листа с именем \"" + sheet.name + "\"");
        std::size_t columns = sheet.header.size();
        for (const auto& row : sheet.rows)
            columns = std::max(columns, row.size());
        if (sheet.rows.size() + 1 > kMaxRows || columns > kMaxColumns)
            throw failure(path, "лист \"" + sheet.name + "\" больше, чем допускает Excel");
    }
}

} // namespace

#ifndef KESTREL_HAVE_XLSX

bool xlsxSupported() { return false; }

void writeXlsx(const XlsxWorkbook& workbook, const std::string& path)
{
    checkSheets(workbook, path);
    throw failure(path, "эта сборка программы не умеет записывать файлы Excel (она собрана без библиотеки libxlsxwriter)");
}

#else

namespace {

namespace fs = std::filesystem;

// The system's own words, in the user's language.
std::string systemReason(int error) { return systemErrorText(error); }

std::string libraryReason(lxw_error error, int systemError)
{
    switch (error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return "не хватает памяти";
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        if (systemError != 0)
            return systemReason(systemError);
        return "ошибка записи файла";
    case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED:
        return "текст ячейки длиннее, чем допускает Excel";
    default:
        break;
    }
    return "ошибка библиотеки libxlsxwriter № " + std::to_string(static_cast<int>(error));
}

// A name beside the target that no other save picks at the same moment.
fs::path temporaryBeside(const fs::path& target)
{
    static std::atomic<unsigned long long> saves{0};
    unsigned long long tag = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count()) ^ (++saves << 48);
    try {
        std::random_device random;
        tag ^= (static_cast<unsigned long long>(random()) << 32) ^ random();
    } catch (const std::exception&) {
        // No entropy source: the clock and the count still tell saves apart.
    }
    char hex[16];
    const auto end = std::to_chars(hex, hex + sizeof hex, tag, 16).ptr;
    return fs::path(target).concat(".tmp-" + std::string(hex, end));
}

// The bytes reach the disk before the rename makes them the file: a power cut then
// leaves the old file or the new one, never an empty one.
int syncToDisk(const fs::path& file)
{
#if defined(__unix__) || defined(__APPLE__)
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int result = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return result;
#else
    (void)file;
    return 0;
#endif
}

class SheetWriter {
public:
    explicit SheetWriter(lxw_workbook* book) : book_(book)
    {
        bold_ = workbook_add_format(book_);
        format_set_bold(bold_);
        date_ = workbook_add_format(book_);
        format_set_num_format(date_, "dd.mm.yyyy");
        dateTime_ = workbook_add_format(book_);
        format_set_num_format(dateTime_, "dd.mm.yyyy hh:mm");
    }

    lxw_error write(const XlsxSheet& sheet)
    {
        lxw_worksheet* page = workbook_add_worksheet(book_, sheet.name.c_str());
        if (page == nullptr)
            return LXW_ERROR_PARAMETER_VALIDATION;
        std::size_t columns = sheet.header.size();
        for (const auto& row : sheet.rows)
            columns = std::max(columns, row.size());
        for (std::size_t c = 0; c < sheet.header.size(); ++c)
            keep(worksheet_write_string(page, 0, column(c), text(sheet.header[c]).c_str(), bold_));
        for (std::size_t r = 0; r < sheet.rows.size(); ++r)
            for (std::size_t c = 0; c < sheet.rows[r].size(); ++c)
                writeCell(page, static_cast<lxw_row_t>(r + 1), column(c), sheet.rows[r][c]);
        if (columns > 0) {
            worksheet_freeze_panes(page, 1, 0);
            keep(worksheet_autofilter(page, 0, 0, static_cast<lxw_row_t>(sheet.rows.size()), column(columns - 1)));
            for (std::size_t c = 0; c < columns; ++c)
                keep(worksheet_set_column(page, column(c), column(c), xlsxColumnWidth(sheet, c), nullptr));
        }
        return error_;
    }

private:
    static lxw_col_t column(std::size_t c) { return static_cast<lxw_col_t>(c); }

    // Texts from a recorder's memory or a file name may hold control characters or bytes
    // that are no UTF-8: the workbook's XML would not open.
    static std::string text(const std::string& value)
    {
        std::string clean = replaceControlCharacters(value, "?");
        if (clean.size() > kMaxTextLength) {
            std::size_t cut = kMaxTextLength;
            while (cut > 0 && (static_cast<unsigned char>(clean[cut]) & 0xC0) == 0x80)
                --cut;
            clean.resize(cut);
        }
        return clean;
    }

    void keep(lxw_error error)
    {
        if (error_ == LXW_NO_ERROR)
            error_ = error;
    }

    lxw_format* numberFormat(int decimals)
    {
        auto [at, added] = numbers_.try_emplace(decimals, nullptr);
        if (added) {
            at->second = workbook_add_format(book_);
            const std::string code = decimals > 0 ? "0." + std::string(static_cast<std::size_t>(decimals), '0') : "0";
            format_set_num_format(at->second, code.c_str());
        }
        return at->second;
    }

    void writeCell(lxw_worksheet* page, lxw_row_t row, lxw_col_t col, const XlsxCell& cell)
    {
        switch (cell.kind) {
        case XlsxCell::Kind::Empty:
            return;
        case XlsxCell::Kind::Text:
            keep(worksheet_write_string(page, row, col, text(cell.text).c_str(), nullptr));
            return;
        case XlsxCell::Kind::Number:
            keep(worksheet_write_number(page, row, col, cell.value, numberFormat(cell.decimals)));
            return;
        case XlsxCell::Kind::Date:
            keep(worksheet_write_number(page, row, col, cell.value, cell.withTime ? dateTime_ : date_));
            return;
        }
    }

    lxw_workbook* book_;
    lxw_format* bold_ = nullptr;
    lxw_format* date_ = nullptr;
    lxw_format* dateTime_ = nullptr;
    std::map<int, lxw_format*> numbers_;
    lxw_error error_ = LXW_NO_ERROR;
};

} // namespace

bool xlsxSupported() { return true; }

void writeXlsx(const XlsxWorkbook& workbook, const std::string& path)
{
    checkSheets(workbook, path);
    const fs::path target(path);
    if (path.empty() || !target.has_filename())
        throw failure(path, "не задано имя файла");
    const fs::path temporary = temporaryBeside(target);
    auto discard = [&] {
        std::error_code ignored;
        fs::remove(temporary, ignored);
    };

    // The library only says that it could not create the file; opening it here first
    // gives the system's reason.
    const std::string temporaryName = temporary.string(); // the library takes narrow names only
    errno = 0;
    std::FILE* probe = std::fopen(temporaryName.c_str(), "wb");
    if (probe == nullptr)
        throw failure(path, systemReason(errno));
    std::fclose(probe);

    lxw_workbook_options options{};
    lxw_workbook* book = workbook_new_opt(temporaryName.c_str(), &options);
    if (book == nullptr) {
        discard();
        throw failure(path, "не хватает памяти");
    }
    lxw_error error = LXW_NO_ERROR;
    {
        SheetWriter writer(book);
        for (const XlsxSheet& sheet : workbook.sheets)
            if (error == LXW_NO_ERROR)
                error = writer.write(sheet);
    }
    // Closing also frees the workbook, whatever went wrong before.
    errno = 0;
    const lxw_error closed = workbook_close(book);
    const int systemError = errno;
    if (error == LXW_NO_ERROR)
        error = closed;
    if (error != LXW_NO_ERROR) {
        discard();
        throw failure(path, libraryReason(error, systemError));
    }
    if (const int syncError = syncToDisk(temporary); syncError != 0) {
        discard();
        throw failure(path, systemReason(syncError));
    }
    std::error_code renamed;
    fs::rename(temporary, target, renamed);
    if (renamed) {
        discard();
        throw failure(path, systemReason(renamed.value()));
    }
}

#endif

} // namespace kestrel
