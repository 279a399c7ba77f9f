#include "pdf/OffscreenGuiScope.h"

#include <QGuiApplication>
#include <QtGlobal>

namespace kestrel::pdf {

namespace {

// Qt's own notes (a missing runtime folder, font fallbacks) are no business of a command
// line user; its fatal messages still end the program as they would.
void quietUnlessFatal(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg)
        qt_message_output(type, context, message);
}

} // namespace

OffscreenGuiScope::OffscreenGuiScope()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    previousHandler_ = qInstallMessageHandler(quietUnlessFatal);
    handlerInstalled_ = true;
    application_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

OffscreenGuiScope::~OffscreenGuiScope()
{
    application_.reset();
    if (handlerInstalled_)
        qInstallMessageHandler(previousHandler_);
}

bool OffscreenGuiScope::ready() const
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace kestrel::pdf
