#include "ui/main/sourcetextbox.h"

#include "runner/matchpositions.h"
#include "ui/main/shades.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

// Width of an empty span's mark.
constexpr qreal EmptyMarkWidth = 2;

// One span [start, end) of Text() offsets as columns of one block.
struct BlockSpan
{
    qsizetype start;
    qsizetype end;
    bool coversBreak; // it holds the CR or LF after the block's text
    bool opens;       // the span starts in this block
    bool closes;      // the span ends in this block
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
        return BlockSpan{at, at, false, true, true};
    }
    if (start >= length + breakLength || end <= 0)
        return std::nullopt;
    return BlockSpan{columns.column(std::clamp<qsizetype>(start, 0, length), false),
                     columns.column(std::clamp<qsizetype>(end, 0, length), true),
                     breakLength > 0 && end > length, start >= 0, end <= length + breakLength};
}

// What a span covers of one line: the line's full height, and whether the span begins or ends
// on it.
struct LinePart
{
    QRectF rect;
    bool opens;
    bool closes;
};

// The parts of span on the layout's lines first to last (indexes), drawn at topLeft; text is
// the block's.
QList<LinePart> lineParts(const QTextLayout &layout, QStringView text, QPointF topLeft, int first,
                          int last, const BlockSpan &span, qreal breakWidth)
{
    QList<LinePart> parts;
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
                parts.append({QRectF(x - EmptyMarkWidth / 2, top, EmptyMarkWidth, line.height()),
                              false, false});
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
        parts.append({QRectF(topLeft.x() + std::min(x1, x2), top, std::abs(x2 - x1), line.height()),
                      span.opens && from == span.start,
                      span.closes && to == span.end && (!span.coversBreak || withBreak)});
    }
    return parts;
}

// rect less gap at the sides where the span begins or ends, so that neighbours never touch.
QRectF inset(const LinePart &part, qreal gap)
{
    QRectF rect = part.rect;
    if (part.opens && rect.width() > 2 * gap)
        rect.setLeft(rect.left() + gap);
    if (part.closes && rect.width() > 2 * gap)
        rect.setRight(rect.right() - gap);
    return rect;
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
    // A slice of a text arriving adds blocks, not the matches' text: Text() was whole already.
    connect(this, &TextBox::textArriving, this, [this] { m_offsets.reset(); });
    connect(this, &TextBox::textArrived, this, [this] { m_offsets.reset(); });
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

int SourceTextBox::groupDepth(const MatchPositions &positions, int match, int group)
{
    // A group's enclosing groups have smaller numbers and spans that hold its own.
    const MatchPositions::Span own = positions.span(match, group);
    int depth = 0;
    for (int outer = 1; outer < group; ++outer) {
        const MatchPositions::Span span = positions.span(match, outer);
        if (span.participated() && span.start <= own.start && own.end <= span.end &&
            span.end > span.start)
            ++depth;
    }
    return depth;
}

void SourceTextBox::showMatches(const MatchPositions *positions)
{
    if (!positions && !m_positions)
        return;
    m_positions = positions;
    m_current = -1;
    m_currentGroup = 0;
    m_barRows = 0;
    if (positions) {
        // Rows enough for the nesting of the first matches; deeper groups share the last row.
        const int sample = std::min(positions->count(), 100);
        for (int m = 0; m < sample && m_barRows < MaxBarRows; ++m) {
            for (int g = 1; g <= positions->groupCount(); ++g) {
                if (positions->span(m, g).participated())
                    m_barRows = std::max(m_barRows, 1 + groupDepth(*positions, m, g));
            }
        }
        m_barRows = std::min(m_barRows, MaxBarRows);
    }
    viewport()->update();
}

void SourceTextBox::setOutOfDate(bool outOfDate)
{
    if (outOfDate == m_outOfDate)
        return;
    m_outOfDate = outOfDate;
    if (m_positions)
        viewport()->update();
}

void SourceTextBox::setCurrentMatch(int match, int group)
{
    if (match == m_current && group == m_currentGroup)
        return;
    m_current = match;
    m_currentGroup = match < 0 ? 0 : group;
    if (m_positions)
        viewport()->update();
}

SourceTextBox::Metrics SourceTextBox::metrics() const
{
    // Marks grow with the font.
    const qreal bar = std::max<qreal>(2, std::round(fontMetrics().height() / 7.0));
    const qreal gap = std::max<qreal>(1, std::round(bar / 2));
    return {bar, gap, m_barRows * (bar + gap), qreal(fontMetrics().horizontalAdvance(u' '))};
}

void SourceTextBox::paintEvent(QPaintEvent *event)
{
    const bool shown = m_positions && m_positions->count() > 0;
    if (shown) {
        QPainter painter(viewport());
        paintVisible(painter, event->rect(), Layer::Fills);
    }
    TextBox::paintEvent(event);
    if (shown && m_current >= 0) {
        QPainter painter(viewport());
        paintVisible(painter, event->rect(), Layer::Frame);
    }
}

void SourceTextBox::paintVisible(QPainter &painter, const QRect &clip, Layer layer)
{
    const Shades colours(palette());
    const Metrics sizes = metrics();
    QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid() && offset.y() <= clip.bottom();
         block = block.next()) {
        const QRectF rect = blockBoundingRect(block).translated(offset);
        if (block.isVisible() && rect.bottom() >= clip.top())
            paintBlock(painter, block, offset, clip, colours, sizes, layer);
        offset.ry() += rect.height();
    }
}

void SourceTextBox::paintBlock(QPainter &painter, const QTextBlock &block, QPointF topLeft,
                               const QRect &clip, const Shades &colours, const Metrics &sizes,
                               Layer layer)
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
    const auto partsOf = [&](int m, int g) {
        const MatchPositions::Span span = m_positions->span(m, g);
        std::optional<BlockSpan> part;
        if (span.participated())
            part = inBlock(span, blockStart, columns, breakLength, lastBlock);
        return part ? lineParts(*layout, text, topLeft, first, last, *part, sizes.breakWidth)
                    : QList<LinePart>();
    };

    if (layer == Layer::Frame) {
        painter.setPen(QPen(colours.current(), sizes.bar / 2 + 0.5));
        painter.setBrush(Qt::NoBrush);
        for (const LinePart &part : partsOf(m_current, m_currentGroup))
            painter.drawRect(inset(part, sizes.gap / 2).adjusted(0.5, 0.5, -0.5, -0.5));
        return;
    }

    const int groups = m_positions->groupCount();
    for (int m = m_positions->firstReaching(std::int32_t(from));
         m < m_positions->count() && !m_positions->startsAfter(m, std::int32_t(to)); ++m) {
        for (const LinePart &part : partsOf(m, 0)) {
            QRectF fill = inset(part, sizes.gap);
            fill.setBottom(fill.bottom() - sizes.strip);
            painter.fillRect(fill, m_outOfDate ? colours.staleMatch(m) : colours.match(m));
        }
        for (int g = 1; g <= groups && sizes.strip > 0; ++g) {
            const int row = std::min(groupDepth(*m_positions, m, g), m_barRows - 1);
            for (const LinePart &part : partsOf(m, g)) {
                QRectF bar = inset(part, sizes.gap);
                bar.setTop(part.rect.bottom() - sizes.strip + sizes.gap +
                           row * (sizes.bar + sizes.gap));
                bar.setHeight(sizes.bar);
                painter.fillRect(bar, m_outOfDate ? colours.staleText() : colours.group(g));
            }
        }
    }
}
