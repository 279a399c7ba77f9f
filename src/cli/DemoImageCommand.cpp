#include "cli/ArgParser.h"
#include "cli/Commands.h"
#include "core/demo/DemoHistory.h"
#include "core/demo/DemoImage.h"
#include "core/image/DataFile.h"

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <ostream>

namespace kestrel::cli {

int runDemoImage(const Args& argv, std::ostream&, std::ostream& err)
{
    const ArgParser args(argv, {"--seed", "--history", "-o"}, {});
    if (!args.positional().empty())
        throw UsageError("лишний аргумент " + args.positional().front());
    const auto outPath = args.value("-o");
    if (!outPath)
        throw UsageError("не задан -o FILE.bbd");

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
