#pragma once
// Colours the replacement box as Replace reads it: $1..$99 (and $12 read as group 1 and then
// "2" when the pattern has fewer than 12 groups), $&, $`, $', $$ and plain text. Forms of other
// dialects (\1, $0, ${name}, \n, \U) are plain text here: they get a dotted underline, and the
// tooltip over any part says what it is here and this dialect's form.
//
// Only formats change: no text, no undo step, no modified state.

#include "runner/engine/replacementreading.h"

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

class QPlainTextEdit;

class ReplacementHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    // Colours box's document; the highlighter belongs to box.
    explicit ReplacementHighlighter(QPlainTextEdit *box);

    // The groups of the pattern the replacement goes with.
    void setGroupCount(int groups);
    // The tooltip for the character at document position position.
    QString toolTipAt(int position) const;

protected:
    void highlightBlock(const QString &text) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateFormats();

    QPlainTextEdit *m_box;
    int m_groups = 0;
    QTextCharFormat m_group;   // $n
    QTextCharFormat m_special; // $& $` $' $$
    QTextCharFormat m_foreign; // another dialect's form: plain text here
};
