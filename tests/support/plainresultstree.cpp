#include "tests/support/plainresultstree.h"

void PlainResultsTree::Clear()
{
    m_items.clear();
    m_roots.clear();
}

ResultsTree::Node PlainResultsTree::AddRoot(const QString &text, const QString &iconKey,
                                            ResultNode what)
{
    m_items.append(Item{text, iconKey, what, false, -1, {}});
    m_roots.append(m_items.size() - 1);
    return m_items.size() - 1;
}

ResultsTree::Node PlainResultsTree::AddChild(Node parent, const QString &text,
                                             const QString &iconKey, ResultNode what)
{
    m_items.append(Item{text, iconKey, what, false, parent, {}});
    const Node node = m_items.size() - 1;
    m_items[parent].children.append(node);
    return node;
}

void PlainResultsTree::SetExpanded(Node node, bool expanded)
{
    m_items[node].expanded = expanded;
}
