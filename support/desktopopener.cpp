#include "support/desktopopener.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

// False when the desktop's MIME registry names no application for the file's type. Handing
// such a file to the desktop would "succeed" and open nothing.
bool hasDefaultApplication(const QString &filePath)
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return true; // no registry to ask: let the desktop try
    const QString mimeType = QMimeDatabase().mimeTypeForFile(filePath).name();
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit ||
        query.exitCode() != 0)
        return true;
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace

bool DesktopOpener::Open(const QString &filePath)
{
    if (!hasDefaultApplication(filePath))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(filePath));
}
