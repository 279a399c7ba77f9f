#include "cli/ArgParser.h"
#include "cli/Commands.h"
#include "core/demo/DemoImage.h"
#include "core/image/DataFile.h"

#include <charconv>
#include <cstdint>
#include <ostream>

namespace kestrel::cli {

int runDemoImage(const Args& argv, std::ostream&, std::ostream& err)
{
    const ArgParser args(argv, {"--seed", "-o"}, {});
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
        saveImage(*outPath, makeDemoImage(seed));
    } catch (const FileError& e) {
        err << e.what() << "\n";
        return kExitFileError;
    }
    return kExitOk;
}

} // namespace kestrel::cli
