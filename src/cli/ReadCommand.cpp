#include "cli/ArgParser.h"
#include "cli/Commands.h"
#include "cli/DeviceLink.h"
#include "core/device/reader/ExtendedPageActions.h"

#include <fstream>
#include <ostream>

namespace kestrel::cli {

// Reads an area of the reader device (the whole memory by default) into a file, as
// the extended page's "Прочитать" does; status texts go to stderr.
int runRead(const Args& argv, std::ostream&, std::ostream& err)
{
    const ArgParser args(argv, {"--device", "--start", "--size", "-o"}, {});
    if (!args.positional().empty())
        throw UsageError("unexpected argument " + args.positional().front());
    const auto device = args.value("--device");
    if (!device)
        throw UsageError("--device DEVICE is required");
    const auto outPath = args.value("-o");
    if (!outPath)
        throw UsageError("-o OUT.bbd is required");

    CliUserInterface ui(err, false);
    DeviceLink link(*device, ui, err);
    AreaFields fields{args.value("--start").value_or(""), args.value("--size").value_or("")};
    const auto result = bbGetRAMClick(link.transfer(), fields);
    if (!result)
        return kExitDeviceFailed;

    std::ofstream file(*outPath, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(result->bytes.data()), static_cast<std::streamsize>(result->bytes.size()));
    file.close();
    if (!file) {
        err << *outPath << ": cannot be written\n";
        return kExitFileError;
    }
    return kExitOk;
}

} // namespace kestrel::cli
