#pragma once

#include "cli/Commands.h"

#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrel::cli {

// A command line that cannot be run as given; the text says why, in Russian.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a command's line holds once parsed: the values of options by their name
// ("--doc", "-o"; the last one given counts), the flags given, and the arguments in order.
class ParsedArgs {
public:
    std::optional<std::string> value(const std::string& name) const;
    bool flag(const std::string& name) const { return flags_.count(name) != 0; }
    const std::vector<std::string>& positional() const { return positional_; }
    // Whether the option (valued or flag) was given at all.
    bool given(const std::string& name) const { return values_.count(name) != 0 || flags_.count(name) != 0; }

    void setValue(const std::string& name, std::string value) { values_[name] = std::move(value); }
    void setFlag(const std::string& name) { flags_.insert(name); }
    void addPositional(std::string value) { positional_.push_back(std::move(value)); }

private:
    std::map<std::string, std::string> values_;
    std::set<std::string> flags_;
    std::vector<std::string> positional_;
};

enum class Need { Optional, Required };

// How many values an argument takes.
enum class Arity { One, Optional, OneOrMore };

// One command's options and arguments with their help texts, in the order the help lists
// them. Declaring an option is one line: it is then parsed, listed in the help and shown
// in the usage line.
class CommandSyntax {
public:
    enum class Kind { Value, Flag, Argument };
    struct Item {
        Kind kind;
        std::string name;        // "--doc", "-o", or an argument's name ("IMAGE.bbd")
        std::string placeholder; // of a valued option ("N")
        std::string help;
        Need need = Need::Optional;
        Arity arity = Arity::One;
    };

    // What the command does, printed under the usage line.
    CommandSyntax& describe(std::string text);
    // A usage line of its own, where the generated one could not say it (alternatives).
    CommandSyntax& synopsis(std::string text);
    // Text after the lists (exit codes, notes).
    CommandSyntax& footer(std::string text);

    CommandSyntax& argument(std::string name, std::string help, Arity arity = Arity::One, Need need = Need::Required);
    CommandSyntax& option(std::string name, std::string placeholder, std::string help, Need need = Need::Optional);
    CommandSyntax& flag(std::string name, std::string help);

    const std::vector<Item>& items() const { return items_; }
    const std::string& description() const { return description_; }
    const std::string& footerText() const { return footer_; }
    // "report IMAGE.bbd --doc N [--limit L] … -o OUT.html": the synopsis, or one made from the items.
    std::string usage(const std::string& command) const;

private:
    std::vector<Item> items_;
    std::string description_;
    std::string synopsis_;
    std::string footer_;
};

// "  NAMES               help" of a help list, the help wrapped in its own column.
std::string helpEntry(const std::string& names, const std::string& help);

// The help of a command (`kestrel-cli COMMAND --help`): usage, description, arguments, options.
std::string commandHelp(const std::string& command, const CommandSyntax& syntax);

// Parses a command's arguments (those after its name) with CLI11. Returns nullopt when
// --help/-h was asked: the help is then printed on `out`. Throws UsageError, in Russian
// and naming the option, for an unknown option, an option without its value, a value
// given to a flag, an extra argument or a required one missing.
std::optional<ParsedArgs> parseCommandLine(
    const std::string& command, const CommandSyntax& syntax, const Args& args, std::ostream& out);

// Integer option text; throws UsageError when it is not one.
long parseInteger(const std::string& text, const std::string& option);

// Throws UsageError when `option` was given: "OPTION: <why>".
void refuseOption(const ParsedArgs& args, const std::string& option, const std::string& why);

} // namespace kestrel::cli
