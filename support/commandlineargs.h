#pragma once
// The program's argument list: the arguments after the program's own name.

#include <QString>
#include <QStringList>

class CommandLineArgs
{
public:
    // Takes a list that the platform has already split.
    void SetArguments(const QStringList &arguments) { m_items = arguments; }

    qint32 Count() const { return static_cast<qint32>(m_items.size()); }
    // 0-based; an index out of range gives an empty text.
    QString Item(qint32 index) const { return m_items.value(index); }

private:
    QStringList m_items;
};
