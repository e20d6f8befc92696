#include "support/preferences.h"

#include <QSettings>

namespace {
QString keyOf(const QString &name)
{
    return QStringLiteral("Options/") + name;
}
} // namespace

namespace Preferences {

bool flag(const QString &name, bool fallback)
{
    const QVariant stored = QSettings().value(keyOf(name));
    return stored.isValid() && stored.canConvert<bool>() ? stored.toBool() : fallback;
}

void setFlag(const QString &name, bool on)
{
    QSettings().setValue(keyOf(name), on);
}

} // namespace Preferences
