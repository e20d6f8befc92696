#include "support/sufiles.h"

#include "support/fileopener.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

bool suRegisterAppPath()
{
    return true;
}

bool suIsInIDE()
{
    return false;
}

QString suGetFullFileName(const QString &name)
{
    if (name.isEmpty())
        return {};
    return QDir::cleanPath(QDir::current().absoluteFilePath(name));
}

QString suGetFileName(const QString &path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString suGetFilePath(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return {};
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString suGetCurrentDirectory()
{
    return QDir::currentPath();
}

QString suReadMeFilePath()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    const QStringList candidates = {
        QDir(appDir).filePath(QStringLiteral("../share/doc/sievewright/README.html")),
        QStringLiteral(SIEVEWRIGHT_DOC_DIR "/README.html"),
        QStringLiteral(SIEVEWRIGHT_SOURCE_DIR "/resources/readme/README.html"),
    };
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(QFileInfo(candidate).absoluteFilePath());
    }
    return {};
}

bool suOpenReadMeFile(FileOpener &opener)
{
    const QString path = suReadMeFilePath();
    return !path.isEmpty() && opener.Open(path);
}
