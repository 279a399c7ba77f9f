// Arbitrary bytes as a recorder memory: the whole load and every document must
// survive them without a crash, a sanitizer report or an unbounded loop.
#include "core/image/Checksum.h"
#include "core/image/MemoryImage.h"
#include "core/pipeline/Pipeline.h"
#include "core/reports/ReportDispatch.h"
#include "core/ui/ScriptedUserInterface.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

using namespace kestrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A short file leaves the rest of a fresh image zero, as reading a data file does.
    auto session = std::make_unique<Session>();
    std::copy_n(data, std::min(size, kImageSize), session->image.begin());

    ScriptedUserInterface ui; // Yes to the checksum question, the proposed row limit
    if (!checksumOk(session->image) && !ui.askYesNo(kChecksumQuestionFile))
        return 0;
    resetPeriodStart(*session);
    processImage(*session, ui);

    const ReportInput input{session->view, session->cycleRows, session->stats, session->locale};
    for (const auto& kind : kReportKinds)
        buildReportDocument(kind.tag, input, ui);
    return 0;
}
