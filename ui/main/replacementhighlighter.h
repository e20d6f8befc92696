#pragma once
// Colours the replacement box as Replace reads it: $1..$99 (and $12 read as group 1 and then
// "2" when the pattern has fewer than 12 groups), $&, $`, $', $$ and plain text. Forms of other
// dialects (\1, $0, ${name}, \n, \U) are plain text here: they get a dotted underline, and the
// tooltip over any part says what it is here and this dialect's form.
//
// Only formats of the layout change: no text, no undo step, no modified state, and no change
// signal of the document.

#include "runner/engine/replacementreading.h"

#include <QObject>
#include <QPointer>
#include <QTextCharFormat>
#include <QTextLayout>

class QPlainTextEdit;
class QTextBlock;
class QTextDocument;

class ReplacementHighlighter : public QObject
{
    Q_OBJECT

public:
    // Colours box's document; the highlighter belongs to box.
    explicit ReplacementHighlighter(QPlainTextEdit *box);
    ~ReplacementHighlighter() override;

    // The groups of the pattern the replacement goes with.
    void setGroupCount(int groups);
    int groupCount() const { return m_groups; }
    // The tooltip for the character at document position position.
    QString toolTipAt(int position) const;

    // Lines longer than this stay plain: a replacement is a line or two, not a document.
    static constexpr int LongestColoured = 4096;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void contentsChanged(int position, int removed, int added);
    void updateFormats();
    void recolourAll();
    // Sets the block's formats; with relayout, lays it out again when they changed.
    void colourBlock(const QTextBlock &block, bool relayout);
    QList<QTextLayout::FormatRange> formatsOf(const QTextBlock &block) const;

    QPlainTextEdit *m_box;
    QPointer<QTextDocument> m_document;
    int m_groups = 0;
    QTextCharFormat m_group;   // $n
    QTextCharFormat m_special; // $& $` $' $$
    QTextCharFormat m_foreign; // another dialect's form: plain text here
};
