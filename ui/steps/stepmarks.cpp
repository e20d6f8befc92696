#include "ui/steps/stepmarks.h"

#include "ui/main/textbox.h"
#include "ui/main/textboxoffsets.h"

#include <QScrollBar>
#include <QTextEdit>

namespace {

QTextEdit::ExtraSelection marked(const QTextDocument *document, int from, int to,
                                 const QColor &background, bool underline)
{
    QTextEdit::ExtraSelection selection;
    selection.cursor = QTextCursor(const_cast<QTextDocument *>(document));
    selection.cursor.setPosition(from);
    selection.cursor.setPosition(to, QTextCursor::KeepAnchor);
    selection.format.setBackground(background);
    if (underline) {
        selection.format.setFontUnderline(true);
        selection.format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    }
    return selection;
}

// The document range of Text() offsets [start, end); a range that would show nothing covers
// the character at start, where there is one.
std::pair<int, int> documentRange(TextBox &box, int start, int end)
{
    const TextBoxOffsets offsets(box);
    const int from = offsets.position(start, false);
    int to = offsets.position(end, end > start);
    if (to <= from)
        to = std::min(from + 1, box.document()->characterCount() - 1);
    return {from, to};
}

} // namespace

void StepMarks::setBoxes(TextBox *pattern, TextBox *source)
{
    clear();
    m_pattern = pattern;
    m_source = source;
}

void StepMarks::show(int partStart, int partLength, int attemptStart, int position)
{
    if (m_pattern) {
        const QPalette palette = m_pattern->palette();
        int start = partStart;
        int end = partStart + partLength;
        if (m_patternOffsets) {
            // The end follows the part's last character, not the line breaks after it.
            start = m_patternOffsets(partStart);
            end = partLength > 0 ? m_patternOffsets(partStart + partLength - 1) + 1 : start;
        }
        const auto [from, to] = documentRange(*m_pattern, start, end);
        m_pattern->setExtraSelections(
            {marked(m_pattern->document(), from, to, palette.color(QPalette::Highlight), true)});
        // The highlight's own text colour keeps the part readable.
        auto selections = m_pattern->extraSelections();
        selections.front().format.setForeground(palette.color(QPalette::HighlightedText));
        m_pattern->setExtraSelections(selections);
        scrollToPosition(*m_pattern, from);
    }
    if (m_source) {
        const QPalette palette = m_source->palette();
        QList<QTextEdit::ExtraSelection> selections;
        const TextBoxOffsets offsets(*m_source);
        const int matchedFrom = offsets.position(attemptStart, false);
        const int matchedTo = offsets.position(position, position > attemptStart);
        if (matchedTo > matchedFrom)
            selections << marked(m_source->document(), matchedFrom, matchedTo,
                                 palette.color(QPalette::AlternateBase), true);
        const auto [from, to] = documentRange(*m_source, position, position);
        if (to > from) {
            selections << marked(m_source->document(), from, to, palette.color(QPalette::Highlight),
                                 false);
            selections.back().format.setForeground(palette.color(QPalette::HighlightedText));
        }
        m_source->setExtraSelections(selections);
        scrollToPosition(*m_source, from);
    }
}

void StepMarks::clear()
{
    if (m_pattern)
        m_pattern->setExtraSelections({});
    if (m_source)
        m_source->setExtraSelections({});
}

void scrollToPosition(TextBox &box, int position)
{
    QTextCursor cursor(box.document());
    cursor.setPosition(std::clamp(position, 0, box.document()->characterCount() - 1));
    const int height = box.viewport()->height();
    const auto visible = [&] {
        const QRect r = box.cursorRect(cursor);
        return r.top() >= 0 && r.bottom() <= height;
    };
    if (visible())
        return;
    // The rectangle moves up as the bar's value grows: find the value that brings it to the
    // middle of the view.
    QScrollBar *bar = box.verticalScrollBar();
    int low = bar->minimum();
    int high = bar->maximum();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        bar->setValue(middle);
        if (box.cursorRect(cursor).center().y() > height / 2)
            low = middle + 1;
        else
            high = middle;
    }
    bar->setValue(low);
}
