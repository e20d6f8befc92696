#pragma once
// A key pressed and released in a widget, handled before the call returns, as a benchmark types.

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

inline void typeKey(QWidget *box, Qt::Key key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(box, &press);
    QApplication::sendEvent(box, &release);
}
