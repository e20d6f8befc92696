#include "support/clipboardtext.h"

#include <QClipboard>
#include <QGuiApplication>

ClipboardText &ClipboardText::instance()
{
    static ClipboardText clipboard;
    return clipboard;
}

void ClipboardText::Empty()
{
    QGuiApplication::clipboard()->clear();
}

void ClipboardText::SetText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

QString ClipboardText::Text() const
{
    return QGuiApplication::clipboard()->text();
}
