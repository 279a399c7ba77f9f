#include "cli/ArgParser.h"
#include "cli/Commands.h"
#include "core/device/port/TPrinterPortIO.h"

#include <cstdio>
#include <ostream>

namespace kestrel::cli {

int runPorts(const Args& argv, std::ostream& out, std::ostream&)
{
    const ArgParser args(argv, {"--root"}, {});
    if (!args.positional().empty())
        throw UsageError("лишний аргумент " + args.positional().front());

    PrinterPortSeams seams;
    if (const auto root = args.value("--root"))
        seams.procRoot = *root;
    // Detection alone: the port driver is not opened.
    const TPrinterPortIO ports({}, seams);

    bool any = false;
    for (std::uint8_t n = 1; n <= TPrinterPortIO::kMaxLptNumber; ++n) {
        const std::uint16_t base = ports.PortTable()[n];
        if (base == 0)
            continue;
        char line[32];
        std::snprintf(line, sizeof line, "LPT%u 0x%X\n", unsigned{n}, unsigned{base});
        out << line;
        any = true;
    }
    if (!any)
        out << "Параллельные порты (LPT) не обнаружены.\n";
    return kExitOk;
}

} // namespace kestrel::cli
