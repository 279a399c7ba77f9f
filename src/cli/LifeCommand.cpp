#include "cli/Commands.h"

#include <ostream>

namespace kestrel::cli {

int runLife(const Args&, std::ostream&, std::ostream& err)
{
    err << "Команда еще не готова\n";
    return kExitUsage;
}

} // namespace kestrel::cli
