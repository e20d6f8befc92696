#pragma once
// Drives the real file dialog the way a user would, for tests that hand in a ModalHost that
// shows the real dialogs.

#include <QString>

#include <functional>

class QWidget;

namespace FileDialogDriver {
// Runs act on the file dialog once it shows; act must close it.
void whenShown(const std::function<void(QWidget *dialog)> &act);
// Chooses the filter whose caption (in Qt's form) is given, e.g. "All files (*)".
void chooseFilter(QWidget *dialog, const QString &filter);
// True once the dialog lists the file; waits up to five seconds for the folder to be read.
bool lists(QWidget *dialog, const QString &filePath);
// Types name into the file name box.
void typeName(QWidget *dialog, const QString &name);
// Presses Open or Save once it is enabled (waits up to five seconds, then cancels).
void confirm(QWidget *dialog);
// Whether the detail view shows the name, size, type and date columns inside its width, each
// wide enough for what it shows of the listed files (waits until filePath is listed).
bool showsColumnsWhole(QWidget *dialog, const QString &filePath);
} // namespace FileDialogDriver
