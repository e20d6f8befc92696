#include "ui/main/statustexts.h"

#include "support/suformat.h"

namespace StatusTexts {

QString verdict(qint64 matches)
{
    if (matches == 0)
        return QStringLiteral("No match");
    return suFormatLong(matches) + (matches == 1 ? u" match" : u" matches");
}

QString duration(std::chrono::nanoseconds time)
{
    const double ms = std::chrono::duration<double, std::milli>(time).count();
    if (ms < 10)
        return QString::number(ms, 'f', 1) + u" ms";
    if (ms < 1000)
        return QString::number(qRound(ms)) + u" ms";
    return QString::number(ms / 1000, 'f', 1) + u" s";
}

QString runDone(qint64 matches, std::chrono::nanoseconds engineTime)
{
    return verdict(matches) + u" in " + duration(engineTime);
}

QString running(std::chrono::nanoseconds elapsed)
{
    return u"Running... " + duration(elapsed);
}

QString patternError(int number, const QString &description, int position)
{
    QString text = u"Error " + QString::number(number);
    if (position >= 0)
        text += u" at character " + QString::number(position + 1);
    return text + u": " + description;
}

QString arriving(QStringView what, int percent)
{
    return u"Loading the " + what + u"... " + QString::number(percent) + u'%';
}

} // namespace StatusTexts
