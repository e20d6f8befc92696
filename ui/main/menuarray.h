#pragma once
// A menu as an array of items addressed by a sparse index (0, 1, 10, 11, ..., 99), as the
// command layer dispatches on it. The items are the menu's actions; separators have the
// caption "-".

#include <QList>
#include <QMap>
#include <QString>

class QAction;
class QMenu;

class MenuArray
{
public:
    explicit MenuArray(QString name)
        : m_name(std::move(name))
    {}

    const QString &name() const { return m_name; }
    // The item at index; null when the array has none there.
    QAction *item(int index) const { return m_items.value(index); }
    // The index of the item; -1 for an action that is not in the array.
    int indexOf(const QAction *action) const;

    void add(int index, QAction *action) { m_items.insert(index, action); }
    // The drop-down that shows the items (null for the menu bar's own array).
    QMenu *menu() const { return m_menu; }
    void setMenu(QMenu *menu) { m_menu = menu; }

private:
    QString m_name;
    QMap<int, QAction *> m_items;
    QMenu *m_menu = nullptr;
};
