#include "runner/runoptions.h"

QString PreparePattern(const QString &text, bool ignoreLineBreaks)
{
    QString copy = text;
    if (ignoreLineBreaks) {
        copy.remove(u'\r');
        copy.remove(u'\n');
    }
    return copy;
}
