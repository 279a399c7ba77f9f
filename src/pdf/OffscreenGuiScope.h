#pragma once

#include <QtGlobal>

#include <memory>

class QGuiApplication;

namespace kestrel::pdf {

// Lays documents out without a display, for programs that have no window (kestrel-cli).
// Fonts and text layout need a QGuiApplication: this creates one on the "offscreen"
// platform when there is none, for as long as it lives. QT_QPA_PLATFORM is set only when
// the user has not set it, and an application that already exists is used as it is.
class OffscreenGuiScope {
public:
    OffscreenGuiScope();
    ~OffscreenGuiScope();
    OffscreenGuiScope(const OffscreenGuiScope&) = delete;
    OffscreenGuiScope& operator=(const OffscreenGuiScope&) = delete;

    // True when a QGuiApplication exists (ours or the caller's). False when the
    // program already has a QCoreApplication, which cannot lay out text.
    bool ready() const;

private:
    int argc_ = 1;
    char name_[12] = "kestrel-cli";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> application_;
    QtMessageHandler previousHandler_ = nullptr;
    bool handlerInstalled_ = false;
};

} // namespace kestrel::pdf
