#include "cli/Commands.h"

#include <ostream>

namespace kestrel::cli {

int runDemoImage(const Args&, std::ostream&, std::ostream& err)
{
    err << "not available yet\n";
    return kExitUsage;
}

} // namespace kestrel::cli
