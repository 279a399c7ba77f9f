#include "cli/ServerOption.h"

#ifdef KESTREL_HAVE_SERVER
#include "core/server/ServerArchive.h"
#endif

namespace kestrel::cli {

std::unique_ptr<ReadingArchive> openServerOption(const ParsedArgs& args)
{
    const auto connection = args.value("--server");
    if (!connection)
        throw UsageError("не задан сервер команды (--server \"postgresql://пользователь@сервер/kestrel\")");
#ifdef KESTREL_HAVE_SERVER
    return openServerArchive(*connection);
#else
    throw UsageError(kNoServerSupportMessage);
#endif
}

} // namespace kestrel::cli
