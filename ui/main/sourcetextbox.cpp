#include "ui/main/sourcetextbox.h"

#include "runner/matchpositions.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

namespace {

// Width of an empty match's mark.
constexpr qreal EmptyMarkWidth = 2;

// One span [start, end) of Text() offsets as columns of one block.
struct BlockSpan
{
    qsizetype start;
    qsizetype end;
    bool coversBreak; // it holds the CR or LF after the block's text
};

// The part of [start, end) that block shows, given the block's first offset, its columns and
// the length of its line break; none when the span lies elsewhere.
std::optional<BlockSpan> inBlock(MatchPositions::Span span, qsizetype blockStart,
                                 const BlockColumns &columns, int breakLength, bool lastBlock)
{
    const qsizetype length = columns.textLength();
    const qsizetype start = span.start - blockStart;
    const qsizetype end = span.end - blockStart;
    if (start == end) {
        // An empty span between CR and LF shows at the end of the line.
        const bool here =
            start >= 0 && (start < length + breakLength || (lastBlock && start == length));
        if (!here)
            return std::nullopt;
        const int at = columns.column(std::min(start, length), false);
        return BlockSpan{at, at, false};
    }
    if (start >= length + breakLength || end <= 0)
        return std::nullopt;
    return BlockSpan{columns.column(std::clamp<qsizetype>(start, 0, length), false),
                     columns.column(std::clamp<qsizetype>(end, 0, length), true),
                     breakLength > 0 && end > length};
}

// Fills what span covers of the layout's lines first to last (indexes), drawn at topLeft; text
// is the block's.
void fillSpan(QPainter &painter, const QTextLayout &layout, QStringView text, QPointF topLeft,
              int first, int last, const BlockSpan &span, qreal breakWidth, const QColor &color)
{
    const int lastLine = layout.lineCount() - 1;
    for (int i = first; i <= last; ++i) {
        const QTextLine line = layout.lineAt(i);
        const qsizetype lineStart = line.textStart();
        const qsizetype lineEnd = lineStart + line.textLength();
        const qsizetype from = std::max(span.start, lineStart);
        const qsizetype to = std::min(span.end, lineEnd);
        const qreal top = topLeft.y() + line.y();
        if (span.start == span.end) {
            // A wrap point belongs to the line it starts, except at the block's end.
            if (from == to && (from < lineEnd || i == lastLine)) {
                const qreal x = topLeft.x() + line.cursorToX(int(from));
                painter.fillRect(QRectF(x - EmptyMarkWidth / 2, top, EmptyMarkWidth, line.height()),
                                 color);
            }
            continue;
        }
        // A line ended by a U+2028 (a CR LF of grouped lines) shows the break after its text.
        const bool grouped = lineEnd > lineStart && text.at(lineEnd - 1) == QChar::LineSeparator;
        const qsizetype textEnd = grouped ? lineEnd - 1 : lineEnd;
        const bool withBreak = (span.coversBreak && i == lastLine) ||
                               (grouped && span.start <= textEnd && span.end > textEnd);
        if (std::min(span.end, textEnd) <= from && !withBreak)
            continue;
        const qreal x1 = line.cursorToX(int(from));
        qreal x2 = line.cursorToX(int(std::min(to, textEnd)));
        if (withBreak)
            x2 = std::max(x1, x2) + breakWidth;
        painter.fillRect(
            QRectF(topLeft.x() + std::min(x1, x2), top, std::abs(x2 - x1), line.height()), color);
    }
}

} // namespace

SourceTextBox::SourceTextBox(QWidget *parent)
    : TextBox(parent)
{
    // The positions describe the text they came with.
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        m_offsets.reset();
        showMatches(nullptr);
    });
}

SourceTextBox::~SourceTextBox()
{
    // The base class may still change the text while it goes.
    disconnect(this, &QPlainTextEdit::textChanged, this, nullptr);
}

const TextBoxOffsets &SourceTextBox::offsets() const
{
    if (!m_offsets)
        m_offsets.emplace(*this);
    return *m_offsets;
}

void SourceTextBox::showMatches(const MatchPositions *positions)
{
    if (!positions && !m_positions)
        return;
    m_positions = positions;
    m_current = -1;
    viewport()->update();
}

void SourceTextBox::setCurrentMatch(int match)
{
    if (match == m_current)
        return;
    m_current = match;
    if (m_positions)
        viewport()->update();
}

SourceTextBox::Shades SourceTextBox::shades() const
{
    // Translucent, so that they suit a light and a dark palette alike.
    const QColor highlight = palette().color(QPalette::Active, QPalette::Highlight);
    Shades shades{highlight, highlight, {}, {}};
    shades.match.setAlpha(80);
    shades.current.setAlpha(150);
    const int hue = highlight.hslHue() < 0 ? 30 : (highlight.hslHue() + 150) % 360;
    shades.group = QColor::fromHsl(hue, std::max(highlight.hslSaturation(), 160),
                                   std::clamp(highlight.lightness(), 96, 160), 110);
    shades.currentGroup = shades.group;
    shades.currentGroup.setAlpha(200);
    return shades;
}

void SourceTextBox::paintEvent(QPaintEvent *event)
{
    if (m_positions && m_positions->count() > 0) {
        QPainter painter(viewport());
        const QRect clip = event->rect();
        const Shades colors = shades();
        QPointF offset = contentOffset();
        for (QTextBlock block = firstVisibleBlock(); block.isValid() && offset.y() <= clip.bottom();
             block = block.next()) {
            const QRectF rect = blockBoundingRect(block).translated(offset);
            if (block.isVisible() && rect.bottom() >= clip.top())
                paintBlock(painter, block, offset, clip, colors);
            offset.ry() += rect.height();
        }
    }
    TextBox::paintEvent(event);
}

void SourceTextBox::paintBlock(QPainter &painter, const QTextBlock &block, QPointF topLeft,
                               const QRect &clip, const Shades &colors)
{
    const QTextLayout *layout = block.layout();
    const int lines = layout->lineCount();
    int first = 0;
    while (first < lines && topLeft.y() + layout->lineAt(first).rect().bottom() < clip.top())
        ++first;
    if (first == lines)
        return;
    int last = first;
    while (last + 1 < lines && topLeft.y() + layout->lineAt(last + 1).y() <= clip.bottom())
        ++last;

    const qsizetype blockStart = offsets().blockOffset(block);
    const BlockColumns columns(block);
    const QString text = block.text();
    const int breakLength = offsets().breakLength(block);
    const bool lastBlock = !block.next().isValid();
    const QTextLine lastShown = layout->lineAt(last);
    // Text() offsets of the lines shown, with the line break after the last line.
    const qsizetype from = blockStart + columns.offset(layout->lineAt(first).textStart());
    const qsizetype to =
        last == lines - 1
            ? blockStart + columns.textLength() + breakLength
            : blockStart + columns.offset(lastShown.textStart() + lastShown.textLength());
    const qreal breakWidth = fontMetrics().horizontalAdvance(u' ');

    const int groups = m_positions->groupCount();
    for (int m = m_positions->firstReaching(std::int32_t(from));
         m < m_positions->count() && !m_positions->startsAfter(m, std::int32_t(to)); ++m) {
        for (int g = 0; g <= groups; ++g) {
            const MatchPositions::Span span = m_positions->span(m, g);
            if (!span.participated())
                continue;
            const std::optional<BlockSpan> part =
                inBlock(span, blockStart, columns, breakLength, lastBlock);
            if (!part)
                continue;
            const bool current = m == m_current;
            const QColor &color = g == 0 ? (current ? colors.current : colors.match)
                                         : (current ? colors.currentGroup : colors.group);
            fillSpan(painter, *layout, text, topLeft, first, last, *part, breakWidth, color);
        }
    }
}
