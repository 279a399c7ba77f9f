#include "cli/CommandOptions.h"
#include "cli/Commands.h"
#include "cli/DeviceLink.h"

#include <CLI/CLI.hpp>

#include <ostream>

namespace kestrel::cli {

const std::vector<Command>& commandTable()
{
    static const std::vector<Command> table = {
        {"report", "документ (протокол, журнал, оценка срока службы) по файлу данных, как его пишет программа",
            declareReport, runReport},
        {"oplog", "участок оперативного журнала цикла, как его показывает окно «Оперативная информация»", declareOplog,
            runOplog},
        {"show", "все тексты и числа главного окна для файла данных, текстом или JSON", declareShow, runShow},
        {"summary", "сводная таблица по файлам данных: по строке на файл", declareSummary, runSummary},
        {"demo-image", "демонстрационная память регистратора или ряд ежегодных считываний", declareDemoImage,
            runDemoImage},
        {"read", "прочитать память ПСИ (или ее область) в файл", declareRead, runRead},
        {"erase", "стереть область памяти ПСИ (заполнить нулями)", declareErase, runErase},
        {"dump", "шестнадцатеричная таблица области файла данных или памяти ПСИ", declareDump, runDump},
        {"ports", "параллельные порты и адаптеры I2C, которые видит система", declarePorts, runPorts},
        {"write-config", "«Записать в ПСИ» без окна: настройки, часы, паспорт, программа, удаление данных",
            declareWriteConfig, runWriteConfig},
        {"archive", "архив считываний: сохранить файлы, список, выгрузить считывание", declareArchive, runArchive},
        {"server", "подготовить базу данных сервера команды (PostgreSQL): таблицы и роли", declareServer, runServer},
        {"life", "оценка расчетного срока службы крана по считыванию и архиву", declareLife, runLife},
        {"fleet", "парк кранов: по строке на кран архива или сервера, с отметками о сроке службы", declareFleet,
            runFleet},
    };
    return table;
}

namespace {

constexpr const char* kProgramUsage = "Использование: kestrel-cli КОМАНДА [ПАРАМЕТРЫ...]\n";

CommandSyntax syntaxOf(const Command& command)
{
    CommandSyntax syntax;
    command.declare(syntax);
    return syntax;
}

// No command, or one that does not exist: every command's usage line, on stderr.
void printUsage(std::ostream& err)
{
    err << kProgramUsage;
    for (const auto& c : commandTable())
        err << "  kestrel-cli " << syntaxOf(c).usage(c.name) << "\n";
    err << "Справка: kestrel-cli --help, kestrel-cli КОМАНДА --help\n";
}

void printProgramHelp(std::ostream& out)
{
    out << kProgramUsage << "       kestrel-cli КОМАНДА --help\n"
        << "Обработка считываний регистратора параметров работы крана без окна: документы, таблицы,\n"
           "архив считываний и работа с прибором считывания (ПСИ). Тексты и документы те же, что в\n"
           "окне программы Kestrel.\n"
           "\nКоманды:\n";
    for (const auto& c : commandTable())
        out << helpEntry(c.name, c.summary);
    out << "\nПараметры:\n" << helpEntry("-h, --help", "показать эту справку и выйти")
        << helpEntry("--version", "показать версию программы и выйти")
        << "\nКоды завершения:\n"
        << helpEntry("0", "выполнено (ошибки отдельных шагов обработки выводятся в stderr, как их показало бы окно)")
        << helpEntry("1", "файл не прочитан или не записан, обмен с ПСИ не удался")
        << helpEntry("2", "ошибка в командной строке")
        << helpEntry("3", "на вопрос о контрольной сумме (или о стирании) ответ «Нет»: не задан --yes")
        << helpEntry("4", "более раннее считывание (--previous) отвергнуто")
        << helpEntry("5", "write-config: проверка ввода отвергла страницу или оператор не подтвержден")
        << helpEntry("6", "write-config: ПСИ не найден (или нет библиотеки порта)")
        << helpEntry("7", "write-config: передача не удалась или прочитанное обратно отличается");
}

} // namespace

int runCli(const Args& args, std::ostream& out, std::ostream& err)
{
    // The program's own options come before the command; everything from the command on is the command's.
    CLI::App program("", "kestrel-cli");
    program.set_help_flag("-h,--help");
    const CLI::Option* version = program.add_flag("--version");
    program.prefix_command();
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        program.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        printProgramHelp(out);
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        err << "kestrel-cli: командная строка не разобрана: " << e.what() << "\n";
        printUsage(err);
        return kExitUsage;
    }
    const std::vector<std::string> rest = program.remaining();
    if (version->count() != 0) {
        if (rest.empty()) {
            out << "kestrel-cli " << KESTREL_VERSION << "\n";
            return kExitOk;
        }
        err << "kestrel-cli: --version задается без команды\n";
        printUsage(err);
        return kExitUsage;
    }
    if (rest.empty()) {
        printUsage(err);
        return kExitUsage;
    }
    if (rest.front().size() > 1 && rest.front()[0] == '-') {
        err << "kestrel-cli: неизвестный параметр " << rest.front() << "\n";
        printUsage(err);
        return kExitUsage;
    }
    for (const auto& c : commandTable()) {
        if (rest.front() != c.name)
            continue;
        const CommandSyntax syntax = syntaxOf(c);
        try {
            const auto parsed = parseCommandLine(c.name, syntax, Args(rest.begin() + 1, rest.end()), out);
            if (!parsed)
                return kExitOk; // the help was asked for and printed
            return c.run(*parsed, out, err);
        } catch (const UsageError& e) {
            err << "kestrel-cli " << c.name << ": " << e.what() << "\n"
                << "Использование: kestrel-cli " << syntax.usage(c.name) << "\n"
                << "Справка: kestrel-cli " << c.name << " --help\n";
            return kExitUsage;
        } catch (const DeviceUnavailable&) {
            return kExitDeviceFailed; // the reason is printed where it arose
        }
    }
    err << "kestrel-cli: неизвестная команда «" << rest.front() << "»\n";
    printUsage(err);
    return kExitUsage;
}

} // namespace kestrel::cli
