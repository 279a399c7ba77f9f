#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/LifeInput.h"
#include "core/files/AtomicFileWrite.h"
#include "core/image/DataFile.h"
#include "core/reports/ReportDispatch.h"
#include "core/reports/RowLimit.h"

#ifdef KESTREL_HAVE_PDF
#include "pdf/DocumentPdf.h"
#include "pdf/OffscreenGuiScope.h"
#endif

#include <ostream>

namespace kestrel::cli {

namespace {

// The documents with the load table of the distribution page (its step) and with the
// figures of the reporting period (what --previous changes).
bool hasLoadTable(long tag) { return tag >= 1 && tag <= 4; }

// An option the chosen document would not read is refused rather than silently dropped.
// --archive and --limit only say so: one command line for every document names them
// (the archive to leave the user's own alone, the answer to a question not asked).
void refuseUnreadOptions(const ParsedArgs& args, long tag, std::ostream& err)
{
    const std::string document = "в документе " + std::to_string(tag);
    if (!hasLoadTable(tag)) {
        refuseOption(args, "--step", document + " нет распределения нагрузки (оно в документах 1–4)");
        // The design working period would be assessed on the counters less the earlier reading's.
        refuseOption(args, "--previous", document + " нет данных отчетного периода (они в документах 1–4)");
    }
    if (tag != kLifeReportTag) {
        for (const std::string& option : kLifeOptions)
            if (option != "--archive")
                refuseOption(args, option, "действует только в оценке срока службы (--doc 6)");
        if (args.given("--archive"))
            err << "kestrel-cli report: --archive не действует: " << document << " архив не используется\n";
    }
    if (!findReportKind(static_cast<int>(tag))->listsCycles && args.given("--limit"))
        err << "kestrel-cli report: --limit не действует: " << document << " нет списка циклов\n";
}

} // namespace

void declareReport(CommandSyntax& syntax)
{
    syntax
        .describe("Пишет документ N по файлу данных так же, как программа пишет свой временный файл отчета после "
                  "открытия IMAGE.bbd в только что запущенной программе: Windows-1251, CR LF после каждой строки.")
        .argument("IMAGE.bbd", "файл данных (считывание регистратора)")
        .option("--doc", "N",
            "документ: 1–4 протоколы №1–№4, 5 журнал проверки РП, 6 оценка расчетного срока службы крана",
            Need::Required)
        .option("--limit", "L",
            "текст, вводимый в окне числа строк (по умолчанию предложенное, 32; не целое число дает 10); "
            "документы 1–5");
    declareStepOption(syntax);
    declarePreviousOption(syntax);
    declareYesOption(syntax);
    declareLocaleOption(syntax);
    declareLifeOptions(syntax);
    syntax.flag("--pdf",
        "документ в PDF, как его печатает программа (A4, поля 10 мм, шрифты встроены), а не в HTML");
    syntax.option("-o", "OUT", "файл документа (HTML или, с --pdf, PDF)", Need::Required);
}

int runReport(const ParsedArgs& args, std::ostream&, std::ostream& err)
{
    const auto outPath = args.value("-o");
#ifndef KESTREL_HAVE_PDF
    if (args.flag("--pdf"))
        throw UsageError("--pdf: эта сборка kestrel-cli не умеет сохранять документы в PDF (собрана без Qt)");
#endif
    const long tag = parseInteger(*args.value("--doc"), "--doc");
    if (findReportKind(static_cast<int>(tag)) == nullptr || tag < 1 || tag > kLifeReportTag)
        throw UsageError("--doc: номер документа от 1 до 6");
    refuseUnreadOptions(args, tag, err);

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
        for (const std::string& note : life->notes)
            err << "kestrel-cli report: " << note << "\n";
    }
    const ReportInput input{
        session.view, session.cycleRows, session.stats, session.locale, life ? &life->assessment : nullptr};
    const auto document = buildReportDocument(static_cast<int>(tag), input, ui);
    if (!document)
        return kExitFileError; // the failure was shown; no document was made

#ifdef KESTREL_HAVE_PDF
    if (args.flag("--pdf")) {
        // Laid out by Qt as the window prints it; no display is needed.
        const pdf::OffscreenGuiScope gui;
        const pdf::PdfResult written = gui.ready()
            ? pdf::writeDocumentPdf(document->bytes, *outPath)
            : pdf::PdfResult{false, "нет средств Qt для вывода документа на страницы"};
        if (!written) {
            err << *outPath << ": " << written.reason << "\n";
            return kExitFileError;
        }
        return kExitOk;
    }
#endif
    try {
        writeFileAtomically(*outPath, document->bytes);
    } catch (const FileError& e) {
        err << e.what() << "\n";
        return kExitFileError;
    }
    return kExitOk;
}

} // namespace kestrel::cli
