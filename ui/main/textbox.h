#pragma once
// A multi-line text box of the main window: word wrap at the box's width, a vertical scroll
// bar and no horizontal one, no length limit. Tab moves the focus along the tab order;
// Ctrl+Tab types a tab character.
//
// Its text reads like a Windows text box's: every line break is CR LF. Every other UTF-16 code
// unit reads back as it was set, or copied from one box to another, lone surrogates too. A lone
// CR or LF shows as the control picture U+240D or U+240A; the characters the
// document would take as its own (U+2028, U+2029, U+FDD0, U+FDD1) and the two pictures
// themselves show as a stand-in carrying a mark of what it stands for, one character for one.
//
// Short lines share a block of the document, up to about 4 KB (a block costs microseconds and
// hundreds of bytes, so a million of them take seconds): inside a block a CR LF is U+2028, which
// the layout shows as a line break and which Text() reads as CR LF. TextBoxOffsets maps Text()
// offsets to document positions.
//
// A line of SetText longer than LongLine code units is shown as several blocks of the document
// (a QTextLayout lays out a whole block on every edit, which takes seconds for a line of
// megabytes). The blocks after the first carry a mark that they continue the line; Text(), copy
// and drag read them back as one line, and line breaks typed or pasted into them are real ones.
// Code that goes round Text() (toPlainText, insertPlainText, appendPlainText) sees the blocks.
//
// A long text arrives in slices: SetText, a paste or a drop puts the first slice (a screenful
// and more) in at once and the rest on the following turns of the event loop, a few milliseconds'
// worth a turn, so the window never freezes for long. While it arrives (arriving()), Text() already
// answers the whole text, the box is read only, and a key that would edit it, or any other change
// of its text, first puts the rest in at once (waitForText()); a new SetText drops the rest
// instead. The slices emit no textChanged: a SetText emits it once as it starts, a paste as it
// starts. After the last slice the document, its undo history and its modified state are those a
// single insertion gives: a SetText leaves nothing to undo and the document unmodified, a paste is
// one undo step.

#include "runner/resulttext.h"
#include "ui/main/textarrival.h"

#include <QPlainTextEdit>
#include <QTextBlock>

#include <optional>
#include <vector>

class QTimer;

class TextBox : public QPlainTextEdit, public ResultText
{
    Q_OBJECT

public:
    explicit TextBox(QWidget *parent = nullptr);

    // The text with CR LF line breaks, in UTF-16 code units as the engine sees them.
    QString Text() const;
    // Shows text; CR LF breaks lines, lone CR and LF are kept as their control pictures. A
    // text longer than a slice arrives in slices.
    void SetText(const QString &text) override;
    // Puts text (CR LF line breaks) in place of the whole content as one step Undo takes back.
    void ReplaceAll(const QString &text);

    // Whether a text is still arriving.
    bool arriving() const { return m_arrival.has_value(); }
    // Per cent of the text arriving that is in the box (100 when none arrives).
    int arrivalPercent() const { return m_arrival ? m_arrival->percent() : 100; }
    // Puts the rest of the text arriving in at once.
    void waitForText();
    // Code units of the display form that a slice takes (a text up to this long goes in at
    // once); for tests.
    void setSliceLength(qsizetype units) { m_sliceLength = std::max<qsizetype>(units, 1); }
    static constexpr qsizetype SliceLength = qsizetype(1) << 18;

    // The document's raw text as Text() reads it where no character carries a mark.
    static QString fromDisplay(const QString &rawDocumentText);

    // Whether some blocks may continue a line (SetText or a paste split a long one).
    bool splitsLines() const { return m_continuations; }
    // Whether some blocks may hold lines joined by U+2028.
    bool groupsLines() const { return m_grouped; }
    // Whether block is a piece that continues the line of the block before it.
    static bool continuesLine(const QTextBlock &block);

    static constexpr qsizetype LongLine = 16384;

Q_SIGNALS:
    // A slice of the text arriving went in; percent of it is in the box.
    void textArriving(int percent);
    // The last slice went in (not sent when a new SetText dropped the rest).
    void textArrived();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    // Copies the exact text, for the boxes of this program, and as plain text for others.
    QMimeData *createMimeDataFromSelection() const override;
    // Pasted or dropped text with a line over LongLine goes in as pieces as well.
    void insertFromMimeData(const QMimeData *source) override;

private:
    // Gives the selection of the box without the focus the colours Shades computes.
    void keepUnfocusedSelectionVisible();
    using Mark = TextArrival::Mark;
    // What a display form holds: its longest line and whether some lines share a block.
    struct DisplayShape
    {
        qsizetype longestLine = 0;
        bool grouped = false;
    };
    // The display form of text: CR LF as the document's line break, the rest one for one.
    static QString toDisplay(const QString &text, std::vector<Mark> *marks, DisplayShape *shape);
    // Text() of the document positions [from, to).
    QString readText(int from, int to) const;
    // Replaces the selection with text, as exactly as SetText shows it, in one undo step.
    void insertExactText(const QString &text);
    // Replaces the selection with a CR LF line break.
    void insertLineBreak();
    // Lets the rest of arrival come after its first slice, which the document holds; cursor
    // stands where the next slice goes. Text() must answer the whole text already.
    void startArrival(TextArrival arrival, const QTextCursor &cursor);
    // Puts the next slices in, for a few milliseconds.
    void nextSlice();
    // Ends the arrival of a text, whole or not.
    void endArrival();
    // Keeps Text() current through one typed or deleted character, the usual edit; any other
    // change makes the next Text() read the document again.
    void followEdit(int position, int removed, int added);
    // U+2028 of the document before position, which lies in block.
    qsizetype separatorsBefore(const QTextBlock &block, int position);

    bool m_continuations = false; // SetText split a line; some blocks may continue one
    bool m_marked = false;        // some characters may carry a mark
    bool m_grouped = false;       // some blocks may hold several lines
    // Text() of the content until its next change: reading a big box costs as much as a run.
    mutable QString m_text;
    mutable bool m_textCurrent = false;
    bool m_editFollowed = false;   // the last change was applied to m_text
    std::vector<int> m_separators; // U+2028 in each block, kept while edits are followed

    // The text arriving, and where its next slice goes (after the text it follows).
    std::optional<TextArrival> m_arrival;
    QTextCursor m_arrivalCursor;
    bool m_pasting = false;  // the text arriving is an edit Undo takes back whole
    bool m_slicing = false;  // a slice is going in: Text() stays as it is
    bool m_readOnly = false; // whether the box was read only before the text arrived
    qsizetype m_sliceLength = SliceLength;
    QTimer *m_arrivalTimer = nullptr;
};
