#include "ui/main/matchlocator.h"

#include "ui/main/resultstreewidget.h"
#include "ui/main/sourcetextbox.h"
#include "ui/main/textboxoffsets.h"
#include "ui/main/treewidgetresults.h"

#include <QSignalBlocker>

MatchLocator::MatchLocator(ResultsTreeWidget *tree, SourceTextBox *source, QObject *parent)
    : QObject(parent)
    , m_tree(tree)
    , m_source(source)
{
    connect(tree, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem *> selected = m_tree->selectedItems();
        locate(selected.isEmpty() ? nullptr : selected.first());
    });
    // Double-click and Enter (or a single click where the platform activates with one).
    connect(tree, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *node) {
        if (locate(node))
            m_source->setFocus(Qt::OtherFocusReason);
    });
    // A new run or a new document empties the tree.
    connect(tree->model(), &QAbstractItemModel::modelReset, this, &MatchLocator::clear);
    connect(source, &QPlainTextEdit::textChanged, this, &MatchLocator::clear);
}

void MatchLocator::setPositions(MatchPositions positions)
{
    m_positions = std::move(positions);
    m_source->showMatches(&*m_positions);
}

void MatchLocator::restoreSelection(int topLevel, int child)
{
    QTreeWidgetItem *node = m_tree->topLevelItem(topLevel);
    if (node && child >= 0)
        node = node->child(child);
    if (!node)
        return;
    {
        const QSignalBlocker quiet(m_tree);
        m_tree->setCurrentItem(node);
    }
    const std::optional<std::pair<int, int>> target = matchOf(node);
    m_source->setCurrentMatch(target ? target->first : -1, target ? target->second : 0);
}

void MatchLocator::clear()
{
    m_source->showMatches(nullptr);
    m_positions.reset();
}

std::size_t MatchLocator::positionBytes() const
{
    return m_positions ? m_positions->bytes() : 0;
}

std::optional<std::pair<int, int>> MatchLocator::matchOf(QTreeWidgetItem *node) const
{
    const ResultNode what = TreeWidgetResults::nodeOf(node);
    if (!m_positions ||
        (what.kind != ResultNode::Kind::Match && what.kind != ResultNode::Kind::Group))
        return std::nullopt;
    const int group = what.kind == ResultNode::Kind::Group ? what.group : 0;
    if (what.match < 0 || what.match >= m_positions->count() || group < 0 ||
        group > m_positions->groupCount())
        return std::nullopt;
    return std::pair{what.match, group};
}

bool MatchLocator::locate(QTreeWidgetItem *node)
{
    if (!m_positions)
        return false;
    const std::optional<std::pair<int, int>> target = matchOf(node);
    m_source->setCurrentMatch(target ? target->first : -1, target ? target->second : 0);
    const MatchPositions::Span span =
        target ? m_positions->span(target->first, target->second) : MatchPositions::Span{};
    if (!span.participated()) {
        QTextCursor cursor = m_source->textCursor();
        cursor.clearSelection();
        m_source->setTextCursor(cursor);
        return false;
    }
    // The text may lie beyond what has arrived.
    m_source->waitForText();
    selectText(*m_source, m_source->offsets(), span.start, span.end);
    return true;
}
