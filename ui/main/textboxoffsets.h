#pragma once
// Offsets of a TextBox's Text() (UTF-16 code units, CR LF line breaks, split lines whole) as
// positions of its document, and back. Reads where lines are split or grouped once; valid until
// the text of the box changes.

#include <QtGlobal>

#include <vector>

class QTextBlock;
class QTextDocument;
class TextBox;

// Text() offsets counted from a block's start as columns of the block, whose U+2028 each read
// as CR LF.
class BlockColumns
{
public:
    explicit BlockColumns(const QTextBlock &block);

    // Code units of Text() the block's own text reads as.
    qsizetype textLength() const { return m_length + qsizetype(m_breaks.size()); }
    // The column of an offset (0 to textLength()). An offset between the CR and the LF of a
    // U+2028 goes to that character, or with roundUp past it.
    int column(qsizetype offset, bool roundUp) const;
    // The offset of a column (0 to the block's length).
    qsizetype offset(int column) const;

private:
    int m_length;              // the block's characters
    std::vector<int> m_breaks; // columns of its U+2028, ascending
};

class TextBoxOffsets
{
public:
    explicit TextBoxOffsets(const TextBox &box);

    // The Text() offset at which block begins.
    qsizetype blockOffset(const QTextBlock &block) const;
    // How many code units of Text() follow the block's own text as its line break: 2 for CR
    // LF, 0 before a piece that continues the line and after the last block.
    int breakLength(const QTextBlock &block) const;
    // The document position of a Text() offset. An offset within a CR LF goes to the break's
    // start, or with roundUp to the start of the next line.
    int position(qsizetype offset, bool roundUp) const;

private:
    const QTextDocument *m_document;
    // Text() offset of each block, where some blocks continue a line or hold several; else
    // empty, and each block break before a block reads as CR LF.
    std::vector<qsizetype> m_starts;
};

// Selects the Text() offsets [start, end) of box, offsets being its current ones, and scrolls
// the selection to the middle of the view where it can be; an empty range puts the caret there.
void selectText(TextBox &box, const TextBoxOffsets &offsets, qsizetype start, qsizetype end);
