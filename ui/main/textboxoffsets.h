#pragma once
// Offsets of a TextBox's Text() (UTF-16 code units, CR LF line breaks, split lines whole) as
// positions of its document, and back. Reads where lines are split once; valid until the text
// of the box changes.

#include <QtGlobal>

#include <vector>

class QTextBlock;
class QTextDocument;
class TextBox;

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
    // Blocks up to and including number that continue a line.
    qsizetype continuingUpTo(int number) const;

    const QTextDocument *m_document;
    std::vector<int> m_continuing; // numbers of the blocks that continue a line, ascending
};

// Selects the Text() offsets [start, end) of box, offsets being its current ones, and scrolls
// the selection to the middle of the view where it can be; an empty range puts the caret there.
void selectText(TextBox &box, const TextBoxOffsets &offsets, qsizetype start, qsizetype end);
