#include "cli/CliSession.h"

#include "core/image/DataFile.h"
#include "core/pipeline/Pipeline.h"
#include "core/stats/LoadDistribution.h"

#include <ostream>

namespace kestrel::cli {

void declareStepOption(CommandSyntax& syntax)
{
    syntax.option("--step", "S", "шаг нагрузки распределения, %: 1, 5, 10 или 20 (по умолчанию 20)");
}

void declarePreviousOption(CommandSyntax& syntax)
{
    syntax.option("--previous", "PREV.bbd",
        "более раннее считывание того же регистратора: начало отчетного периода («Начало»)");
}

void declareYesOption(CommandSyntax& syntax)
{
    syntax.flag("--yes", "ответить «Да» на вопрос о неправильной контрольной сумме; без него вопрос выводится "
                         "в stderr и код завершения 3");
}

void declareLocaleOption(CommandSyntax& syntax)
{
    syntax.option("--locale", "NAME",
        "формат чисел и дат, например ru_RU (запятая, дд.ММ.гггг); без него - по переменным окружения "
        "LC_ALL, LC_NUMERIC, LC_TIME, LANG");
}

namespace {

int parseStep(const ParsedArgs& args)
{
    const auto text = args.value("--step");
    if (!text)
        return 20;
    const long step = parseInteger(*text, "--step");
    if (step != 1 && step != 5 && step != 10 && step != 20)
        throw UsageError("--step: шаг должен быть 1, 5, 10 или 20");
    return static_cast<int>(step);
}

} // namespace

int openSession(const ParsedArgs& args, const std::string& imagePath, Session& session, CliUserInterface& ui,
    std::ostream& err)
{
    session.locale = args.value("--locale") ? DisplayLocale::fromName(*args.value("--locale")) : DisplayLocale::system();
    const int step = parseStep(args);
    if (!hasDataFileExtension(imagePath)) {
        err << kWrongExtensionMessage << "\n";
        return kExitFileError;
    }
    try {
        // Refused at a question, or no reading at all (a configuration for the recorder).
        if (!loadImageFile(session, imagePath, ui))
            return ui.questionRefused() ? kExitChecksumRefused : kExitFileError;
    } catch (const FileError& e) {
        err << e.what() << "\n";
        return kExitFileError;
    }
    // Choosing the step after the load rebuilds the distribution, as a click on rgStep does.
    if (step != session.view.distribution.step) {
        session.view.distribution.step = step;
        showLoadDistribution(session.stats, session.view.distribution);
    }
    if (const auto previous = args.value("--previous")) {
        if (!hasDataFileExtension(*previous)) {
            err << kWrongExtensionMessage << "\n";
            return kExitPreviousRefused;
        }
        try {
            if (!applyPreviousPeriod(session, *previous, ui))
                return ui.questionRefused() ? kExitChecksumRefused : kExitPreviousRefused;
        } catch (const FileError& e) {
            err << e.what() << "\n";
            return kExitFileError;
        } catch (const std::exception& e) {
            err << e.what() << "\n";
            return kExitPreviousRefused;
        }
    }
    return kExitOk;
}

} // namespace kestrel::cli
