#include "runner/spreadsheet/savedexport.h"

#include "support/filedialog.h"
#include "support/fileopener.h"
#include "support/messagebox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int OfferStyle = 3 + MsgBoxStyle::Information; // Yes, No, Cancel
const int OpenFolder = MsgBoxButton::Yes;
const int SaveCopy = MsgBoxButton::No;

// Copies the workbook to target (replacing a file there, which the dialog has let the user
// confirm); false when the copy could not be made whole.
bool copyWorkbook(const QString &path, const QString &target)
{
    if (QFileInfo(path).canonicalFilePath() == QFileInfo(target).canonicalFilePath())
        return true;
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    if (!QFile::copy(path, partial))
        return false;
    QFile::remove(target);
    if (QFile::rename(partial, target))
        return true;
    QFile::remove(partial);
    return false;
}

// Asks where to put a copy and makes it; true when a copy was made.
bool saveCopy(const QString &path, ModalHost &modal)
{
    FileDialog dialog;
    dialog.Filter = QStringLiteral("Excel workbooks|*.xlsx|All files|*.*");
    dialog.DefaultExt = QStringLiteral("xlsx");
    dialog.FilePath = QFileInfo(path).fileName();
    dialog.InitDir = QDir::homePath();
    if (!dialog.ShowSave(modal))
        return false;
    while (!copyWorkbook(path, dialog.FilePath)) {
        const int answer =
            MsgBox(modal, QDir::toNativeSeparators(dialog.FilePath) + u"\r\n\r\nCan't save file.",
                   MsgBoxStyle::RetryCancelCritical);
        if (answer != MsgBoxButton::Retry)
            return false;
    }
    return true;
}

} // namespace

void OfferSavedExport(const QString &path, FileOpener &opener, ModalHost &modal)
{
    const QString shown = QDir::toNativeSeparators(path);
    QString why = QStringLiteral("No program could be started to open it.");
    for (;;) {
        const int answer =
            MsgBox(modal,
                   u"The matches were saved to\r\n\r\n" + shown + u"\r\n\r\n" + why +
                       u" You can open the folder that holds it, or save a copy elsewhere.",
                   OfferStyle, QString(),
                   {QStringLiteral("Open Folder"), QStringLiteral("Save a Copy..."),
                    QStringLiteral("Close")});
        if (answer == OpenFolder) {
            if (opener.Open(QFileInfo(path).absolutePath()))
                return;
            why = QStringLiteral("No program could be started to open it or its folder.");
        } else if (answer == SaveCopy) {
            if (saveCopy(path, modal))
                return;
        } else {
            return;
        }
    }
}
