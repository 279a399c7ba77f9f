#pragma once

#include "cli/Commands.h"

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrel::cli {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Options of the form --name VALUE and --flag, and positional arguments.
class ArgParser {
public:
    // `valued` lists options that take a value, `flags` those that do not ("-o" counts as an option).
    ArgParser(const Args& args, const std::set<std::string>& valued, const std::set<std::string>& flags);

    std::optional<std::string> value(const std::string& name) const;
    bool flag(const std::string& name) const;
    const std::vector<std::string>& positional() const { return positional_; }

private:
    std::map<std::string, std::string> values_;
    std::set<std::string> flags_;
    std::vector<std::string> positional_;
};

// Integer option text; throws UsageError when it is not one.
long parseInteger(const std::string& text, const std::string& option);

} // namespace kestrel::cli
