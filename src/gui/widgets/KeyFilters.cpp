#include "gui/widgets/KeyFilters.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace kestrel::gui {

namespace {

// A key that types text, as opposed to editing and navigation keys.
bool typesText(const QKeyEvent& key)
{
    if (key.text().isEmpty())
        return false;
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QChar first = key.text().front();
    return !first.isNull() && first.category() != QChar::Other_Control;
}

} // namespace

DigitKeyFilter::DigitKeyFilter(QObject* parent) : QObject(parent) {}

bool DigitKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (!typesText(key))
        return false;
    for (const QChar ch : key.text())
        if (!ch.isDigit())
            return true; // discarded
    return false;
}

DecimalKeyFilter::DecimalKeyFilter(QChar separator, QObject* parent) : QObject(parent), separator_(separator) {}

bool DecimalKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (!typesText(key))
        return false;
    const QString text = key.text();
    if (text.size() == 1 && (text[0] == u'.' || text[0] == u',')) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched); edit != nullptr && !edit->isReadOnly())
            edit->insert(QString(separator_));
        return true;
    }
    for (const QChar ch : text)
        if (!ch.isDigit())
            return true;
    return false;
}

} // namespace kestrel::gui
