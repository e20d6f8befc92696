#pragma once
// The results tree over the window's QTreeWidget: nodes become items that carry what they stand
// for, icon keys become the keyed images of the tree's image list.

#include "runner/resultstree.h"

#include <QIcon>
#include <QList>

#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

class TreeWidgetResults : public ResultsTree
{
public:
    using IconLookup = std::function<QIcon(const QString &key)>;

    TreeWidgetResults(QTreeWidget *tree, IconLookup icons);

    void Clear() override;
    Node AddRoot(const QString &text, const QString &iconKey, ResultNode what) override;
    Node AddChild(Node parent, const QString &text, const QString &iconKey,
                  ResultNode what) override;
    void SetExpanded(Node node, bool expanded) override;

    // What an item of the tree stands for; Kind::None for null or an item not made here.
    static ResultNode nodeOf(const QTreeWidgetItem *item);

private:
    QTreeWidgetItem *makeItem(const QString &text, const QString &iconKey, ResultNode what) const;

    QTreeWidget *m_tree;
    IconLookup m_icons;
    QList<QTreeWidgetItem *> m_nodes;
};
