#pragma once
// The window behind FileDialog: Qt's own file dialog on every desktop, in detail view, opening
// at the size the user last left it at or else wide enough for the name, size, type and date
// columns. The default extension is added to a typed name only under a filter that lists it,
// and when opening, only to a name that is not an existing file as typed.

#include <QFileDialog>

class QLineEdit;

class FileDialogWindow : public QFileDialog
{
public:
    // filter in Qt's form ("RegExp files (*.RegExp);;All files (*)"); defaultExt without the dot.
    FileDialogWindow(QWidget *owner, bool save, const QString &caption, const QString &dir,
                     const QString &filter, const QString &defaultExt);

    // True when a name typed under nameFilter ("RegExp files (*.RegExp)") gets ext added:
    // the filter lists "*.ext".
    static bool filterAddsExt(const QString &nameFilter, const QString &ext);

protected:
    void showEvent(QShowEvent *event) override;
    void accept() override;
    void done(int result) override;

private:
    // The default extension when the selected filter adds it, else none; none either for the
    // typed name of an existing file in the open dialog.
    void chooseSuffix();
    bool typedNameExists() const;
    // Enables Open or Save for the typed name as it now stands.
    void refreshOkButton();
    // Widens the window until the detail view's columns fit beside the places list.
    void fitColumns();

    QString m_defaultExt;
    QLineEdit *m_nameEdit = nullptr; // the dialog's file name box
    bool m_sizeRestored = false;
    bool m_fitted = false;
};
