#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kestrel::cli {

using Args = std::vector<std::string>;

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

// One entry of the command table.
struct Command {
    const char* name;
    const char* usage;
    int (*run)(const Args& args, std::ostream& out, std::ostream& err);
};

const std::vector<Command>& commandTable();

// Runs `kestrel-cli ARGS...`; returns the process exit code.
int runCli(const Args& args, std::ostream& out, std::ostream& err);

// The commands, one file each.
int runReport(const Args& args, std::ostream& out, std::ostream& err);
int runShow(const Args& args, std::ostream& out, std::ostream& err);
int runSummary(const Args& args, std::ostream& out, std::ostream& err);
int runDemoImage(const Args& args, std::ostream& out, std::ostream& err);
int runPorts(const Args& args, std::ostream& out, std::ostream& err);
int runRead(const Args& args, std::ostream& out, std::ostream& err);
int runErase(const Args& args, std::ostream& out, std::ostream& err);
int runDump(const Args& args, std::ostream& out, std::ostream& err);
int runWriteConfig(const Args& args, std::ostream& out, std::ostream& err);
int runOplog(const Args& args, std::ostream& out, std::ostream& err);
int runArchive(const Args& args, std::ostream& out, std::ostream& err);
int runLife(const Args& args, std::ostream& out, std::ostream& err);

} // namespace kestrel::cli
