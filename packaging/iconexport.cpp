// Renders the program's icon groups to PNG files for the desktop's icon theme.
//   sievewright-iconexport OUTPUT_DIR   writes OUTPUT_DIR/SIZE/{apps,mimetypes}/NAME.png

#include "support/suresources.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: sievewright-iconexport OUTPUT_DIR\n", stderr);
        return 2;
    }
    const struct
    {
        const char *resource;
        const char *context;
        const char *name;
    } icons[] = {{"A_MAIN", "apps", "sievewright"},
                 {"IDI_ASSOCIATION", "mimetypes", "application-x-sievewright-regexp"}};
    for (const auto &icon : icons) {
        const QIcon group = suLoadResIcon(QString::fromLatin1(icon.resource));
        if (group.isNull()) {
            std::fprintf(stderr, "no icon %s\n", icon.resource);
            return 1;
        }
        for (int size : {16, 24, 32, 48, 64, 128, 256}) {
            const QString dir =
                QStringLiteral("%1/%2x%2/%3").arg(argv[1]).arg(size).arg(icon.context);
            const QString file = dir + u'/' + QString::fromLatin1(icon.name) + u".png";
            if (!QDir().mkpath(dir) || !group.pixmap(QSize(size, size), 1.0).save(file)) {
                std::fprintf(stderr, "can't write %s\n", qPrintable(file));
                return 1;
            }
        }
    }
    return 0;
}
