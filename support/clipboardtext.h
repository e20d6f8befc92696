#pragma once
// The process-wide clipboard, as plain text.

#include <QString>

class ClipboardText
{
public:
    static ClipboardText &instance();

    void Empty();
    void SetText(const QString &text);
    QString Text() const;

private:
    ClipboardText() = default;
};
