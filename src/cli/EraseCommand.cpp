#include "cli/AreaOptions.h"
#include "cli/CommandOptions.h"
#include "cli/Commands.h"
#include "cli/DeviceLink.h"
#include "core/device/reader/ExtendedPageActions.h"

#include <ostream>

namespace kestrel::cli {

// Fills an area of the reader device with zero bytes, as the extended page's "Стереть"
// does. Its question is answered Yes only by --yes: without it the question is printed,
// nothing is erased and the exit code is that of a question answered No.
void declareErase(CommandSyntax& syntax)
{
    syntax.describe("Заполняет область памяти ПСИ нулевыми байтами после вопроса «Стереть область 0x…–0x… "
                    "(N байт) в ПСИ?»; «Да» отвечает только --yes: без него вопрос выводится, ничего не стирается "
                    "и код завершения 3.");
    declareDeviceOptions(syntax, Need::Required);
    declareAreaOptions(syntax, Need::Required);
    syntax.flag("--yes", "ответить «Да» на вопрос о стирании");
}

int runErase(const ParsedArgs& args, std::ostream&, std::ostream& err)
{
    const auto device = args.value("--device");
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
