#include "ui/main/textboxoffsets.h"

#include "ui/main/textbox.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

TextBoxOffsets::TextBoxOffsets(const TextBox &box)
    : m_document(box.document())
{
    if (!box.splitsLines())
        return;
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        if (TextBox::continuesLine(block))
            m_continuing.push_back(block.blockNumber());
    }
}

qsizetype TextBoxOffsets::continuingUpTo(int number) const
{
    return std::upper_bound(m_continuing.cbegin(), m_continuing.cend(), number) -
           m_continuing.cbegin();
}

qsizetype TextBoxOffsets::blockOffset(const QTextBlock &block) const
{
    // Each block break before the block reads as CR LF, or as nothing before a continuing piece.
    const int number = block.blockNumber();
    return qsizetype(block.position()) + number - 2 * continuingUpTo(number);
}

int TextBoxOffsets::breakLength(const QTextBlock &block) const
{
    const QTextBlock next = block.next();
    return !next.isValid() || TextBox::continuesLine(next) ? 0 : 2;
}

int TextBoxOffsets::position(qsizetype offset, bool roundUp) const
{
    // The last block that begins at or before offset.
    int low = 0;
    int high = m_document->blockCount() - 1;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (blockOffset(m_document->findBlockByNumber(middle)) <= offset)
            low = middle;
        else
            high = middle - 1;
    }
    const QTextBlock block = m_document->findBlockByNumber(low);
    const int length = block.length() - 1;
    const qsizetype column = std::max<qsizetype>(offset - blockOffset(block), 0);
    if (column <= length)
        return block.position() + int(column);
    if (roundUp && block.next().isValid())
        return block.next().position();
    return block.position() + length;
}

void selectText(TextBox &box, const TextBoxOffsets &offsets, qsizetype start, qsizetype end)
{
    QTextCursor cursor(box.document());
    cursor.setPosition(offsets.position(start, false));
    cursor.setPosition(offsets.position(end, end > start), QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
    box.centerCursor();
}
