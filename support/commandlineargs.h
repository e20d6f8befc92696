#pragma once
// The program's argument list: the arguments after the program's own name.

#include <QString>
#include <QStringList>

class CommandLineArgs
{
public:
    // Splits a raw argument text the way a Windows command line is split: blanks and tabs
    // separate, double quotes group, 2n backslashes before a quote give n backslashes.
    // The second argument is accepted for compatibility and unused.
    void Parse(const QString &text, bool unused = true);
    // Takes a list that the platform has already split.
    void SetArguments(const QStringList &arguments) { m_items = arguments; }

    qint32 Count() const { return static_cast<qint32>(m_items.size()); }
    // 0-based; an index out of range gives an empty text.
    QString Item(qint32 index) const { return m_items.value(index); }

private:
    QStringList m_items;
};
