#include "ui/main/textboxoffsets.h"

#include "ui/main/textbox.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

BlockColumns::BlockColumns(const QTextBlock &block)
    : m_length(block.length() - 1)
{
    const QString text = block.text();
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QChar::LineSeparator)
            m_breaks.push_back(i);
    }
}

int BlockColumns::column(qsizetype offset, bool roundUp) const
{
    // Break j begins at offset m_breaks[j] + j; the k breaks wholly before offset add one each.
    std::size_t k = 0;
    std::size_t high = m_breaks.size();
    while (k < high) {
        const std::size_t middle = k + (high - k) / 2;
        if (m_breaks[middle] + qsizetype(middle) + 2 <= offset)
            k = middle + 1;
        else
            high = middle;
    }
    if (k < m_breaks.size() && m_breaks[k] + qsizetype(k) < offset)
        return m_breaks[k] + (roundUp ? 1 : 0);
    return int(offset - qsizetype(k));
}

qsizetype BlockColumns::offset(int column) const
{
    return column +
           (std::lower_bound(m_breaks.cbegin(), m_breaks.cend(), column) - m_breaks.cbegin());
}

TextBoxOffsets::TextBoxOffsets(const TextBox &box)
    : m_document(box.document())
{
    if (!box.splitsLines() && !box.groupsLines())
        return;
    m_starts.reserve(std::size_t(m_document->blockCount()));
    qsizetype start = 0;
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        m_starts.push_back(start);
        start += BlockColumns(block).textLength() + breakLength(block);
    }
}

qsizetype TextBoxOffsets::blockOffset(const QTextBlock &block) const
{
    if (!m_starts.empty())
        return m_starts[std::size_t(block.blockNumber())];
    // Each block break before the block reads as CR LF.
    return qsizetype(block.position()) + block.blockNumber();
}

int TextBoxOffsets::breakLength(const QTextBlock &block) const
{
    const QTextBlock next = block.next();
    return !next.isValid() || TextBox::continuesLine(next) ? 0 : 2;
}

int TextBoxOffsets::position(qsizetype offset, bool roundUp) const
{
    // The last block that begins at or before offset.
    int number = 0;
    if (!m_starts.empty()) {
        number = int(std::upper_bound(m_starts.cbegin() + 1, m_starts.cend(), offset) -
                     m_starts.cbegin()) -
                 1;
    } else {
        int high = m_document->blockCount() - 1;
        while (number < high) {
            const int middle = number + (high - number + 1) / 2;
            if (blockOffset(m_document->findBlockByNumber(middle)) <= offset)
                number = middle;
            else
                high = middle - 1;
        }
    }
    const QTextBlock block = m_document->findBlockByNumber(number);
    const BlockColumns columns(block);
    const qsizetype column = std::max<qsizetype>(offset - blockOffset(block), 0);
    if (column <= columns.textLength())
        return block.position() + columns.column(column, roundUp);
    if (roundUp && block.next().isValid())
        return block.next().position();
    return block.position() + block.length() - 1;
}

void selectText(TextBox &box, const TextBoxOffsets &offsets, qsizetype start, qsizetype end)
{
    QTextCursor cursor(box.document());
    cursor.setPosition(offsets.position(start, false));
    cursor.setPosition(offsets.position(end, end > start), QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
    box.centerCursor();
    // In a block of many lines the view can stop short of the centre: the scroll bar counts
    // lines, so put the caret's line half a view below the top.
    const QTextBlock block = cursor.block();
    const QTextLine line = block.layout()->lineForTextPosition(cursor.positionInBlock());
    if (line.isValid() && line.height() > 0) {
        const int half = int(box.viewport()->height() / line.height() / 2);
        box.verticalScrollBar()->setValue(block.firstLineNumber() + line.lineNumber() - half);
    }
}
