#include "cli/ArgParser.h"

#include "core/text/PlatformInteger.h"

namespace kestrel::cli {

ArgParser::ArgParser(const Args& args, const std::set<std::string>& valued, const std::set<std::string>& flags)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (valued.count(a) != 0) {
            if (i + 1 >= args.size())
                throw UsageError("у параметра " + a + " нет значения");
            values_[a] = args[++i];
        } else if (flags.count(a) != 0) {
            flags_.insert(a);
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError("неизвестный параметр " + a);
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
    // The same conversion as the window's fields: decimal, or hexadecimal after "0x" or "$".
    const auto value = platformStrToInt(text);
    if (!value)
        throw UsageError("параметр " + option + " должен быть целым числом, а не «" + text + "»");
    return *value;
}

} // namespace kestrel::cli
