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

#include "runner/resulttext.h"

#include <QPlainTextEdit>
#include <QTextBlock>

#include <vector>

class TextBox : public QPlainTextEdit, public ResultText
{
    Q_OBJECT

public:
    explicit TextBox(QWidget *parent = nullptr);

    // The text with CR LF line breaks, in UTF-16 code units as the engine sees them.
    QString Text() const;
    // Shows text; CR LF breaks lines, lone CR and LF are kept as their control pictures.
    void SetText(const QString &text) override;
    // Puts text (CR LF line breaks) in place of the whole content as one step Undo takes back.
    void ReplaceAll(const QString &text);

    // The document's raw text as Text() reads it where no character carries a mark.
    static QString fromDisplay(const QString &rawDocumentText);

    // Whether some blocks may continue a line (SetText or a paste split a long one).
    bool splitsLines() const { return m_continuations; }
    // Whether some blocks may hold lines joined by U+2028.
    bool groupsLines() const { return m_grouped; }
    // Whether block is a piece that continues the line of the block before it.
    static bool continuesLine(const QTextBlock &block);

    static constexpr qsizetype LongLine = 16384;

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    // Copies the exact text, for the boxes of this program, and as plain text for others.
    QMimeData *createMimeDataFromSelection() const override;
    // Pasted or dropped text with a line over LongLine goes in as pieces as well.
    void insertFromMimeData(const QMimeData *source) override;

private:
    // Gives the selection of the box without the focus the colours Shades computes.
    void keepUnfocusedSelectionVisible();
    // A character of the display form that stands for another: at its offset, value read.
    struct Mark
    {
        qsizetype at;
        char16_t value;
    };
    // The display form of text: CR LF as the document's line break, the rest one for one.
    static QString toDisplay(const QString &text, std::vector<Mark> *marks);
    // Text() of the document positions [from, to).
    QString readText(int from, int to) const;
    // Replaces the selection with text, as exactly as SetText shows it, in one undo step.
    void insertExactText(const QString &text);
    // Replaces the selection with a CR LF line break.
    void insertLineBreak();
    // Shows the display form with its marks, long lines in pieces.
    void showText(const QString &display, const std::vector<Mark> &marks);
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
};
