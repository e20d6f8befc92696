#include "support/desktopopener.h"

#include <QDesktopServices>
#include <QUrl>

DesktopOpener &DesktopOpener::instance()
{
    static DesktopOpener opener;
    return opener;
}

bool DesktopOpener::Open(const QString &filePath)
{
    if (m_opener)
        return m_opener(filePath);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(filePath));
}

void DesktopOpener::setOpener(Opener opener)
{
    m_opener = std::move(opener);
}
