#include "support/suformat.h"

#include <QLocale>

QString suFormatLong(qint64 number)
{
    return QLocale().toString(number);
}
