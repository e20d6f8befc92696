#include "ui/main/treewidgetresults.h"

#include <QTreeWidget>

#include <utility>

namespace {

// The label as a tooltip: a tooltip wider than the screen wraps, but only where it may break a
// line, so a long run without blanks (a match of one letter repeated) gets a zero-width space
// every so often.
QString toolTipOf(const QString &label)
{
    constexpr qsizetype Run = 32;
    QString tip;
    tip.reserve(label.size() + label.size() / Run);
    qsizetype run = 0;
    for (qsizetype i = 0; i < label.size(); ++i) {
        const QChar ch = label.at(i);
        run = ch.isSpace() ? 0 : run + 1;
        if (run > Run && !ch.isLowSurrogate()) {
            tip += QChar(0x200B);
            run = 1;
        }
        tip += ch;
    }
    return tip;
}

// Where an item keeps what it stands for: the kind, the match and the group.
constexpr int KindRole = Qt::UserRole;
constexpr int MatchRole = Qt::UserRole + 1;
constexpr int GroupRole = Qt::UserRole + 2;

} // namespace

TreeWidgetResults::TreeWidgetResults(QTreeWidget *tree, IconLookup icons)
    : m_tree(tree)
    , m_icons(std::move(icons))
{}

void TreeWidgetResults::Clear()
{
    m_nodes.clear();
    m_tree->clear();
}

QTreeWidgetItem *TreeWidgetResults::makeItem(const QString &text, const QString &iconKey,
                                             ResultNode what) const
{
    auto *item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, KindRole, static_cast<int>(what.kind));
    item->setData(0, MatchRole, what.match);
    item->setData(0, GroupRole, what.group);
    // The column may be narrower than the label.
    item->setToolTip(0, toolTipOf(text));
    if (m_icons)
        item->setIcon(0, m_icons(iconKey));
    return item;
}

ResultsTree::Node TreeWidgetResults::AddRoot(const QString &text, const QString &iconKey,
                                             ResultNode what)
{
    QTreeWidgetItem *item = makeItem(text, iconKey, what);
    m_tree->addTopLevelItem(item);
    m_nodes.append(item);
    return m_nodes.size() - 1;
}

ResultsTree::Node TreeWidgetResults::AddChild(Node parent, const QString &text,
                                              const QString &iconKey, ResultNode what)
{
    QTreeWidgetItem *item = makeItem(text, iconKey, what);
    m_nodes.at(parent)->addChild(item);
    m_nodes.append(item);
    return m_nodes.size() - 1;
}

void TreeWidgetResults::SetExpanded(Node node, bool expanded)
{
    m_nodes.at(node)->setExpanded(expanded);
}

ResultNode TreeWidgetResults::nodeOf(const QTreeWidgetItem *item)
{
    if (!item || !item->data(0, KindRole).isValid())
        return {};
    return {static_cast<ResultNode::Kind>(item->data(0, KindRole).toInt()),
            item->data(0, MatchRole).toInt(), item->data(0, GroupRole).toInt()};
}
