#include "cli/ArgParser.h"
#include "cli/Commands.h"
#include "cli/DeviceLink.h"
#include "core/device/reader/ExtendedPageActions.h"

#include <ostream>

namespace kestrel::cli {

// Fills an area of the reader device with zero bytes, as the extended page's "Стереть" does.
int runErase(const Args& argv, std::ostream&, std::ostream& err)
{
    const ArgParser args(argv, {"--device", "--start", "--size"}, {});
    if (!args.positional().empty())
        throw UsageError("unexpected argument " + args.positional().front());
    const auto device = args.value("--device");
    const auto start = args.value("--start");
    const auto size = args.value("--size");
    if (!device || !start || !size)
        throw UsageError("--device, --start and --size are required");

    CliUserInterface ui(err, false);
    DeviceLink link(*device, ui, err);
    AreaFields fields{*start, *size};
    return bbEraseClick(link.transfer(), fields) ? kExitOk : kExitDeviceFailed;
}

} // namespace kestrel::cli
