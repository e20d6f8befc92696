// The main window's steps: the Steps panel tracing the selected match or the search from the
// source box's caret, the steps of each match in the tree's tooltips, and the status line.

#include "runner/engine/regexp.h"
#include "runner/runoptions.h"
#include "ui/main/frmmain.h"
#include "ui/main/panelhost.h"
#include "ui/main/resultstreewidget.h"
#include "ui/main/statusline.h"
#include "ui/main/textbox.h"
#include "ui/main/textboxoffsets.h"
#include "ui/main/treewidgetresults.h"
#include "ui/steps/stepsbinding.h"
#include "ui/steps/stepspanel.h"

#include <QTextBlock>

namespace {
// A match node's tooltip before the steps were added to it.
constexpr int PlainTipRole = Qt::UserRole + 8;
} // namespace

void frmMain::createStepsPanel()
{
    auto *panel = new StepsPanel;
    panels().addPanel(panel, QStringLiteral("pnlSteps"), tr("S&teps"),
                      QKeySequence(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_T));
    panel->setBoxes(txtPattern, txtSourceString);
    panel->setPatternOffsets([this](int offset) {
        return static_cast<int>(
            TypedPatternOffset(txtPattern->Text(), offset, runOptions().ignoreLineBreaks));
    });
    m_steps = new StepsBinding(
        panel,
        [this] {
            const RunOptions options = runOptions();
            return StepsBinding::Work{PreparePattern(txtPattern->Text(), options.ignoreLineBreaks),
                                      options.ignoreCase,
                                      options.multiline,
                                      options.global,
                                      txtSourceString->Text(),
                                      sourceCaretOffset()};
        },
        this);

    connect(this, &frmMain::workChanged, m_steps, &StepsBinding::workChanged);
    connect(tvResults, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        const ResultNode node = TreeWidgetResults::nodeOf(item);
        const bool isMatch =
            node.kind == ResultNode::Kind::Match || node.kind == ResultNode::Kind::Group;
        std::optional<engine::MatchCollection> matches;
        if (m_stepsMatches)
            matches = *m_stepsMatches;
        m_steps->matchSelected(matches, isMatch && m_stepsMatches ? node.match : -1);
    });
    // Working out the caret's offset reads every block of a big text: only while it is used.
    connect(txtSourceString, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (m_steps->followsCaret())
            m_steps->caretMoved(sourceCaretOffset());
    });
    connect(m_steps, &StepsBinding::statusText, this,
            [this](const QString &text) { statusLine().show(StatusLine::Slot::Steps, text); });
    connect(m_steps, &StepsBinding::runCounted, this,
            [this](const std::shared_ptr<const engine::RunSteps> &steps) {
                if (steps)
                    showMatchSteps(*steps);
            });
}

int frmMain::sourceCaretOffset() const
{
    const QTextCursor cursor = txtSourceString->textCursor();
    const TextBoxOffsets offsets(*txtSourceString);
    return static_cast<int>(offsets.blockOffset(cursor.block()) +
                            BlockColumns(cursor.block()).offset(cursor.positionInBlock()));
}

void frmMain::stepsRunEnded(const engine::MatchCollection &matches)
{
    m_stepsMatches = std::make_shared<const engine::MatchCollection>(matches);
    m_steps->runEnded(matches);
}

void frmMain::showMatchSteps(const engine::RunSteps &steps)
{
    for (int i = 0; i < tvResults->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = tvResults->topLevelItem(i);
        const ResultNode node = TreeWidgetResults::nodeOf(item);
        if (node.kind != ResultNode::Kind::Match || node.match < 0 ||
            static_cast<std::size_t>(node.match) >= steps.perMatch.size())
            continue;
        if (!item->data(0, PlainTipRole).isValid())
            item->setData(0, PlainTipRole, item->toolTip(0));
        item->setToolTip(0, item->data(0, PlainTipRole).toString() + u'\n' +
                                tr("%n step(s) to find this match", nullptr,
                                   static_cast<int>(steps.perMatch[node.match])));
    }
}
