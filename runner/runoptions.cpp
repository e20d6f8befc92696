#include "runner/runoptions.h"

#include <algorithm>

QString PreparePattern(const QString &text, bool ignoreLineBreaks)
{
    QString copy = text;
    if (ignoreLineBreaks) {
        copy.remove(u'\r');
        copy.remove(u'\n');
    }
    return copy;
}

qsizetype TypedPatternOffset(const QString &text, qsizetype offset, bool ignoreLineBreaks)
{
    if (!ignoreLineBreaks)
        return std::min(offset, text.size());
    qsizetype kept = 0;
    qsizetype keptEnd = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'\r' || text.at(i) == u'\n')
            continue;
        if (kept == offset)
            return i;
        ++kept;
        keptEnd = i + 1;
    }
    return keptEnd;
}
