#include "cli/CliSession.h"
#include "cli/CommandOptions.h"
#include "cli/CliOperatorIdentification.h"
#include "cli/CliUserInterface.h"
#include "cli/Commands.h"
#include "cli/DeviceLink.h"
#include "cli/WriteConfigOptions.h"
#include "core/config/ConfigurationError.h"
#include "core/config/ConfigurationMessages.h"
#include "core/config/OperatorIdentificationRules.h"
#include "core/config/ServicePageFromView.h"
#include "core/config/WriteConfiguration.h"
#include "core/image/DataFile.h"
#include "core/pipeline/Pipeline.h"
#include "core/pipeline/Session.h"

#include <memory>
#include <ostream>

namespace kestrel::cli {

namespace {

constexpr const char* kNotConfirmed =
    "Имя оператора пустое: идентификация не подтверждена, в ПСИ ничего не записано";
constexpr const char* kDumpNotRead = "Память ПСИ для --dump не прочитана";

int exitCodeOf(WriteBackResult result)
{
    switch (result) {
    case WriteBackResult::Done: return kExitOk;
    case WriteBackResult::Cancelled:
    case WriteBackResult::InputRefused: return kExitInputRefused;
    case WriteBackResult::DeviceNotFound: return kExitDeviceNotFound;
    case WriteBackResult::TransferFailed:
    case WriteBackResult::ReadBackDiffers: return kExitTransferFailed;
    }
    return kExitTransferFailed;
}

void checkInputLimit(const std::string& text, const char* option, std::size_t limit)
{
    if (characterCount(text) > limit)
        throw UsageError(std::string(option) + ": не более " + std::to_string(limit) + " знаков, как в окне "
            "«Идентификация», а задано " + std::to_string(characterCount(text)));
}

// The page as the window shows it with `image` loaded, then the options' ticks and fields.
ServicePage composePage(const ParsedArgs& args, Session& session, CliUserInterface& ui)
{
    (void)showIdentification(session, ui); // a field that cannot be shown is said, as in the window
    ServicePage page = servicePageFromView(session.view);
    if (const auto clock = args.value("--clock")) {
        page.chbSetRTC = true;
        page.clock = parseClockOption(*clock);
    }
    if (const auto ident = args.value("--ident")) {
        page.chbEditPKR = true;
        applyIdentificationJson(readJsonFile(*ident, "--ident"), page.identification);
    }
    if (const auto normalisation = args.value("--normalisation")) {
        page.chbNormir = true;
        applyNormalisationOption(*normalisation, page);
    }
    if (const auto program = args.value("--program")) {
        page.chbProgram = true;
        applyProgramJson(readJsonFile(*program, "--program"), page);
    }
    page.chbErase = args.flag("--erase");
    return page;
}

// What the device holds after the write-back, read through it as "Загрузить" reads it.
int dumpDevice(ReaderDeviceTransfer& transfer, const std::string& path, std::ostream& err)
{
    MemoryImage memory{};
    if (!transfer.readDevice(0, memory)) {
        err << kDumpNotRead << "\n";
        return kExitTransferFailed;
    }
    saveImage(path, memory);
    return kExitOk;
}

// Runs a step that writes a file; a file that cannot be written is said with its reason.
template <typename Step>
int saving(Step step, std::ostream& err)
{
    try {
        return step();
    } catch (const FileError& e) {
        err << e.what() << "\n";
        return kExitFileError;
    }
}

} // namespace

// "Записать в ПСИ" without the window: the service page filled from --image as the
// identification output fills it, the options tick their operations and set their
// fields, and the write-back runs as the window runs it. Messages go to stderr.
void declareWriteConfig(CommandSyntax& syntax)
{
    syntax.describe("«Записать в ПСИ» без окна: страница «Сервис» заполняется из IMAGE.bbd, как ее заполняет "
                    "вывод идентификации (нулевая память без --image), каждый параметр отмечает свою операцию и "
                    "задает ее поля, и запись идет так же, как в окне. Сообщения выводятся в stderr.");
    declareDeviceOptions(syntax, Need::Required);
    syntax
        .option("--image", "IMAGE.bbd", "считывание, из которого заполняется страница")
        .option("--operator", "NAME", "имя оператора для окна идентификации (не более 32 знаков; пустое имя "
                                      "идентификацию не подтверждает, код завершения 5)", Need::Required)
        .option("--code", "CODE", "код доступа для окна идентификации (не более 8 знаков)", Need::Required)
        .option("--clock", "\"dd.MM.yyyy hh:mm[:ss]\"", "установить часы регистратора (chbSetRTC); годы 2000–2099, "
                                                        "секунды принимаются, но не записываются")
        .option("--ident", "IDENT.json", "изменить паспорт (chbEditPKR): объект JSON с текстами полей по именам "
                                         "элементов (eRegType … eEnter, eRegSetup как \"dd.MM.yyyy\")")
        .option("--normalisation", "\"q0/qnom;q0/qnom;q0/qnom;q0/qnom\"",
            "нормировка датчиков (chbNormir): тексты «Qo» и «Qном» четырех строк lvCalibr")
        .option("--program", "PROGRAM.json", "изменить программу микроконтроллера (chbProgram): переключатели "
                                             "(true/false), значения полей в их диапазонах, sgVylet - 16 пар "
                                             "[код, нагрузка]")
        .flag("--erase", "удалить данные регистратора (chbErase), ответив «Да» на вопрос");
    declareLocaleOption(syntax);
    syntax
        .option("--dump", "OUT.bbd", "после записи прочитать всю память ПСИ обратно в файл (около 10 с)")
        .option("--save-image", "OUT.bbd", "записать составленную память в файл (контрольная сумма не "
                                           "пересчитывается: show этого файла требует --yes)")
        .footer("Коды завершения: 0 выполнено («Данные успешно записаны в память!» в stderr); 1 файл не прочитан "
                "или не записан; 2 ошибка в командной строке или в JSON; 5 проверка ввода отвергла страницу или "
                "оператор не подтвержден; 6 ПСИ не найден (или нет библиотеки порта); 7 передача не удалась или "
                "прочитанное обратно отличается.");
}

int runWriteConfig(const ParsedArgs& args, std::ostream&, std::ostream& err)
{
    const std::string device = *args.value("--device");
    const std::string operatorName = *args.value("--operator");
    const std::string accessCode = *args.value("--code");
    checkInputLimit(operatorName, "--operator", kOperatorNameLimit);
    checkInputLimit(accessCode, "--code", kAccessCodeLimit);

    // --erase answers Yes to the erasure question; nothing else asks one.
    CliUserInterface ui(err, true);
    Session session;
    session.locale = args.value("--locale") ? DisplayLocale::fromName(*args.value("--locale")) : DisplayLocale::system();
    ServicePage page;
    try {
        if (const auto image = args.value("--image")) {
            if (!hasDataFileExtension(*image)) {
                err << kWrongExtensionMessage << "\n";
                return kExitFileError;
            }
            session.image = readImageFile(*image);
        }
        page = composePage(args, session, ui);
    } catch (const FileError& e) {
        err << e.what() << "\n";
        return kExitFileError;
    }

    // Every ticked field before the port is opened: a refused one touches nothing.
    try {
        checkServicePage(page, session.image, session.locale);
    } catch (const ConfigurationError& refused) {
        err << refused.what() << "\n";
        return kExitInputRefused;
    }

    CliOperatorIdentification identification(operatorName, accessCode);
    if (!identification.confirmable()) {
        // Checked before the port is opened: an identification that cannot be confirmed touches nothing.
        err << kNotConfirmed << "\n";
        return kExitInputRefused;
    }
    std::unique_ptr<DeviceLink> link;
    try {
        link = std::make_unique<DeviceLink>(device, args.value(kPortOption), ui, err);
    } catch (const DeviceUnavailable&) {
        err << config_text::kDeviceNotConnected << "\n"; // no port library, no device
        return kExitDeviceNotFound;
    }

    SystemClock clock;
    OperatorCredentials credentials;
    const WriteBackResult result = writeConfiguration(
        page, session.image, credentials, link->transfer(), clock, ui, identification, session.locale);
    int code = exitCodeOf(result);
    // A later failure never hides an earlier one; both files are tried.
    const auto keepFirst = [&code](int next) { code = code != kExitOk ? code : next; };
    if (const auto dump = args.value("--dump"); dump && result != WriteBackResult::DeviceNotFound)
        keepFirst(saving([&] { return dumpDevice(link->transfer(), *dump, err); }, err));
    if (const auto save = args.value("--save-image"))
        keepFirst(saving([&] { saveImage(*save, session.image); return kExitOk; }, err));
    return code;
}

} // namespace kestrel::cli
