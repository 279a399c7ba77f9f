#include "cli/ArchiveSyncAction.h"

#include "cli/ArchiveOption.h"
#include "cli/Commands.h"
#include "cli/ServerOption.h"
#include "core/sync/ArchiveSync.h"
#include "core/text/ControlCharacters.h"

#include <ostream>

namespace kestrel::cli {

int runArchiveSync(const ParsedArgs& args, std::ostream& out, std::ostream& err)
{
    if (args.positional().size() > 1)
        throw UsageError("лишний аргумент «" + replaceControlCharacters(args.positional()[1], "?") + "»");
    auto local = openArchiveOption(args);
    if (!local)
        throw UsageError(kNoArchiveSupportMessage);
    auto server = openServerOption(args);
    SyncOptions options;
    options.allReadings = args.flag("--all");
    const SyncReport report = synchroniseArchives(*local, *server, options);
    out << "sent " << report.sent << ", fetched " << report.fetched << ", designs sent " << report.designsSent
        << ", designs fetched " << report.designsFetched << "\n";
    if (!report.sendRefused.empty()) {
        err << "kestrel-cli archive: на сервер ничего не отправлено: " << replaceControlCharacters(report.sendRefused, "?")
            << "\n";
        return kExitFileError;
    }
    if (!report.damaged.empty()) {
        for (const std::string& line : report.damaged)
            err << "kestrel-cli archive: " << replaceControlCharacters(line, "?") << "\n";
        err << "kestrel-cli archive: поврежденные считывания (" << report.damaged.size()
            << ") не переданы; остальное синхронизировано\n";
        return kExitFileError;
    }
    return kExitOk;
}

} // namespace kestrel::cli
