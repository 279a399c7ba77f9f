#include "cli/AreaOptions.h"
#include "cli/CommandOptions.h"
#include "cli/Commands.h"
#include "cli/DeviceLink.h"
#include "core/device/reader/ExtendedPageActions.h"
#include "core/image/DataFile.h"

#include <ostream>
#include <span>

namespace kestrel::cli {

// The hex table of an area of a data file or of the reader device.
void declareDump(CommandSyntax& syntax)
{
    syntax.synopsis("dump IMAGE.bbd|--device DEVICE [--port ADDR] [--start A] [--size N]")
        .describe("Шестнадцатеричная таблица страницы «Дополнительно» для области файла данных или памяти ПСИ.")
        .argument("IMAGE.bbd", "файл данных (или --device)", Arity::Optional, Need::Optional);
    declareDeviceOptions(syntax, Need::Optional);
    declareAreaOptions(syntax, Need::Optional);
}

int runDump(const ParsedArgs& args, std::ostream& out, std::ostream& err)
{
    const auto device = args.value("--device");
    if (device.has_value() == !args.positional().empty())
        throw UsageError("задайте IMAGE.bbd или --device DEVICE");
    if (!device && args.value(kPortOption))
        throw UsageError("--port: адрес порта задается только вместе с --device");

    CliUserInterface ui(err, false);
    AreaFields fields = areaFieldsFromOptions(args);
    if (device) {
        DeviceLink link(*device, args.value("--port"), ui, err);
        const auto result = bbGetRAMClick(link.transfer(), fields);
        if (!result)
            return kExitDeviceFailed;
        printMemoryDump(result->table, out);
        return kExitOk;
    }

    const auto range = readAreaRange(fields, ui);
    if (!range)
        return kExitFileError;
    MemoryImage image{};
    try {
        image = readImageFile(args.positional().front());
    } catch (const FileError& e) {
        err << e.what() << "\n";
        return kExitFileError;
    }
    printMemoryDump(showMemoryDump(range->start, std::span(image).subspan(range->start, range->size)), out);
    return kExitOk;
}

} // namespace kestrel::cli
