#pragma once
// A file dialog for one command: set the properties, then ShowOpen or ShowSave.

#include <QString>

class ModalHost;
class QWidget;

class FileDialog
{
public:
    // Filter in pairs of description and patterns: "RegExp files|*.RegExp|All files|*.*".
    QString Filter;
    int Options = 0;
    // Appended (with a dot) to a name typed without an extension while a filter that lists
    // "*.DefaultExt" is chosen; a name typed under any other filter is taken as typed.
    QString DefaultExt;
    // In: the initial file name; out: the chosen file's full path.
    QString FilePath;
    QWidget *OwnerWindow = nullptr;
    QString InitDir;

    // Modal, through host; true when the user chose a file (FilePath then holds it).
    bool ShowOpen(ModalHost &host);
    bool ShowSave(ModalHost &host);

    // The filter in Qt's form: "RegExp files (*.RegExp);;All files (*)"; "*.*" becomes "*",
    // every file.
    static QString qtFilter(const QString &filter);

private:
    bool show(ModalHost &host, bool save);
};
