#pragma once
// The read-me in a read-only window of the program's own, for a desktop that has no viewer for
// it. One window at a time; it is not modal, so the user can read while working. Its colours
// follow the palette.

#include <QWidget>

class FileOpener;
class QTextBrowser;

class frmReadMe : public QWidget
{
    Q_OBJECT

public:
    // Loads the read-me at path (empty: says that none is installed).
    frmReadMe(const QString &path, QWidget *owner = nullptr);

    QTextBrowser *txtReadMe = nullptr;

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

// Opens the read-me through opener (the desktop's viewer); when that fails, shows it in the
// program's own window over owner (or brings that window forward when it is open already).
void ShowReadMe(QWidget *owner, FileOpener &opener);
