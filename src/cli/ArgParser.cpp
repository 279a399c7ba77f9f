#include "cli/ArgParser.h"

#include <cerrno>
#include <cstdlib>

namespace kestrel::cli {

ArgParser::ArgParser(const Args& args, const std::set<std::string>& valued, const std::set<std::string>& flags)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (valued.count(a) != 0) {
            if (i + 1 >= args.size())
                throw UsageError("option " + a + " needs a value");
            values_[a] = args[++i];
        } else if (flags.count(a) != 0) {
            flags_.insert(a);
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError("unknown option " + a);
        } else {
            positional_.push_back(a);
        }
    }
}

std::optional<std::string> ArgParser::value(const std::string& name) const
{
    const auto it = values_.find(name);
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

bool ArgParser::flag(const std::string& name) const { return flags_.count(name) != 0; }

long parseInteger(const std::string& text, const std::string& option)
{
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || end == nullptr || *end != '\0' || errno == ERANGE)
        throw UsageError("option " + option + " needs an integer, not \"" + text + "\"");
    return v;
}

} // namespace kestrel::cli
