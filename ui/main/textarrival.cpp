#include "ui/main/textarrival.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

TextArrival::TextArrival(const QString &display, const std::vector<Mark> &marks,
                         qsizetype splitAbove, qsizetype longestLine, int base)
    : m_base(base)
{
    std::vector<qsizetype> cuts; // display offsets where a piece that continues a line begins
    qsizetype copied = 0;        // display up to here is in m_shown
    for (qsizetype start = 0; longestLine > splitAbove && start <= display.size();) {
        qsizetype end = display.indexOf(u'\n', start);
        if (end < 0)
            end = display.size();
        if (end - start > splitAbove) {
            m_shown += QStringView(display).sliced(copied, start - copied);
            for (qsizetype piece = start; piece < end;) {
                const qsizetype stop = pieceEnd(display, piece, end);
                if (piece > start) {
                    m_shown += u'\n';
                    m_continuing.push_back(m_shown.size());
                    cuts.push_back(piece);
                }
                m_shown += QStringView(display).sliced(piece, stop - piece);
                piece = stop;
            }
            copied = end;
        }
        start = end + 1;
    }
    if (m_continuing.empty())
        m_shown = display;
    else
        m_shown += QStringView(display).sliced(copied);

    m_marks.reserve(marks.size());
    auto cut = cuts.cbegin();
    for (const Mark &mark : marks) {
        while (cut != cuts.cend() && *cut <= mark.at)
            ++cut;
        m_marks.push_back(
            {mark.at + (cut - cuts.cbegin()), display.at(mark.at).unicode(), mark.value});
    }
}

QTextCharFormat TextArrival::markFormat(QTextCharFormat format, char16_t shown, char16_t value)
{
    format.setProperty(StandsFor, qint64(shown) << 16 | value);
    return format;
}

bool TextArrival::continuesLine(const QTextBlock &block)
{
    return block.isValid() && block.blockFormat().boolProperty(ContinuesLine);
}

qsizetype TextArrival::pieceEnd(const QString &text, qsizetype start, qsizetype end)
{
    if (end - start <= PieceLength)
        return end;
    qsizetype cut = start + PieceLength;
    for (qsizetype i = cut; i > cut - PieceLength / 8; --i) {
        if (text.at(i - 1) == u' ' || text.at(i - 1) == u'\t')
            return i;
    }
    if (text.at(cut).isLowSurrogate() && text.at(cut - 1).isHighSurrogate())
        --cut;
    return cut;
}

int TextArrival::percent() const
{
    return m_shown.isEmpty() ? 100 : int(m_done * 100 / m_shown.size());
}

qsizetype TextArrival::nextEnd(qsizetype length) const
{
    if (m_shown.size() - m_done <= length)
        return m_shown.size();
    const qsizetype end = m_shown.indexOf(u'\n', m_done + length);
    return end < 0 ? m_shown.size() : end;
}

void TextArrival::insertSlice(QTextCursor &cursor, qsizetype end, const QTextCharFormat &plain)
{
    cursor.insertText(m_shown.sliced(m_done, end - m_done), plain);
    markSlice(*cursor.document(), end);
}

void TextArrival::markSlice(QTextDocument &document, qsizetype end)
{
    QTextCursor cursor(&document);
    // The blocks the slice began, one after each of its line breaks; inserted ones take the
    // format of the block they were inserted into.
    const qsizetype last = m_base + end;
    for (QTextBlock block = document.findBlock(int(m_base + m_done)).next();
         block.isValid() && block.position() <= last; block = block.next()) {
        const qsizetype at = block.position() - m_base;
        while (m_nextContinuing < m_continuing.size() && m_continuing[m_nextContinuing] < at)
            ++m_nextContinuing;
        const bool continues =
            m_nextContinuing < m_continuing.size() && m_continuing[m_nextContinuing] == at;
        if (continues == continuesLine(block))
            continue;
        QTextBlockFormat format = block.blockFormat();
        if (continues)
            format.setProperty(ContinuesLine, true);
        else
            format.clearProperty(ContinuesLine);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }
    for (; m_nextMark < m_marks.size() && m_marks[m_nextMark].at < end; ++m_nextMark) {
        const ShownMark &mark = m_marks[m_nextMark];
        cursor.setPosition(int(m_base + mark.at));
        cursor.setPosition(int(m_base + mark.at + 1), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(markFormat(QTextCharFormat(), mark.shown, mark.value));
    }
    m_done = end;
}
