#pragma once
// Modal message boxes described by a style number, answered with a button code.
//
// Style = buttons (0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No,
// 5 Retry/Cancel) + icon (16 critical, 32 question, 48 warning, 64 information)
// + default button (0 first, 256 second, 512 third).

#include <QString>
#include <QStringList>

#include <memory>

class ModalHost;
class QDialog;

namespace MsgBoxButton {
inline constexpr int OK = 1;
inline constexpr int Cancel = 2;
inline constexpr int Abort = 3;
inline constexpr int Retry = 4;
inline constexpr int Ignore = 5;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
} // namespace MsgBoxButton

namespace MsgBoxStyle {
inline constexpr int Critical = 16;            // OK, critical icon
inline constexpr int RetryCancelCritical = 21; // Retry and Cancel, critical icon
inline constexpr int YesNoCancelQuestion = 35; // Yes, No and Cancel, question icon
inline constexpr int Information = 64;         // OK, information icon
inline constexpr int OkCancelInformation = 65; // OK and Cancel, information icon
} // namespace MsgBoxStyle

// Shows the box through host over the active window and returns the button pressed; an empty
// title gives the application title. Closing the box with Esc or its close button gives Cancel
// where the box has one, else the only button.
// buttonTexts, where given, are the captions of the style's buttons in display order; the codes
// returned stay those of the style.
int MsgBox(ModalHost &host, const QString &prompt, int style = 0, const QString &title = {},
           const QStringList &buttonTexts = {});

// The window that MsgBox shows for these arguments, not yet shown: for looking at it.
std::unique_ptr<QDialog> msgBoxWindow(const QString &prompt, int style, const QString &title = {});

// The button codes that a box of this style offers, in display order.
QList<int> msgBoxButtons(int style);
