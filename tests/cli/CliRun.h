#pragma once

#include "cli/Commands.h"

#include <sstream>
#include <string>

namespace kestrel::cli {

// A command run in-process, with what it printed.
struct CliRun {
    int code;
    std::string out;
    std::string err;
};

inline CliRun run(const Args& args)
{
    std::ostringstream out;
    std::ostringstream err;
    const int code = runCli(args, out, err);
    return {code, out.str(), err.str()};
}

} // namespace kestrel::cli
