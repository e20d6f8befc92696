#pragma once
// A text on its way into a TextBox's document, a slice at a time. It holds the text's display
// form with long lines cut into pieces (each piece after the first a block that continues the
// line) and the characters that stand for others; each slice goes into the document as plain
// text, then its blocks and characters get their marks. Slices end where a block ends, so the
// document after the last slice is the one a single insertion of the whole would give.
// Offsets are those of the shown form, which are document positions counted from base().

#include <QString>
#include <QTextFormat>

#include <vector>

class QTextBlock;
class QTextCharFormat;
class QTextCursor;
class QTextDocument;

class TextArrival
{
public:
    // A character of the display form that stands for another: at its display offset, the value
    // it reads as.
    struct Mark
    {
        qsizetype at;
        char16_t value;
    };

    // Block property: the block continues the line of the block before it.
    static constexpr int ContinuesLine = QTextFormat::UserProperty + 1;
    // Character property of a character that reads as another: the character shown in the upper
    // 16 bits, the one it stands for in the lower. Typed characters take the format of their
    // neighbour, so the mark counts only where the shown character is still there.
    static constexpr int StandsFor = QTextFormat::UserProperty + 2;
    // Pieces of a long line, ended after a blank in their last eighth where there is one.
    static constexpr qsizetype PieceLength = 4096;

    // display: the display form (line breaks '\n'), marks in ascending order; lines longer than
    // splitAbove code units go in pieces (longestLine: the longest, so that short lines are not
    // searched). base: the document position the text goes to.
    TextArrival(const QString &display, const std::vector<Mark> &marks, qsizetype splitAbove,
                qsizetype longestLine, int base);

    static QTextCharFormat markFormat(QTextCharFormat format, char16_t shown, char16_t value);
    static bool continuesLine(const QTextBlock &block);
    // The end of the piece of the line of text that starts at start (the line ends at end).
    static qsizetype pieceEnd(const QString &text, qsizetype start, qsizetype end);

    const QString &shown() const { return m_shown; }
    int base() const { return m_base; }
    qsizetype done() const { return m_done; }
    bool finished() const { return m_done == m_shown.size(); }
    // Per cent of the text in the document.
    int percent() const;
    // Whether some pieces continue a line.
    bool splitsLines() const { return !m_continuing.empty(); }
    // The end of the next slice of about length code units: where a block ends, or the end.
    qsizetype nextEnd(qsizetype length) const;

    // Inserts shown()[done(), end) at cursor, which stands at base() + done(), in format plain,
    // and marks it; cursor ends after it.
    void insertSlice(QTextCursor &cursor, qsizetype end, const QTextCharFormat &plain);
    // Marks shown()[done(), end), which the document holds already, and counts it done.
    void markSlice(QTextDocument &document, qsizetype end);

private:
    QString m_shown;
    std::vector<qsizetype> m_continuing; // shown offsets where a continuing block begins
    struct ShownMark
    {
        qsizetype at; // shown offset
        char16_t shown;
        char16_t value;
    };
    std::vector<ShownMark> m_marks;
    int m_base;
    qsizetype m_done = 0;
    std::size_t m_nextContinuing = 0;
    std::size_t m_nextMark = 0;
};
