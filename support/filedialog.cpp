#include "support/filedialog.h"

#include "support/filedialogwindow.h"
#include "support/modalhost.h"

#include <QDir>
#include <QFileInfo>

QString FileDialog::qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(u';', Qt::SkipEmptyParts);
        // "*.*" asks for every file, also names without a dot.
        for (QString &pattern : patterns) {
            if (pattern == u"*.*")
                pattern = QStringLiteral("*");
        }
        entries.append(parts.at(i) + u" (" + patterns.join(u' ') + u')');
    }
    return entries.join(u";;");
}

bool FileDialog::ShowOpen(ModalHost &host)
{
    return show(host, false);
}

bool FileDialog::ShowSave(ModalHost &host)
{
    return show(host, true);
}

bool FileDialog::show(ModalHost &host, bool save)
{
    ModalRequest request;
    request.kind = save ? ModalKind::SaveFile : ModalKind::OpenFile;
    request.caption = save ? QStringLiteral("Save As") : QStringLiteral("Open");
    request.text = FilePath;
    request.filter = Filter;
    request.initialDir = InitDir;
    request.defaultExt = DefaultExt;
    const ModalAnswer answer = host.run(request, [&] {
        FileDialogWindow dialog(OwnerWindow, save, request.caption, InitDir, qtFilter(Filter),
                                DefaultExt);
        if (!FilePath.isEmpty())
            dialog.selectFile(FilePath);
        ModalAnswer result;
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            result.accepted = true;
            result.filePath = dialog.selectedFiles().constFirst();
        }
        return result;
    });
    if (!answer.accepted)
        return false;
    FilePath = QDir::cleanPath(QFileInfo(answer.filePath).absoluteFilePath());
    return true;
}
