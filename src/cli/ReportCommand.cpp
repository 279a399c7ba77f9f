#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/LifeInput.h"
#include "core/reports/ReportDispatch.h"
#include "core/reports/RowLimit.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <ostream>

namespace kestrel::cli {

int runReport(const Args& argv, std::ostream&, std::ostream& err)
{
    auto valued = kSessionOptions;
    valued.insert({"--doc", "--limit", "-o"});
    valued.insert(kLifeOptions.begin(), kLifeOptions.end());
    const ArgParser args(argv, valued, kSessionFlags);
    if (args.positional().size() != 1)
        throw UsageError("нужен один файл данных");
    const auto docText = args.value("--doc");
    const auto outPath = args.value("-o");
    if (!docText || !outPath)
        throw UsageError("не заданы --doc и -o");
    const long tag = parseInteger(*docText, "--doc");
    if (findReportKind(static_cast<int>(tag)) == nullptr || tag < 1 || tag > kLifeReportTag)
        throw UsageError("--doc: номер документа от 1 до 6");

    // A slip in --limit is said before anything is opened, as the dialog refuses it.
    if (const auto limit = args.value("--limit"); limit && !parseRowLimit(*limit))
        throw UsageError("--limit: " + rowLimitRefusedMessage(*limit));

    Session session;
    CliUserInterface ui(err, args.flag("--yes"));
    if (const int code = openSession(args, args.positional()[0], session, ui, err); code != kExitOk)
        return code;

    // --limit is what is typed into the row-limit dialog; without it the proposal is accepted.
    if (const auto limit = args.value("--limit"))
        ui.setInputAnswer(*limit);
    // The design working period only for its own document: the others never read the archive.
    std::optional<LifeOfImage> life;
    if (tag == kLifeReportTag) {
        try {
            life = assessImage(args, session.image, session.locale);
        } catch (const ArchiveError& e) {
            err << "kestrel-cli report: " << e.what() << "\n";
            return kExitFileError;
        }
    }
    const ReportInput input{
        session.view, session.cycleRows, session.stats, session.locale, life ? &life->assessment : nullptr};
    const auto document = buildReportDocument(static_cast<int>(tag), input, ui);
    if (!document)
        return kExitFileError; // the failure was shown; no document was made

    std::ofstream file(*outPath, std::ios::binary | std::ios::trunc);
    if (file)
        file.write(document->bytes.data(), static_cast<std::streamsize>(document->bytes.size()));
    if (!file || !file.flush()) {
        err << *outPath << ": " << std::strerror(errno) << "\n";
        return kExitFileError;
    }
    return kExitOk;
}

} // namespace kestrel::cli
