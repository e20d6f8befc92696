#pragma once
// A results tree held in plain lists, for tests and benchmarks.

#include "runner/resultstree.h"

#include <QList>

class PlainResultsTree : public ResultsTree
{
public:
    struct Item
    {
        QString text;
        QString iconKey;
        ResultNode what;
        bool expanded = false;
        Node parent = -1;
        QList<Node> children;
    };

    void Clear() override;
    Node AddRoot(const QString &text, const QString &iconKey, ResultNode what) override;
    Node AddChild(Node parent, const QString &text, const QString &iconKey,
                  ResultNode what) override;
    void SetExpanded(Node node, bool expanded) override;

    const QList<Node> &roots() const { return m_roots; }
    const Item &item(Node node) const { return m_items.at(node); }

private:
    QList<Item> m_items;
    QList<Node> m_roots;
};
