#include "support/suresources.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace {

QPixmap render(const QString &path, int size)
{
    QSvgRenderer renderer(path);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    return QPixmap::fromImage(image);
}

// An icon group: "NAME.svg" drawn at every size, and "NAME-16.svg", where it exists, drawn on
// the pixel grid for the 16-pixel image.
QIcon buildIcon(const QString &name)
{
    const QString large = u":/icons/" + name + u".svg";
    if (!QFile::exists(large))
        return {};
    const QString small = u":/icons/" + name + u"-16.svg";
    const bool hasSmall = QFile::exists(small);
    QIcon icon;
    for (int size : {16, 20, 24, 32, 40, 48, 64, 96, 128, 256})
        icon.addPixmap(render(size <= 16 && hasSmall ? small : large, size));
    return icon;
}

} // namespace

QIcon suLoadResIcon(const QString &name)
{
    static QHash<QString, QIcon> cache;
    auto it = cache.find(name);
    if (it == cache.end())
        it = cache.insert(name, buildIcon(name));
    return *it;
}

QPixmap suLoadResIconSmall(const QString &name, qreal devicePixelRatio)
{
    const QIcon icon = suLoadResIcon(name);
    if (icon.isNull())
        return {};
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : qApp->devicePixelRatio();
    return icon.pixmap(QSize(16, 16), ratio);
}

QString suLoadResText(const QString &name)
{
    QFile file(u":/texts/" + name + u".txt");
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll());
}
