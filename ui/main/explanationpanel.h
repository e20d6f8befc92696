#pragma once
// The Explanation panel: what the pattern says, one line per piece in a tree, and the lint's
// warnings in a list at the top and on their pieces with an icon. Selecting a piece asks for
// its span to be selected in the pattern box; the caret in the pattern box selects the deepest
// piece under it. A warning with a suggestion offers it; the host applies it to the pattern as
// one undoable edit. "Copy as comments" copies the explanation as Visual Basic comment lines.
//
// Offsets are the pattern's, in UTF-16 code units. The panel never runs the engine: its host
// hands it the explanation and the lint of the pattern shown.

#include "runner/engine/explain.h"
#include "runner/engine/lint.h"

#include <QWidget>

class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class ExplanationPanel : public QWidget
{
    Q_OBJECT

public:
    explicit ExplanationPanel(QWidget *parent = nullptr);

    // Wide enough for a warning's line on two rows and a piece's explanation.
    QSize sizeHint() const override;

    // Shows pattern's explanation and warnings (an invalid pattern: its error and warnings).
    void showReading(const QString &pattern, const engine::Explanation &explanation,
                     const engine::LintResult &lint);
    // Selects the deepest piece whose span holds offset, without asking for a selection back.
    void selectAt(int offset);

    // The explanation as Visual Basic comment lines ("' " and the piece, indented by depth),
    // none longer than width characters; lines end with CR LF.
    static QString commentsFor(const QString &pattern, const engine::Explanation &explanation,
                               int width = 100);

Q_SIGNALS:
    // A piece or a warning was chosen: select this span of the pattern.
    void spanSelected(int start, int length);
    // Put text in place of this span of the pattern, as one edit.
    void replacementChosen(int start, int length, const QString &text);

private:
    void addNodes(QTreeWidgetItem *parent, const std::vector<engine::ExplainNode> &nodes);
    void markWarnings();
    void currentWarningChanged();
    void applySuggestion();
    void copyAsComments();
    QTreeWidgetItem *deepestAt(int offset, bool caret) const;

    QListWidget *m_warnings;
    QPushButton *m_apply;
    QPushButton *m_copy;
    QTreeWidget *m_tree;
    QString m_pattern;
    engine::Explanation m_explanation;
    engine::LintResult m_lint;
    bool m_following = false; // selecting for the caret: no selection asked back
};
