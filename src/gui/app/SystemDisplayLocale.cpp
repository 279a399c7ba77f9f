#include "gui/app/SystemDisplayLocale.h"

namespace kestrel::gui {

namespace {

bool isSeparator(QChar ch) { return !ch.isLetterOrNumber() && ch != u'\''; }

// Drops separators left dangling at either end after a day name was removed.
std::string trimSeparators(const QString& pattern)
{
    qsizetype first = 0;
    qsizetype last = pattern.size();
    while (first < last && isSeparator(pattern[first]))
        ++first;
    while (last > first && isSeparator(pattern[last - 1]))
        --last;
    return pattern.mid(first, last - first).toStdString();
}

} // namespace

std::string shortDatePattern(const QString& qtFormat)
{
    QString out;
    bool day = false, month = false, year = false;
    for (qsizetype i = 0; i < qtFormat.size();) {
        const QChar ch = qtFormat[i];
        if (ch == u'\'') { // quoted literal text
            const qsizetype end = qtFormat.indexOf(u'\'', i + 1);
            const qsizetype stop = end < 0 ? qtFormat.size() : end;
            out += qtFormat.mid(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        qsizetype run = 1;
        while (i + run < qtFormat.size() && qtFormat[i + run] == ch)
            ++run;
        if (ch == u'd') {
            if (run <= 2) {
                out += QString(run, u'd');
                day = true;
            } else if (!out.isEmpty() && isSeparator(out.back())) {
                // a day name: drop it together with the separator before it
                while (!out.isEmpty() && isSeparator(out.back()))
                    out.chop(1);
            } else {
                // leading day name: skip the separator that follows it
                while (i + run < qtFormat.size() && isSeparator(qtFormat[i + run]))
                    ++run;
            }
        } else if (ch == u'M' || ch == u'L') {
            out += run == 1 ? QStringLiteral("M") : QStringLiteral("MM");
            month = true;
        } else if (ch == u'y') {
            out += run >= 4 ? QStringLiteral("yyyy") : QStringLiteral("yy");
            year = true;
        } else if (ch.isLetter()) {
            // eras and the like have no place in a short numeric date
        } else {
            out += QString(run, ch);
        }
        i += run;
    }
    if (!day || !month || !year)
        return "dd.MM.yyyy";
    return trimSeparators(out);
}

DisplayLocale displayLocaleFrom(const QLocale& locale)
{
    // QLocale::system() answers the decimal point from LC_NUMERIC and the date formats
    // from LC_TIME (LC_ALL over either, LANG as the default), as the command line reads
    // them; its language follows LC_MESSAGES, so it must not decide either part.
    DisplayLocale result = DisplayLocale::c();
    const QString point = locale.decimalPoint();
    result.decimalSeparator = point.size() == 1 && point[0].unicode() < 0x80 ? static_cast<char>(point[0].unicode()) : '.';
    // The C locale's short date ("d MMM yyyy") names the month; the command line's C
    // short date is used instead, so that both front ends show the same texts.
    const QString shortFormat = locale.dateFormat(QLocale::ShortFormat);
    if (shortFormat != QLocale::c().dateFormat(QLocale::ShortFormat))
        result.shortDateFormat = shortDatePattern(shortFormat);
    return result;
}

DisplayLocale systemDisplayLocale() { return displayLocaleFrom(QLocale::system()); }

} // namespace kestrel::gui
