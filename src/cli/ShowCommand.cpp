#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/ViewPrinter.h"

#include <ostream>

namespace kestrel::cli {

void declareShow(CommandSyntax& syntax)
{
    syntax
        .describe("Выводит все тексты и числа, которые показывает главное окно после открытия файла данных: "
                  "идентификацию, статистику, lvCommon, lvLoad и ряды графика, lvLast/lvStop со значками, "
                  "страницу настроек; текстом с отступами или JSON с постоянными ключами.")
        .argument("IMAGE.bbd", "файл данных");
    declarePreviousOption(syntax);
    declareStepOption(syntax);
    declareYesOption(syntax);
    declareLocaleOption(syntax);
    syntax.flag("--json", "вывод в JSON");
}

int runShow(const ParsedArgs& args, std::ostream& out, std::ostream& err)
{

    Session session;
    CliUserInterface ui(err, args.flag("--yes"));
    if (const int code = openSession(args, args.positional()[0], session, ui, err); code != kExitOk)
        return code;
    if (args.flag("--json"))
        printViewAsJson(session.view, session.locale, out);
    else
        printViewAsText(session.view, session.locale, out);
    return kExitOk;
}

} // namespace kestrel::cli
