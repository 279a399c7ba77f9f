#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace kestrel::gui {

// kestrel [--device DEVICE] [--archive FILE] [--extended] [--verify] [FILE.bbd]
struct StartOptions {
    std::optional<QString> device; // as kestrel-cli's --device; sets KESTREL_PORTIO
    bool extended = false;         // show the reader-device memory page and the program and erasure
                                   // operations of the service page (also KESTREL_EXTENDED=1)
    QString archive;               // the reading archive; empty: the per-user one
    bool verify = false;           // every device read is read twice and taken only when both agree
    QString file;                  // opened at start as "Открыть" would
    QString error;                 // non-empty: the command line was not understood
    bool help = false;
};

// `arguments` includes the program name first, as QCoreApplication::arguments() gives it;
// `extendedVariable` is the value of KESTREL_EXTENDED.
StartOptions parseStartOptions(const QStringList& arguments, const QString& extendedVariable);

inline constexpr const char* kUsage = "usage: kestrel [--device DEVICE] [--archive FILE] [--extended] [--verify] [FILE.bbd]\n"
                                      "  --device DEVICE  sim[:FILE.bbd][,...] | ppdev[:/dev/parportN] | direct\n"
                                      "  --archive FILE the reading archive (default: the per-user one)\n"
                                      "  --extended     show the page \"Дополнительно...\" and, on \"Сервис\", the program\n"
                                      "                 settings and the erasure (or KESTREL_EXTENDED=1)\n"
                                      "  --verify       read the reader device twice and take only matching readings\n";

} // namespace kestrel::gui
