#pragma once

#include "cli/CommandOptions.h"
#include "core/life/LifeAssessment.h"
#include "core/text/DisplayLocale.h"

#include <vector>
#include <string>

namespace kestrel::cli {

// Options of the design working period, shared by `life` and `report --doc 6`.
inline const std::vector<std::string> kLifeOptions = {"--archive", "--group", "--design", "--winch1", "--winch2"};
void declareLifeOptions(CommandSyntax& syntax);

struct LifeOfImage {
    LifeAssessment assessment;
    int readings = 0;    // how many readings of the recorder it rests on
    bool fromArchive = false;
    std::vector<std::string> notes; // said on stderr: earlier readings left out as damaged
};

// The design working period at IMAGE's reading: with the earlier readings of its recorder
// from the archive (--archive, or the per-user archive when it exists) and the design
// classes kept there for the crane; --group, --design, --winch1 and --winch2 override
// them (and the passport's group) and are kept in the archive. Throws UsageError for a
// group or classes that do not read as such or that disagree, ArchiveError when the
// archive cannot be used.
LifeOfImage assessImage(const ParsedArgs& args, const MemoryImage& image, const DisplayLocale& locale);

} // namespace kestrel::cli
