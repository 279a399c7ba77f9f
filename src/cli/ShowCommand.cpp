#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/ViewPrinter.h"

#include <ostream>

namespace kestrel::cli {

int runShow(const Args& argv, std::ostream& out, std::ostream& err)
{
    auto valued = kSessionOptions;
    auto flags = kSessionFlags;
    flags.insert("--json");
    const ArgParser args(argv, valued, flags);
    if (args.positional().size() != 1)
        throw UsageError("нужен один файл данных");

    Session session;
    CliUserInterface ui(err, args.flag("--yes"));
    if (const int code = openSession(args, args.positional()[0], session, ui, err); code != kExitOk)
        return code;
    if (args.flag("--json"))
        printViewAsJson(session.view, session.locale, out);
    else
        printViewAsText(session.view, session.locale, out);
    return kExitOk;
}

} // namespace kestrel::cli
