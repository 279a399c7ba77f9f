#include "cli/AreaOptions.h"
#include "cli/CommandOptions.h"
#include "cli/Commands.h"
#include "cli/DeviceLink.h"
#include "core/config/ConfigurationMemory.h"
#include "core/device/reader/ExtendedPageActions.h"
#include "core/files/AtomicFileWrite.h"
#include "core/image/Checksum.h"
#include "core/image/DataFile.h"
#include "core/image/MemoryImage.h"

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
void declareRead(CommandSyntax& syntax)
{
    syntax.describe("Находит ПСИ, читает область его памяти (по умолчанию всю) и пишет байты в файл, как "
                    "«Прочитать» страницы «Дополнительно»; сообщения выводятся в stderr. У всей памяти "
                    "проверяется контрольная сумма: неправильная все равно записывается, но это вопрос, на "
                    "который отвечает --yes (без него код завершения 3).");
    declareDeviceOptions(syntax, Need::Required);
    declareAreaOptions(syntax, Need::Optional);
    syntax.flag("--verify", "прочитать область дважды и взять ее, только если оба чтения совпали");
    syntax.flag("--yes", "ответить «Да» на вопрос о неправильной контрольной сумме");
    syntax.option("-o", "OUT.bbd", "файл, в который пишутся прочитанные байты", Need::Required);
}

int runRead(const ParsedArgs& args, std::ostream&, std::ostream& err)
{
    const auto device = args.value("--device");
    const auto outPath = args.value("-o");
    AreaFields fields = areaFieldsFromOptions(args);

    CliUserInterface ui(err, args.flag("--yes"));
    DeviceLink link(*device, args.value("--port"), ui, err);
    const ReadCheck check = args.flag("--verify") ? ReadCheck::Twice : ReadCheck::Once;
    const auto result = bbGetRAMClick(link.transfer(), fields, check);
    if (!result)
        return kExitDeviceFailed;

    try {
        writeFileAtomically(*outPath,
            std::string_view(reinterpret_cast<const char*>(result->bytes.data()), result->bytes.size()));
    } catch (const FileError& e) {
        err << "файл не записан: " << e.what() << "\n";
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
