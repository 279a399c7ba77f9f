#include "cli/AreaOptions.h"
#include "cli/ArgParser.h"
#include "cli/Commands.h"
#include "cli/DeviceLink.h"
#include "core/config/ConfigurationMemory.h"
#include "core/device/reader/ExtendedPageActions.h"
#include "core/image/Checksum.h"
#include "core/image/MemoryImage.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <ostream>

namespace kestrel::cli {

namespace {

bool isWholeMemory(const AreaReadResult& result)
{
    return result.range.start == 0 && result.bytes.size() == kImageSize;
}

} // namespace

// Reads an area of the reader device (the whole memory by default) into a file, as
// the extended page's "Прочитать" does; status texts go to stderr. --verify reads it a
// second time and takes it only when both readings agree. The whole memory has its
// checksum tested: a bad one is still written (it is what the device holds), but is
// the checksum question, answered by --yes.
int runRead(const Args& argv, std::ostream&, std::ostream& err)
{
    const ArgParser args(argv, {"--device", "--port", "--start", "--size", "-o"}, {"--verify", "--yes"});
    if (!args.positional().empty())
        throw UsageError("лишний аргумент " + args.positional().front());
    const auto device = args.value("--device");
    if (!device)
        throw UsageError("не задан --device DEVICE");
    const auto outPath = args.value("-o");
    if (!outPath)
        throw UsageError("не задан -o OUT.bbd");
    AreaFields fields = areaFieldsFromOptions(args);

    CliUserInterface ui(err, args.flag("--yes"));
    DeviceLink link(*device, args.value("--port"), ui, err);
    const ReadCheck check = args.flag("--verify") ? ReadCheck::Twice : ReadCheck::Once;
    const auto result = bbGetRAMClick(link.transfer(), fields, check);
    if (!result)
        return kExitDeviceFailed;

    errno = 0;
    std::ofstream file(*outPath, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(result->bytes.data()), static_cast<std::streamsize>(result->bytes.size()));
    file.close();
    if (!file) {
        err << *outPath << ": файл не записан" << (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string()) << "\n";
        return kExitFileError;
    }
    if (isWholeMemory(*result)) {
        // Written all the same: it is what the device holds, and the window will say the same of the file.
        if (const auto configuration = configurationMemoryOf(result->bytes)) {
            err << configurationMemoryMessage(*configuration, "ПСИ", "Память записана в " + *outPath + ".") << "\n";
            return kExitOk;
        }
        if (!checksumOk(result->bytes) && !ui.askYesNo(kChecksumQuestionDevice))
            return kExitChecksumRefused;
    }
    return kExitOk;
}

} // namespace kestrel::cli
