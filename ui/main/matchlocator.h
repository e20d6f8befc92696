#pragma once
// Ties the results tree to the source box. Keeps the positions of the run that filled the
// tree: selecting a match or submatch node selects its text in the source box (the focus stays
// in the tree), activating it (double-click, Enter) moves the focus there, and the box
// highlights every match. An edit of the source ends both until the next run; a change of the
// pattern or the options leaves both (the window shows them as out of date).

#include "runner/matchpositions.h"

#include <QObject>

#include <cstddef>
#include <optional>

class QTreeWidgetItem;
class ResultsTreeWidget;
class SourceTextBox;

class MatchLocator : public QObject
{
    Q_OBJECT

public:
    MatchLocator(ResultsTreeWidget *tree, SourceTextBox *source, QObject *parent = nullptr);

    // The positions of the run that has just filled the tree; highlights them.
    void setPositions(MatchPositions positions);
    // Selects the node at the same place as before a refill (the child of a match node, or -1
    // for the node itself) and frames its text, without moving the source box's caret.
    void restoreSelection(int topLevel, int child);
    // Forgets the positions: locating stops and the highlights go.
    void clear();
    // Bytes held for positions.
    std::size_t positionBytes() const;

private:
    // The match and group (0 for the whole match) that node stands for, if any.
    std::optional<std::pair<int, int>> matchOf(QTreeWidgetItem *node) const;
    // Selects node's text in the source box; false when the node has none there.
    bool locate(QTreeWidgetItem *node);

    ResultsTreeWidget *m_tree;
    SourceTextBox *m_source;
    std::optional<MatchPositions> m_positions;
};
