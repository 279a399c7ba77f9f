#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace kestrel::gui {

// kestrel [--device DEVICE] [--archive FILE] [--extended] [--verify] [FILE.bbd] | --help | --version
struct StartOptions {
    std::optional<QString> device; // as kestrel-cli's --device; sets KESTREL_PORTIO
    bool extended = false;         // show the reader-device memory page and the program and erasure
                                   // operations of the service page (also KESTREL_EXTENDED=1)
    QString archive;               // the reading archive; empty: the per-user one
    bool verify = false;           // every device read is read twice and taken only when both agree
    QString file;                  // opened at start as "Открыть" would
    QString error;                 // non-empty: the command line was not understood
    bool help = false;
    bool version = false;          // print kVersionText and end
};

// `arguments` includes the program name first, as QCoreApplication::arguments() gives it;
// `extendedVariable` is the value of KESTREL_EXTENDED.
StartOptions parseStartOptions(const QStringList& arguments, const QString& extendedVariable);

// What the command line answers without a window: the help or the version on stdout
// (exit 0), a mistake and the help on stderr (exit 2); nullopt when the program is to
// start. Runs before QApplication exists, so that help2man needs no display.
std::optional<int> answerWithoutWindow(int argc, char** argv);

// The help, `kestrel --help` (on stdout; after a usage error on stderr); help2man reads it.
inline constexpr const char* kUsage =
    "Использование: kestrel [--device DEVICE] [--archive FILE] [--extended]\n"
    "      [--verify] [FILE.bbd]\n"
    "Регистратор параметров работы крана: считывания регистратора, документы, архив\n"
    "считываний, запись настроек в ПСИ.\n"
    "\n"
    "Аргументы:\n"
    "  FILE.bbd                открыть файл данных при запуске, как «Открыть»\n"
    "\n"
    "Параметры:\n"
    "  --device DEVICE         где искать ПСИ: i2c, i2c:/dev/i2c-N,\n"
    "                          i2c-sim[:FILE.bbd], sim[:FILE.bbd][,...],\n"
    "                          ppdev[:/dev/parportN], direct; без него - адаптеры\n"
    "                          USB, затем параллельные порты\n"
    "  --archive FILE          архив считываний (по умолчанию архив пользователя)\n"
    "  --extended              показать страницу «Дополнительно...», а на странице\n"
    "                          «Сервис» - программу микроконтроллера и удаление\n"
    "                          данных (или KESTREL_EXTENDED=1)\n"
    "  --verify                читать ПСИ дважды и брать только совпавшие чтения\n"
    "  -h, --help              показать эту справку и выйти\n"
    "  --version               показать версию программы и выйти\n";

inline constexpr const char* kVersionText = "kestrel " KESTREL_VERSION "\n";

} // namespace kestrel::gui
