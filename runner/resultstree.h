#pragma once
// What the runner needs of a results tree: empty it, add root and child nodes with a label, an
// icon key and what the node stands for, expand a node. The main window shows a tree-widget
// implementation; tests and benchmarks use a plain one (tests/support/plainresultstree.h).

#include <QString>

// What a node of the results tree stands for.
struct ResultNode
{
    enum class Kind
    {
        None,
        Totals, // the count of matches
        Match,  // match `match` (0-based)
        Group,  // submatch `group` (1-based) of match `match`
        Skip,   // the count of matches not listed
    };

    Kind kind = Kind::None;
    int match = -1;
    int group = 0;

    friend bool operator==(const ResultNode &, const ResultNode &) = default;
};

class ResultsTree
{
public:
    // A node handle, given out by the tree; only valid until the next Clear.
    using Node = qsizetype;

    virtual ~ResultsTree() = default;

    virtual void Clear() = 0;
    virtual Node AddRoot(const QString &text, const QString &iconKey, ResultNode what) = 0;
    virtual Node AddChild(Node parent, const QString &text, const QString &iconKey,
                          ResultNode what) = 0;
    virtual void SetExpanded(Node node, bool expanded) = 0;
};
