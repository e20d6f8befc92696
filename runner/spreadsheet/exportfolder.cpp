#include "runner/spreadsheet/exportfolder.h"

#include "support/appinfo.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString namePrefix()
{
    return AppInfo::Application + u" matches ";
}
} // namespace

namespace ExportFolder {

QString path()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
}

QString fileStem(const QDateTime &when)
{
    // No ":" in the time: some file systems and desktops refuse it in a name.
    return namePrefix() + when.toString(u"yyyy-MM-dd HH.mm.ss");
}

int removeStale(const QString &folder, const QDateTime &now)
{
    const QDateTime limit = now.addDays(-1);
    int removed = 0;
    const QFileInfoList files =
        QDir(folder).entryInfoList({namePrefix() + u"*.xlsx"}, QDir::Files | QDir::Hidden);
    for (const QFileInfo &file : files) {
        if (file.lastModified() < limit && QFile::remove(file.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

} // namespace ExportFolder
