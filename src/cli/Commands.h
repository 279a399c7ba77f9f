#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kestrel::cli {

using Args = std::vector<std::string>;

class CommandSyntax;
class ParsedArgs;

// Exit codes shared by every command.
enum ExitCode : int {
    kExitOk = 0,
    kExitFileError = 1,
    kExitUsage = 2,
    kExitChecksumRefused = 3,
    kExitPreviousRefused = 4,
    // write-config: an input check refused the page (or the operator was not confirmed),
    // the reader device was not found, a device transfer failed or read back otherwise.
    kExitInputRefused = 5,
    kExitDeviceNotFound = 6,
    kExitTransferFailed = 7,
};

// One entry of the command table: its options and their help are declared by `declare`.
struct Command {
    const char* name;
    const char* summary; // one line in `kestrel-cli --help`
    void (*declare)(CommandSyntax& syntax);
    int (*run)(const ParsedArgs& args, std::ostream& out, std::ostream& err);
};

const std::vector<Command>& commandTable();

// Runs `kestrel-cli ARGS...`; returns the process exit code.
int runCli(const Args& args, std::ostream& out, std::ostream& err);

// The commands, one file each: their syntax, and what they do with it.
void declareReport(CommandSyntax& syntax);
int runReport(const ParsedArgs& args, std::ostream& out, std::ostream& err);
void declareShow(CommandSyntax& syntax);
int runShow(const ParsedArgs& args, std::ostream& out, std::ostream& err);
void declareSummary(CommandSyntax& syntax);
int runSummary(const ParsedArgs& args, std::ostream& out, std::ostream& err);
void declareDemoImage(CommandSyntax& syntax);
int runDemoImage(const ParsedArgs& args, std::ostream& out, std::ostream& err);
void declarePorts(CommandSyntax& syntax);
int runPorts(const ParsedArgs& args, std::ostream& out, std::ostream& err);
void declareRead(CommandSyntax& syntax);
int runRead(const ParsedArgs& args, std::ostream& out, std::ostream& err);
void declareErase(CommandSyntax& syntax);
int runErase(const ParsedArgs& args, std::ostream& out, std::ostream& err);
void declareDump(CommandSyntax& syntax);
int runDump(const ParsedArgs& args, std::ostream& out, std::ostream& err);
void declareWriteConfig(CommandSyntax& syntax);
int runWriteConfig(const ParsedArgs& args, std::ostream& out, std::ostream& err);
void declareOplog(CommandSyntax& syntax);
int runOplog(const ParsedArgs& args, std::ostream& out, std::ostream& err);
void declareArchive(CommandSyntax& syntax);
void declareServer(CommandSyntax& syntax);
int runServer(const ParsedArgs& args, std::ostream& out, std::ostream& err);
int runArchive(const ParsedArgs& args, std::ostream& out, std::ostream& err);
void declareLife(CommandSyntax& syntax);
int runLife(const ParsedArgs& args, std::ostream& out, std::ostream& err);
void declareFleet(CommandSyntax& syntax);
int runFleet(const ParsedArgs& args, std::ostream& out, std::ostream& err);

} // namespace kestrel::cli
