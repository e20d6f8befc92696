#pragma once
// What the runner needs of a results tree: empty it, add root and child nodes with a label and
// an icon key, expand a node. The main window shows a tree-widget implementation; tests and
// benchmarks use a plain one (tests/support/plainresultstree.h).

#include <QString>

class ResultsTree
{
public:
    // A node handle, given out by the tree; only valid until the next Clear.
    using Node = qsizetype;

    virtual ~ResultsTree() = default;

    virtual void Clear() = 0;
    virtual Node AddRoot(const QString &text, const QString &iconKey) = 0;
    virtual Node AddChild(Node parent, const QString &text, const QString &iconKey) = 0;
    virtual void SetExpanded(Node node, bool expanded) = 0;
};
