#include "cli/AreaOptions.h"
#include "cli/ArgParser.h"
#include "cli/Commands.h"
#include "cli/DeviceLink.h"
#include "core/device/reader/ExtendedPageActions.h"

#include <ostream>

namespace kestrel::cli {

// Fills an area of the reader device with zero bytes, as the extended page's "Стереть"
// does. Its question is answered Yes only by --yes: without it the question is printed,
// nothing is erased and the exit code is that of a question answered No.
int runErase(const Args& argv, std::ostream&, std::ostream& err)
{
    const ArgParser args(argv, {"--device", "--port", "--start", "--size"}, {"--yes"});
    if (!args.positional().empty())
        throw UsageError("лишний аргумент " + args.positional().front());
    const auto device = args.value("--device");
    if (!device || !args.value("--start") || !args.value("--size"))
        throw UsageError("не заданы --device, --start и --size");
    AreaFields fields = areaFieldsFromOptions(args);

    CliUserInterface ui(err, args.flag("--yes"));
    DeviceLink link(*device, args.value("--port"), ui, err);
    switch (bbEraseClick(link.transfer(), fields)) {
    case EraseResult::Erased:
        return kExitOk;
    case EraseResult::Declined:
        return kExitChecksumRefused;
    case EraseResult::Refused:
    case EraseResult::Failed:
        break;
    }
    return kExitDeviceFailed;
}

} // namespace kestrel::cli
