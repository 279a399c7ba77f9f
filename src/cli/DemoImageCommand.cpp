#include "cli/ArgParser.h"
#include "cli/Commands.h"
#include "core/demo/DemoImage.h"
#include "core/image/DataFile.h"

#include <cstdint>
#include <limits>
#include <ostream>

namespace kestrel::cli {

int runDemoImage(const Args& argv, std::ostream&, std::ostream& err)
{
    const ArgParser args(argv, {"--seed", "-o"}, {});
    if (!args.positional().empty())
        throw UsageError("unexpected argument " + args.positional().front());
    const auto outPath = args.value("-o");
    if (!outPath)
        throw UsageError("-o FILE.bbd is required");

    std::uint32_t seed = 1;
    if (const auto text = args.value("--seed")) {
        const long v = parseInteger(*text, "--seed");
        if (v < 0 || static_cast<unsigned long>(v) > std::numeric_limits<std::uint32_t>::max())
            throw UsageError("--seed must be 0 to 4294967295");
        seed = static_cast<std::uint32_t>(v);
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
