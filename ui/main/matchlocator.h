#pragma once
// Ties the results tree to the source box. Keeps the positions of the run that filled the
// tree: selecting a match or submatch node selects its text in the source box (the focus stays
// in the tree), activating it (double-click, Enter) moves the focus there, and the box
// highlights every match. An edit of the source ends both until the next Execute; a change of
// the pattern or the options only hides the highlights.

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
    // Forgets the positions: locating stops and the highlights go.
    void clear();
    // The highlights go; the matches listed in the tree can still be located.
    void hideHighlights();
    // Bytes held for positions.
    std::size_t positionBytes() const;

private:
    // The match and group (0 for the whole match) that node stands for, if any.
    std::optional<std::pair<int, int>> matchOf(QTreeWidgetItem *node) const;
    // The matches the tree lists (the first ones of the run).
    int listedMatches() const;
    // Selects node's text in the source box; false when the node has none there.
    bool locate(QTreeWidgetItem *node);

    ResultsTreeWidget *m_tree;
    SourceTextBox *m_source;
    std::optional<MatchPositions> m_positions;
    bool m_highlighted = false;
};
