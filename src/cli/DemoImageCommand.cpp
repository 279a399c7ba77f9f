#include "cli/CommandOptions.h"
#include "cli/Commands.h"
#include "core/demo/DemoHistory.h"
#include "core/demo/DemoImage.h"
#include "core/image/DataFile.h"

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <ostream>

namespace kestrel::cli {

void declareDemoImage(CommandSyntax& syntax)
{
    syntax
        .synopsis("demo-image [--seed N] -o FILE.bbd | demo-image [--seed N] --history K -o DIR")
        .describe("Правдоподобная синтетическая память регистратора с верной контрольной суммой (демонстрационные "
                  "данные ./run.sh и тестов), или K ежегодных считываний этого регистратора в папку DIR как "
                  "reading-1.bbd … (первым самое раннее, последним сама память).")
        .option("--seed", "N", "номер демонстрационного регистратора, от 0 до 4294967295 (по умолчанию 1)")
        .option("--history", "K", "число ежегодных считываний, от 1 до 100; сколько их помещается после дня "
                                  "установки регистратора, зависит от --seed")
        .option("-o", "FILE.bbd|DIR", "файл данных, с --history - папка", Need::Required);
}

int runDemoImage(const ParsedArgs& args, std::ostream&, std::ostream& err)
{
    const auto outPath = args.value("-o");

    std::uint32_t seed = 1;
    if (const auto text = args.value("--seed")) {
        // Seeds take the whole unsigned 32-bit range, in decimal.
        std::uint32_t v = 0;
        const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), v);
        if (text->empty() || ec != std::errc{} || end != text->data() + text->size())
            throw UsageError("--seed: число от 0 до 4294967295");
        seed = v;
    }

    try {
        const auto history = args.value("--history");
        if (!history) {
            saveImage(*outPath, makeDemoImage(seed));
            return kExitOk;
        }
        // Yearly readings of the one demo recorder into a folder, oldest first.
        const long count = parseInteger(*history, "--history");
        if (count < 1 || count > 100)
            throw UsageError("--history: число считываний от 1 до 100");
        // Fewer files than asked would pass for the whole history: refused, with how many fit.
        if (const int limit = demoHistoryLimit(seed); count > limit)
            throw UsageError("--history: у демонстрационного регистратора --seed " + std::to_string(seed)
                + " после дня его установки на кран помещается не более " + std::to_string(limit)
                + " ежегодных считываний, а задано " + std::to_string(count));
        std::error_code ec;
        std::filesystem::create_directories(*outPath, ec);
        const auto readings = makeDemoHistory(seed, static_cast<int>(count));
        for (std::size_t k = 0; k < readings.size(); ++k)
            saveImage((std::filesystem::path(*outPath) / ("reading-" + std::to_string(k + 1) + ".bbd")).string(),
                readings[k]);
    } catch (const FileError& e) {
        err << e.what() << "\n";
        return kExitFileError;
    }
    return kExitOk;
}

} // namespace kestrel::cli
