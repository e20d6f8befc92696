#pragma once
// The results tree over the window's QTreeWidget: nodes become items, icon keys become the
// keyed images of the tree's image list.

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
    Node AddRoot(const QString &text, const QString &iconKey) override;
    Node AddChild(Node parent, const QString &text, const QString &iconKey) override;
    void SetExpanded(Node node, bool expanded) override;

private:
    QTreeWidgetItem *makeItem(const QString &text, const QString &iconKey) const;

    QTreeWidget *m_tree;
    IconLookup m_icons;
    QList<QTreeWidgetItem *> m_nodes;
};
