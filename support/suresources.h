#pragma once
// The program's own resources: icon groups by name ("A_MAIN", "IDI_MATCH_3", ...) and texts.

#include <QIcon>
#include <QPixmap>
#include <QString>

// The icon group of that name, drawn crisply at every size; a null icon for an unknown name.
QIcon suLoadResIcon(const QString &name);
// The icon at 16 x 16 (device-independent) pixels, sharp on high-density screens.
QPixmap suLoadResIconSmall(const QString &name, qreal devicePixelRatio = 0);
// A text resource ("TXT_REGEXP_HELP"); empty for an unknown name.
QString suLoadResText(const QString &name);
