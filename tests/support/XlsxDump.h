#pragma once

// Reads a workbook back through tests/support/xlsx_dump.py (Python's zipfile and XML
// parser), so that tests see what Excel would open, not what the writing library meant.

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::test {

struct DumpedCell {
    std::string kind;   // "s" text, "n" number (dates too), "b", "str", "e"
    std::string value;  // the text, or the number as the file writes it
    std::string format; // the number format code: "General", "0.00", "dd.mm.yyyy"
    bool bold = false;

    std::optional<double> number() const
    {
        double v = 0.0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), v);
        if (error != std::errc() || end != value.data() + value.size())
            return std::nullopt;
        return v;
    }
};

struct DumpedSheet {
    std::string name;
    std::string frozen;     // top-left cell of the scrolling part: "A2" under a frozen header row
    std::string autofilter; // "A1:P3"
    std::map<int, double> widths; // 1-based column → width in characters
    std::map<std::string, DumpedCell> cells; // "B3" → cell

    const DumpedCell* cell(const std::string& ref) const
    {
        const auto at = cells.find(ref);
        return at == cells.end() ? nullptr : &at->second;
    }
};

// "A", "B", … "Z", "AA" for 0-based column `c`, and the reference of row `r` (1-based).
inline std::string cellRef(std::size_t c, std::size_t r)
{
    std::string letters;
    for (std::size_t n = c + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters + std::to_string(r);
}

inline bool xlsxReaderAvailable() { return std::string(KESTREL_PYTHON).size() > 0; }

// The sheets in their order; empty with `error` set when the workbook does not read.
inline std::vector<DumpedSheet> dumpXlsx(const std::string& path, std::string* error = nullptr)
{
    const std::string command
        = std::string("'") + KESTREL_PYTHON + "' '" + KESTREL_XLSX_DUMP + "' '" + path + "' 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    std::string output;
    if (pipe != nullptr) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            output.append(buffer, n);
    }
    const int status = pipe != nullptr ? ::pclose(pipe) : -1;
    if (status != 0) {
        if (error != nullptr)
            *error = output.empty() ? "the reader did not run" : output;
        return {};
    }
    auto unescape = [](const std::string& text) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\\' && i + 1 < text.size()) {
                const char next = text[++i];
                out += next == 't' ? '\t' : next == 'n' ? '\n' : next;
            } else {
                out += text[i];
            }
        }
        return out;
    };
    std::vector<DumpedSheet> sheets;
    for (std::size_t at = 0; at < output.size();) {
        const std::size_t end = std::min(output.find('\n', at), output.size());
        std::vector<std::string> fields;
        for (std::size_t from = at; from <= end;) {
            const std::size_t tab = std::min(output.find('\t', from), end);
            fields.push_back(unescape(output.substr(from, tab - from)));
            from = tab + 1;
        }
        at = end + 1;
        if (fields[0] == "sheet" && fields.size() == 2) {
            sheets.push_back({});
            sheets.back().name = fields[1];
        } else if (sheets.empty()) {
            continue;
        } else if (fields[0] == "frozen" && fields.size() == 2) {
            sheets.back().frozen = fields[1];
        } else if (fields[0] == "autofilter" && fields.size() == 2) {
            sheets.back().autofilter = fields[1];
        } else if (fields[0] == "width" && fields.size() == 3) {
            int column = 0;
            std::from_chars(fields[1].data(), fields[1].data() + fields[1].size(), column);
            sheets.back().widths[column] = DumpedCell{"n", fields[2], "", false}.number().value_or(-1.0);
        } else if (fields[0] == "cell" && fields.size() == 6) {
            sheets.back().cells[fields[1]] = DumpedCell{fields[2], fields[3], fields[4], fields[5] == "1"};
        }
    }
    return sheets;
}

} // namespace kestrel::test
