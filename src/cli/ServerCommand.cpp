#include "cli/CommandOptions.h"
#include "cli/Commands.h"
#include "cli/ServerOption.h"
#include "core/archive/ReadingArchive.h"
#include "core/text/ControlCharacters.h"

#ifdef KESTREL_HAVE_SERVER
#include "core/server/ServerConnection.h"
#include "core/server/ServerSchema.h"
#endif

#include <ostream>

namespace kestrel::cli {

void declareServer(CommandSyntax& syntax)
{
    syntax.synopsis("server init --server CONNINFO")
        .describe("init готовит базу данных на сервере команды (PostgreSQL) один раз, от имени ее администратора: "
                  "создает таблицы Kestrel и роли kestrel_engineer (читать, добавлять считывания и классификации) "
                  "и kestrel_auditor (только читать). Повторный запуск ничего не меняет. База данных, в которой "
                  "есть чужие таблицы, не изменяется.")
        .argument("ACTION", "init", Arity::One, Need::Required)
        .option("--server", "CONNINFO",
            "подключение администратора, как его понимает libpq: postgresql://admin@сервер/kestrel, "
            "host=… dbname=… или service=ИМЯ; пароль - из ~/.pgpass или PGPASSWORD");
}

int runServer(const ParsedArgs& args, std::ostream& out, std::ostream& err)
{
    const std::string action = args.positional().empty() ? std::string() : args.positional().front();
    if (action != "init")
        throw UsageError("неизвестное действие «" + replaceControlCharacters(action, "?") + "»: init");
    if (args.positional().size() > 1)
        throw UsageError("лишний аргумент «" + replaceControlCharacters(args.positional()[1], "?") + "»");
    const auto connection = args.value("--server");
    if (!connection)
        throw UsageError("не задан сервер команды (--server \"postgresql://admin@сервер/kestrel\")");
#ifdef KESTREL_HAVE_SERVER
    try {
        ServerConnection server(*connection);
        out << initialiseServer(server.connection(), server.database());
        return kExitOk;
    } catch (const ArchiveError& e) {
        err << "kestrel-cli server: " << replaceControlCharacters(e.what(), "?") << "\n";
        return kExitFileError;
    }
#else
    (void)out;
    (void)err;
    throw UsageError(kNoServerSupportMessage);
#endif
}

} // namespace kestrel::cli
