#pragma once
// Window services: icons, centring, the menu bar, closing and text selection.
// A "handle" is the Qt object that stands for the window: a QWidget, or the application
// object for the application's hidden owner window.

#include <QString>

class QMenuBar;
class QObject;
class QWidget;

using WindowHandle = QObject *;

// The object that owns every window of the application: the application itself.
WindowHandle suGetThunderMainHandle();
// Gives a window (or, for the application handle, every window) the icons of that group.
bool suSetWindowResIconAll(WindowHandle handle, const QString &iconName);
// Centres the window on the available area of its screen.
bool suCenterFormEx(QWidget *window);
// Nothing to adjust on this platform; kept for the load sequence.
bool suFixUserControlsContainerWindow();
// Places the top-level menu at position (0-based) and those after it at the right end of the
// bar when right is true.
bool suSetMenuJustify(QMenuBar *menuBar, int position, bool right);
// Closes the window as the user's close box would (its close handlers run and may cancel).
bool suUnloadForm(QWidget *window);
// Selects the whole text of a text box (QPlainTextEdit, QTextEdit or QLineEdit).
bool suHighlightText(QWidget *edit);
