#include "ui/main/treewidgetresults.h"

#include <QTreeWidget>

#include <utility>

TreeWidgetResults::TreeWidgetResults(QTreeWidget *tree, IconLookup icons)
    : m_tree(tree)
    , m_icons(std::move(icons))
{}

void TreeWidgetResults::Clear()
{
    m_nodes.clear();
    m_tree->clear();
}

QTreeWidgetItem *TreeWidgetResults::makeItem(const QString &text, const QString &iconKey) const
{
    auto *item = new QTreeWidgetItem(QStringList{text});
    // The column may be narrower than the label.
    item->setToolTip(0, text);
    if (m_icons)
        item->setIcon(0, m_icons(iconKey));
    return item;
}

ResultsTree::Node TreeWidgetResults::AddRoot(const QString &text, const QString &iconKey)
{
    QTreeWidgetItem *item = makeItem(text, iconKey);
    m_tree->addTopLevelItem(item);
    m_nodes.append(item);
    return m_nodes.size() - 1;
}

ResultsTree::Node TreeWidgetResults::AddChild(Node parent, const QString &text,
                                              const QString &iconKey)
{
    QTreeWidgetItem *item = makeItem(text, iconKey);
    m_nodes.at(parent)->addChild(item);
    m_nodes.append(item);
    return m_nodes.size() - 1;
}

void TreeWidgetResults::SetExpanded(Node node, bool expanded)
{
    m_nodes.at(node)->setExpanded(expanded);
}
