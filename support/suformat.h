#pragma once
// Number display texts.

#include <QString>

// The number with the digit grouping of the user's locale: "1,000,000" in English.
QString suFormatLong(qint64 number);
