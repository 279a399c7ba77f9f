#include "cli/CommandOptions.h"

#include "cli/TextColumns.h"
#include "core/text/PlatformInteger.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <ostream>
#include <utility>

namespace kestrel::cli {

namespace {

constexpr std::size_t kHelpWidth = 79;
constexpr std::size_t kOptionColumn = 26;
constexpr const char* kHelpFlagText = "показать эту справку и выйти";

// Words of `text` as lines of at most `firstWidth` columns, then `width`; a quoted part
// ("Ux Qy") stays whole.
std::vector<std::string> wrapped(const std::string& text, std::size_t firstWidth, std::size_t width)
{
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (c == ' ' && !quoted) {
            if (!word.empty())
                words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(std::move(word));
    std::vector<std::string> lines;
    std::string line;
    for (const std::string& w : words) {
        if (!line.empty() && displayWidth(line) + 1 + displayWidth(w) > (lines.empty() ? firstWidth : width)) {
            lines.push_back(std::move(line));
            line.clear();
        }
        line += (line.empty() ? "" : " ") + w;
    }
    if (!line.empty() || lines.empty())
        lines.push_back(std::move(line));
    return lines;
}

// Paragraphs (split at "\n") wrapped, each line after the first indented by `indent` blanks.
std::string block(const std::string& text, std::size_t indent, std::size_t firstWidth, std::size_t width)
{
    std::string result;
    std::size_t begin = 0;
    bool first = true;
    while (begin <= text.size()) {
        const std::size_t end = std::min(text.find('\n', begin), text.size());
        for (const std::string& line : wrapped(text.substr(begin, end - begin), first ? firstWidth : width, width)) {
            if (!first)
                result += "\n" + std::string(indent, ' ');
            result += line;
            first = false;
        }
        begin = end + 1;
    }
    return result;
}

} // namespace

std::string helpEntry(const std::string& names, const std::string& help)
{
    std::string line = "  " + names;
    const std::size_t width = kHelpWidth - kOptionColumn;
    if (displayWidth(line) + 2 > kOptionColumn)
        line += "\n" + std::string(kOptionColumn, ' ');
    else
        line = padded(line, kOptionColumn, false);
    return line + block(help, kOptionColumn, width, width) + "\n";
}

namespace {

std::string usageOf(const CommandSyntax::Item& item)
{
    switch (item.kind) {
    case CommandSyntax::Kind::Flag:
        return "[" + item.name + "]";
    case CommandSyntax::Kind::Value: {
        const std::string text = item.name + " " + item.placeholder;
        return item.need == Need::Required ? text : "[" + text + "]";
    }
    case CommandSyntax::Kind::Argument:
        break;
    }
    const std::string text = item.name + (item.arity == Arity::OneOrMore ? "..." : "");
    return item.arity == Arity::Optional ? "[" + text + "]" : text;
}

// The item whose CLI11 option an error message names, with its dashes or without them
// ("--doc: 1 required TEXT missing", "json was given a disallowed flag override").
const CommandSyntax::Item* namedIn(const std::string& message, const CommandSyntax& syntax)
{
    const auto startsWith = [&message](const std::string& name) {
        return message.rfind(name, 0) == 0
            && (message.size() == name.size() || message[name.size()] == ':' || message[name.size()] == ' ');
    };
    for (const auto& item : syntax.items())
        if (item.kind != CommandSyntax::Kind::Argument
            && (startsWith(item.name) || startsWith(item.name.substr(item.name.find_first_not_of('-')))))
            return &item;
    return nullptr;
}

std::string russianMessage(const CLI::ParseError& error, const CommandSyntax& syntax)
{
    const std::string message = error.what();
    const CommandSyntax::Item* item = namedIn(message, syntax);
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr && item != nullptr) {
        if (item->kind == CommandSyntax::Kind::Flag)
            return "параметр " + item->name + " задается без значения";
        return "у параметра " + item->name + " нет значения";
    }
    // Nothing else can arise from string options; said all the same, with CLI11's own words.
    return "командная строка не разобрана: " + message;
}

} // namespace

std::optional<std::string> ParsedArgs::value(const std::string& name) const
{
    const auto it = values_.find(name);
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

CommandSyntax& CommandSyntax::describe(std::string text)
{
    description_ = std::move(text);
    return *this;
}

CommandSyntax& CommandSyntax::synopsis(std::string text)
{
    synopsis_ = std::move(text);
    return *this;
}

CommandSyntax& CommandSyntax::footer(std::string text)
{
    footer_ = std::move(text);
    return *this;
}

CommandSyntax& CommandSyntax::argument(std::string name, std::string help, Arity arity, Need need)
{
    items_.push_back({Kind::Argument, std::move(name), {}, std::move(help), need, arity});
    return *this;
}

CommandSyntax& CommandSyntax::option(std::string name, std::string placeholder, std::string help, Need need)
{
    items_.push_back({Kind::Value, std::move(name), std::move(placeholder), std::move(help), need, Arity::One});
    return *this;
}

CommandSyntax& CommandSyntax::flag(std::string name, std::string help)
{
    items_.push_back({Kind::Flag, std::move(name), {}, std::move(help), Need::Optional, Arity::One});
    return *this;
}

std::string CommandSyntax::usage(const std::string& command) const
{
    if (!synopsis_.empty())
        return synopsis_;
    std::string text = command;
    for (const Item& item : items_)
        text += " " + usageOf(item);
    return text;
}

std::string commandHelp(const std::string& command, const CommandSyntax& syntax)
{
    // Each form of a command with several ("archive import … | archive list …") on a line of its own.
    std::string text;
    std::string usage = syntax.usage(command);
    const std::string alternative = " | " + command + " ";
    for (std::string prefix = "Использование: kestrel-cli "; !usage.empty(); prefix = "         или: kestrel-cli ") {
        const std::size_t end = usage.find(alternative);
        text += prefix + block(usage.substr(0, end), 6, kHelpWidth - displayWidth(prefix), kHelpWidth - 6) + "\n";
        usage = end == std::string::npos ? std::string() : usage.substr(end + 3);
    }
    if (!syntax.description().empty())
        text += block(syntax.description(), 0, kHelpWidth, kHelpWidth) + "\n";

    std::string arguments;
    std::string options;
    for (const auto& item : syntax.items()) {
        if (item.kind == CommandSyntax::Kind::Argument)
            arguments += helpEntry(item.name + (item.arity == Arity::OneOrMore ? "..." : ""), item.help);
        else
            options += helpEntry(item.kind == CommandSyntax::Kind::Value ? item.name + " " + item.placeholder : item.name,
                item.help);
    }
    options += helpEntry("-h, --help", kHelpFlagText);
    if (!arguments.empty())
        text += "\nАргументы:\n" + arguments;
    text += "\nПараметры:\n" + options;
    if (!syntax.footerText().empty())
        text += "\n" + block(syntax.footerText(), 0, kHelpWidth, kHelpWidth) + "\n";
    return text;
}

std::optional<ParsedArgs> parseCommandLine(
    const std::string& command, const CommandSyntax& syntax, const Args& args, std::ostream& out)
{
    CLI::App app("", "kestrel-cli " + command);
    app.set_help_flag("-h,--help", kHelpFlagText);
    // Extras are said below, in Russian, before a missing required option is.
    app.allow_extras(true);
    std::vector<std::pair<const CommandSyntax::Item*, CLI::Option*>> bound;
    for (const auto& item : syntax.items()) {
        CLI::Option* option = nullptr;
        switch (item.kind) {
        case CommandSyntax::Kind::Flag:
            // "--yes=false" would still count as --yes: a value is refused.
            option = app.add_flag(item.name)->disable_flag_override();
            break;
        case CommandSyntax::Kind::Value:
            // The next argument is the value whatever it looks like ("-1" too); the last one given counts.
            option = app.add_option(item.name)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
            break;
        case CommandSyntax::Kind::Argument:
            option = app.add_option(item.name);
            if (item.arity == Arity::OneOrMore)
                option->expected(0, CLI::detail::expected_max_vector_size)->allow_extra_args();
            break;
        }
        bound.emplace_back(&item, option);
    }

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << commandHelp(command, syntax);
        return std::nullopt;
    } catch (const CLI::ParseError& e) {
        throw UsageError(russianMessage(e, syntax));
    }

    // CLI11 keeps the "--" that ended the options among the extras: it is none.
    auto extras = app.remaining();
    extras.erase(std::remove(extras.begin(), extras.end(), "--"), extras.end());
    if (!extras.empty()) {
        const std::string& first = extras.front();
        if (first.size() > 1 && first[0] == '-')
            throw UsageError("неизвестный параметр " + first.substr(0, first.find('=')));
        throw UsageError("лишний аргумент " + first);
    }
    ParsedArgs parsed;
    for (const auto& [item, option] : bound) {
        if (option->count() == 0) {
            if (item->need == Need::Required)
                throw UsageError("не задан " + (item->kind == CommandSyntax::Kind::Value
                                                       ? item->name + " " + item->placeholder
                                                       : item->name));
            continue;
        }
        switch (item->kind) {
        case CommandSyntax::Kind::Flag:
            parsed.setFlag(item->name);
            break;
        case CommandSyntax::Kind::Value:
            parsed.setValue(item->name, option->results().back());
            break;
        case CommandSyntax::Kind::Argument:
            for (const std::string& value : option->results())
                parsed.addPositional(value);
            break;
        }
    }
    return parsed;
}

long parseInteger(const std::string& text, const std::string& option)
{
    // The same conversion as the window's fields: decimal, or hexadecimal after "0x" or "$".
    const auto value = platformStrToInt(text);
    if (!value)
        throw UsageError("параметр " + option + " должен быть целым числом, а не «" + text + "»");
    return *value;
}

void refuseOption(const ParsedArgs& args, const std::string& option, const std::string& why)
{
    if (args.given(option))
        throw UsageError(option + ": " + why);
}

} // namespace kestrel::cli
