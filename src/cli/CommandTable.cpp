#include "cli/ArgParser.h"
#include "cli/Commands.h"
#include "cli/DeviceLink.h"

#include <ostream>

namespace kestrel::cli {

const std::vector<Command>& commandTable()
{
    static const std::vector<Command> table = {
        {"report",
            "report IMAGE.bbd --doc N [--limit L] [--step S] [--previous PREV.bbd] [--yes] [--locale NAME] "
            "[--archive DB] [--group G] [--design \"Ux Qy\"] [--winch1 Mx] [--winch2 My] -o OUT.html",
            runReport},
        {"oplog", "oplog IMAGE.bbd (--stamp \"dd.MM.yyyy hh:mm \" | --row N) [--next K] [--yes] [--json]", runOplog},
        {"show", "show IMAGE.bbd [--previous PREV.bbd] [--step S] [--yes] [--locale NAME] [--json]", runShow},
        {"summary", "summary DIR_OR_FILES... [--csv] [--locale NAME]", runSummary},
        {"demo-image", "demo-image [--seed N] -o FILE.bbd | demo-image [--seed N] --history K -o DIR", runDemoImage},
        {"read", "read --device DEVICE [--port ADDR] [--start A] [--size N] [--verify] [--yes] -o OUT.bbd", runRead},
        {"erase", "erase --device DEVICE [--port ADDR] --start A --size N [--yes]", runErase},
        {"dump", "dump IMAGE.bbd|--device DEVICE [--port ADDR] [--start A] [--size N]", runDump},
        {"ports", "ports [--root DIR] [--i2c-class DIR]", runPorts},
        {"write-config",
            "write-config --device DEVICE [--port ADDR] [--image IMAGE.bbd] --operator NAME --code CODE "
            "[--clock \"dd.MM.yyyy hh:mm[:ss]\"] [--ident IDENT.json] [--normalisation \"q0/qnom;q0/qnom;q0/qnom;q0/qnom\"] "
            "[--program PROGRAM.json] [--erase] [--locale NAME] [--dump OUT.bbd] [--save-image OUT.bbd]",
            runWriteConfig},
        {"archive",
            "archive import [--archive DB] FILES_OR_DIRS... | archive list [--archive DB] [--recorder NUMBER] [--json|--csv] "
            "| archive export [--archive DB] ID -o FILE.bbd",
            runArchive},
        {"life",
            "life IMAGE.bbd [--archive DB] [--group G] [--design \"Ux Qy\"] [--winch1 Mx] [--winch2 My] [--yes] [--locale NAME] [--json]",
            runLife},
    };
    return table;
}

namespace {

void printUsage(std::ostream& err)
{
    err << "usage: kestrel-cli COMMAND ...\n";
    for (const auto& c : commandTable())
        err << "  kestrel-cli " << c.usage << "\n";
}

} // namespace

int runCli(const Args& args, std::ostream& out, std::ostream& err)
{
    if (args.empty()) {
        printUsage(err);
        return kExitUsage;
    }
    for (const auto& c : commandTable()) {
        if (args[0] != c.name)
            continue;
        try {
            return c.run(Args(args.begin() + 1, args.end()), out, err);
        } catch (const UsageError& e) {
            err << "kestrel-cli " << c.name << ": " << e.what() << "\nusage: kestrel-cli " << c.usage << "\n";
            return kExitUsage;
        } catch (const DeviceUnavailable&) {
            return kExitDeviceFailed; // the reason is printed where it arose
        }
    }
    err << "kestrel-cli: неизвестная команда «" << args[0] << "»\n";
    printUsage(err);
    return kExitUsage;
}

} // namespace kestrel::cli
