#include "ui/main/patternhighlighter.h"

#include "runner/runoptions.h"
#include "ui/main/shades.h"
#include "ui/main/statustexts.h"
#include "ui/main/textbox.h"

#include <QHelpEvent>
#include <QPromise>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolTip>

#include <algorithm>
#include <memory>

namespace {
// What each kind of span means, for its tooltip; plain text has none.
QString kindMeaning(engine::TokenKind kind)
{
    using engine::TokenKind;
    switch (kind) {
    case TokenKind::Literal:
        return QString();
    case TokenKind::Escape:
        return QStringLiteral("Escape: one character given by its code");
    case TokenKind::IdentityEscape:
        return QStringLiteral("Needless backslash: the character after it stands for itself");
    case TokenKind::CharClass:
        return QStringLiteral("Character class: any one character of a set");
    case TokenKind::Group:
        return QStringLiteral("Group that captures nothing (or a lookahead)");
    case TokenKind::Alternation:
        return QStringLiteral("Alternation: the text on either side may match");
    case TokenKind::Quantifier:
        return QStringLiteral("Quantifier: repeats what stands before it as often as it can");
    case TokenKind::LazyQuantifier:
        return QStringLiteral("Lazy quantifier (underlined): repeats what stands before it as "
                              "few times as it can");
    case TokenKind::Anchor:
        return QStringLiteral("Anchor: matches a position, not a character");
    case TokenKind::BackReference:
        return QStringLiteral("Back reference: the text that group matched");
    }
    return QString();
}
} // namespace

PatternHighlighter::PatternHighlighter(TextBox *box)
    : QObject(box)
    , m_box(box)
    , m_document(box->document())
{
    connect(box->document(), &QTextDocument::contentsChange, this,
            &PatternHighlighter::contentsChanged);
    connect(box, &QPlainTextEdit::cursorPositionChanged, this, &PatternHighlighter::caretMoved);
    m_thread.setMaxThreadCount(1);
    m_thread.setExpiryTimeout(-1);
    m_pause.setSingleShot(true);
    m_pause.setInterval(PauseMs);
    connect(&m_pause, &QTimer::timeout, this, &PatternHighlighter::scan);
    connect(&m_worker, &QFutureWatcherBase::finished, this, &PatternHighlighter::readingDone);
    box->viewport()->installEventFilter(this);
    box->installEventFilter(this);
    updateFormats();
    m_pause.start();
}

PatternHighlighter::~PatternHighlighter()
{
    m_reading = PatternReading();
    m_bracketMarks.clear();
    if (m_document)
        recolourAll();
}

void PatternHighlighter::setIgnoreLineBreaks(bool on)
{
    if (on == m_ignoreLineBreaks)
        return;
    m_ignoreLineBreaks = on;
    ++m_revision;
    m_pause.start();
}

void PatternHighlighter::scanNow()
{
    m_pause.stop();
    m_worker.waitForFinished();
    m_readingPending = false; // an earlier reading is dropped
    m_rescan = false;
    scan();
    m_worker.waitForFinished();
    readingDone();
}

void PatternHighlighter::updateFormats()
{
    const QPalette palette = m_box->palette();
    const Shades shades(palette);
    const auto kindColour = [&](int hue) { return shades.onBase(hue); };
    auto format = [&](engine::TokenKind kind) -> QTextCharFormat & {
        return m_formats[static_cast<std::size_t>(kind)];
    };
    for (QTextCharFormat &f : m_formats)
        f = QTextCharFormat();
    format(engine::TokenKind::Literal).setForeground(palette.color(QPalette::Text));
    format(engine::TokenKind::Escape).setForeground(kindColour(30));
    format(engine::TokenKind::IdentityEscape).setForeground(shades.onBase(0, 0));
    format(engine::TokenKind::CharClass).setForeground(kindColour(140));
    format(engine::TokenKind::Group).setForeground(kindColour(215));
    format(engine::TokenKind::Group).setFontWeight(QFont::Bold);
    format(engine::TokenKind::Alternation) = format(engine::TokenKind::Group);
    format(engine::TokenKind::Quantifier).setForeground(kindColour(285));
    format(engine::TokenKind::LazyQuantifier) = format(engine::TokenKind::Quantifier);
    format(engine::TokenKind::LazyQuantifier).setFontItalic(true);
    format(engine::TokenKind::LazyQuantifier).setFontUnderline(true);
    format(engine::TokenKind::Anchor).setForeground(kindColour(330));
    format(engine::TokenKind::BackReference).setForeground(kindColour(180));
    format(engine::TokenKind::BackReference).setFontWeight(QFont::Bold);
    m_bracketFormat = QTextCharFormat();
    m_bracketFormat.setBackground(shades.unfocusedSelection());
    m_bracketFormat.setForeground(shades.unfocusedSelectedText());
    m_bracketFormat.setProperty(MarkProperty, true);
    // A band under the character, the wave on it: both grow with the font.
    m_errorFormat = QTextCharFormat();
    m_errorFormat.setBackground(shades.errorBand());
    m_errorFormat.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    m_errorFormat.setUnderlineColor(shades.errorWave());
    m_errorFormat.setProperty(MarkProperty, true);
    for (int i = 0; i < Shades::GroupHues; ++i) {
        QTextCharFormat &group = m_groupFormats[static_cast<std::size_t>(i)];
        group = QTextCharFormat();
        group.setForeground(shades.group(i + 1));
        group.setFontWeight(QFont::Bold);
        group.setProperty(GroupNumberProperty, i + 1);
    }
    m_warningFormat = QTextCharFormat();
    m_warningFormat.setUnderlineStyle(QTextCharFormat::DotLine);
    m_warningFormat.setUnderlineColor(shades.onBase(45, 255));
    m_warningFormat.setProperty(MarkProperty, true);
}

void PatternHighlighter::setWarnings(std::vector<WarningMark> warnings)
{
    if (warnings == m_warnings)
        return;
    m_warnings = std::move(warnings);
    recolourAll();
}

void PatternHighlighter::contentsChanged(int position, int removed, int added)
{
    ++m_revision;
    m_reading.brackets.clear();
    m_bracketMarks.clear();
    m_pause.start();

    // Spans after the change move with the text; what it replaced loses its colour.
    const int delta = added - removed;
    const int changedEnd = position + removed;
    std::vector<PatternReading::Span> &spans = m_reading.spans;
    const auto first =
        std::lower_bound(spans.begin(), spans.end(), position,
                         [](const PatternReading::Span &s, int p) { return s.end <= p; });
    auto last = first;
    std::vector<PatternReading::Span> pieces;
    for (; last != spans.end() && last->start < changedEnd; ++last) {
        if (last->start < position)
            pieces.push_back({last->start, std::min(last->end, position), last->kind});
        if (last->end > changedEnd)
            pieces.push_back({changedEnd + delta, last->end + delta, last->kind});
    }
    const auto rest = spans.erase(first, last) - spans.begin();
    spans.insert(spans.begin() + rest, pieces.begin(), pieces.end());
    for (auto it = spans.begin() + rest + static_cast<std::ptrdiff_t>(pieces.size());
         it != spans.end(); ++it) {
        it->start += delta;
        it->end += delta;
    }
    std::vector<int> errors;
    for (int p : m_reading.errorMarks) {
        if (p < position)
            errors.push_back(p);
        else if (p >= changedEnd)
            errors.push_back(p + delta);
    }
    m_reading.errorMarks = std::move(errors);
    std::vector<std::pair<int, int>> groupBrackets;
    for (const auto &[p, group] : m_groupBrackets) {
        if (p < position)
            groupBrackets.emplace_back(p, group);
        else if (p >= changedEnd)
            groupBrackets.emplace_back(p + delta, group);
    }
    m_groupBrackets = std::move(groupBrackets);
    for (int &p : m_plain)
        p = p < position ? p : std::max(position, p + delta);

    // The edited blocks are laid out after this anyway; their formats must follow the text.
    // A block dense with colours takes a while to lay out: it stays plain until the reading.
    const QTextBlock lastEdited = m_document->findBlock(position + added);
    for (QTextBlock block = m_document->findBlock(position); block.isValid();
         block = block.next()) {
        QList<QTextLayout::FormatRange> formats = formatsOf(block);
        if (formats.size() > DenseBlock) {
            formats.clear();
            m_plain.push_back(block.position());
        }
        block.layout()->setFormats(formats);
        if (block == lastEdited)
            break;
    }
}

void PatternHighlighter::scan()
{
    if (m_worker.isRunning()) {
        m_rescan = true;
        return;
    }
    // Read from the document here; the reading itself runs on a worker thread.
    const QString pattern = PreparePattern(m_box->Text(), m_ignoreLineBreaks);
    QTextDocument *doc = m_document;
    const QString raw = doc->toRawText();
    std::vector<bool> continues;
    continues.reserve(static_cast<std::size_t>(doc->blockCount()));
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
        continues.push_back(TextBox::continuesLine(block));
    const bool ignoreLineBreaks = m_ignoreLineBreaks;

    m_readingRevision = m_revision;
    m_readingPending = true;
    auto promise = std::make_shared<QPromise<PatternReading>>();
    m_worker.setFuture(promise->future());
    promise->start();
    m_thread.start([promise, pattern, raw, continues, ignoreLineBreaks] {
        try {
            promise->addResult(readPattern(pattern, raw, continues, ignoreLineBreaks));
        } catch (const std::bad_alloc &) {
            promise->addResult(PatternReading()); // nothing shown
        }
        promise->finish();
    });
}

void PatternHighlighter::readingDone()
{
    if (!m_readingPending)
        return;
    m_readingPending = false;
    if (m_rescan) {
        m_rescan = false;
        scan();
        return;
    }
    if (m_readingRevision != m_revision || m_worker.future().resultCount() == 0)
        return; // the pause after the edit starts another reading

    PatternReading before = std::exchange(m_reading, m_worker.future().takeResult());
    m_worker.setFuture(QFuture<PatternReading>()); // the taken one counts as not finished
    std::vector<int> changed = spansChanged(before.spans);
    // Group colours come and go with the brackets.
    for (const auto &bracket : m_groupBrackets)
        changed.push_back(bracket.first);
    findGroupBrackets();
    for (const auto &bracket : m_groupBrackets)
        changed.push_back(bracket.first);
    changed.insert(changed.end(), before.errorMarks.begin(), before.errorMarks.end());
    changed.insert(changed.end(), m_reading.errorMarks.begin(), m_reading.errorMarks.end());
    changed.insert(changed.end(), m_plain.begin(), m_plain.end());
    m_plain.clear();
    std::sort(changed.begin(), changed.end());
    recolour(changed);
    caretMoved();
    Q_EMIT readingShown();
}

std::vector<int>
PatternHighlighter::spansChanged(const std::vector<PatternReading::Span> &before) const
{
    using Span = PatternReading::Span;
    // The spans of a list that touch [from, to).
    auto slice = [](const std::vector<Span> &spans, int from, int to) {
        auto first = std::lower_bound(spans.begin(), spans.end(), from,
                                      [](const Span &s, int p) { return s.end <= p; });
        auto last = first;
        while (last != spans.end() && last->start < to)
            ++last;
        return std::pair(first, last);
    };
    std::vector<int> changed;
    QTextDocument *doc = m_document;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const int from = block.position();
        const int to = from + block.length();
        const auto [oldFirst, oldLast] = slice(before, from, to);
        const auto [newFirst, newLast] = slice(m_reading.spans, from, to);
        const bool same =
            std::equal(oldFirst, oldLast, newFirst, newLast, [&](const Span &a, const Span &b) {
                return a.kind == b.kind && std::max(a.start, from) == std::max(b.start, from) &&
                       std::min(a.end, to) == std::min(b.end, to);
            });
        if (!same)
            changed.push_back(from);
    }
    return changed;
}

void PatternHighlighter::recolour(const std::vector<int> &positions)
{
    int last = -1;
    for (int p : positions) {
        const QTextBlock block = m_document->findBlock(p);
        if (block.isValid() && block.blockNumber() != last) {
            colourBlock(block);
            last = block.blockNumber();
        }
    }
}

void PatternHighlighter::recolourAll()
{
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next())
        colourBlock(block);
}

void PatternHighlighter::colourBlock(const QTextBlock &block)
{
    QTextLayout *layout = block.layout();
    QList<QTextLayout::FormatRange> formats = formatsOf(block);
    if (!layout || formats == layout->formats())
        return;
    layout->setFormats(formats);
    // Extra formats of a layout are no edit: no undo step, no change signal.
    m_document->markContentsDirty(block.position(), block.length());
}

const PatternReading::Bracket *PatternHighlighter::bracketAt(int position) const
{
    const std::vector<PatternReading::Bracket> &brackets = m_reading.brackets;
    const auto it =
        std::lower_bound(brackets.begin(), brackets.end(), position,
                         [](const PatternReading::Bracket &b, int p) { return b.position < p; });
    return it != brackets.end() && it->position == position ? &*it : nullptr;
}

void PatternHighlighter::caretMoved()
{
    const int caret = m_box->textCursor().position();
    std::vector<int> marks;
    const PatternReading::Bracket *bracket = bracketAt(caret);
    if (!bracket)
        bracket = bracketAt(caret - 1);
    if (bracket && bracket->partner >= 0)
        marks = {std::min(bracket->position, bracket->partner),
                 std::max(bracket->position, bracket->partner)};
    if (marks == m_bracketMarks)
        return;
    std::vector<int> blocks = m_bracketMarks;
    blocks.insert(blocks.end(), marks.begin(), marks.end());
    std::sort(blocks.begin(), blocks.end());
    m_bracketMarks = std::move(marks);
    recolour(blocks);
}

QList<QTextLayout::FormatRange> PatternHighlighter::formatsOf(const QTextBlock &block) const
{
    QList<QTextLayout::FormatRange> formats;
    const int start = block.position();
    const int end = start + block.length() - 1;
    const std::vector<PatternReading::Span> &spans = m_reading.spans;
    auto it = std::lower_bound(spans.begin(), spans.end(), start,
                               [](const PatternReading::Span &s, int p) { return s.end <= p; });
    for (; it != spans.end() && it->start < end; ++it) {
        const int from = std::max(it->start, start);
        const int to = std::min(it->end, end);
        if (to > from)
            formats.append({from - start, to - from, formatFor(it->kind)});
    }
    for (const WarningMark &w : m_warnings) {
        const int from = std::max(w.start, start);
        const int to = std::min(std::max(w.end, w.start + 1), end);
        if (to > from)
            formats.append({from - start, to - from, m_warningFormat});
    }
    // The marks come last: the layout merges them into the look of what they mark.
    auto mark = [&](const std::vector<int> &positions, const QTextCharFormat &added) {
        for (int p : positions)
            if (p >= start && p < end)
                formats.append({p - start, 1, added});
    };
    mark(m_reading.errorMarks, m_errorFormat);
    const auto firstBracket =
        std::lower_bound(m_groupBrackets.begin(), m_groupBrackets.end(), std::pair(start, 0));
    for (auto it = firstBracket; it != m_groupBrackets.end() && it->first < end; ++it)
        formats.append({it->first - start, 1, groupFormat(it->second)});
    mark(m_bracketMarks, m_bracketFormat);
    return formats;
}

QString PatternHighlighter::firstError() const
{
    if (m_reading.errorNumber == 0)
        return QString();
    return StatusTexts::patternError(m_reading.errorNumber, m_reading.errorDescription,
                                     m_reading.errorPosition);
}

int PatternHighlighter::groupCount() const
{
    int groups = 0;
    for (const PatternReading::Bracket &bracket : m_reading.brackets)
        groups = std::max(groups, bracket.group);
    return groups;
}

void PatternHighlighter::findGroupBrackets()
{
    m_groupBrackets.clear();
    for (const PatternReading::Bracket &bracket : m_reading.brackets) {
        if (bracket.group <= 0)
            continue;
        m_groupBrackets.emplace_back(bracket.position, bracket.group);
        if (bracket.partner >= 0)
            m_groupBrackets.emplace_back(bracket.partner, bracket.group);
    }
    std::sort(m_groupBrackets.begin(), m_groupBrackets.end());
}

int PatternHighlighter::groupBracketAt(int position) const
{
    const auto it =
        std::lower_bound(m_groupBrackets.begin(), m_groupBrackets.end(), std::pair(position, 0));
    return it != m_groupBrackets.end() && it->first == position ? it->second : 0;
}

QString PatternHighlighter::toolTipAt(int position) const
{
    // The error says all there is to say about its marks.
    const std::vector<int> &errors = m_reading.errorMarks;
    if (std::find(errors.begin(), errors.end(), position) != errors.end())
        return m_reading.errorText;
    QStringList lines;
    for (const WarningMark &w : m_warnings)
        if (position >= w.start && position < std::max(w.end, w.start + 1))
            lines.append(w.text);
    const PatternReading::Bracket *bracket = bracketAt(position);
    if (const int group = groupBracketAt(position); group > 0)
        lines.append(bracket && bracket->group == group
                         ? QStringLiteral("group %1").arg(group)
                         : QStringLiteral("end of group %1").arg(group));
    if (lines.isEmpty() &&
        std::find(m_bracketMarks.begin(), m_bracketMarks.end(), position) != m_bracketMarks.end())
        lines.append(QStringLiteral("The bracket paired with the one at the caret"));
    if (lines.isEmpty()) {
        const std::vector<PatternReading::Span> &spans = m_reading.spans;
        const auto it =
            std::lower_bound(spans.begin(), spans.end(), position,
                             [](const PatternReading::Span &s, int p) { return s.end <= p; });
        if (it != spans.end() && it->start <= position)
            lines.append(kindMeaning(it->kind));
    }
    lines.removeAll(QString());
    return lines.join(u'\n');
}

bool PatternHighlighter::eventFilter(QObject *watched, QEvent *event)
{
    // The filter watches the box and its viewport only; the box is not asked for its viewport
    // here, since events also come while it is being destroyed.
    if (event->type() == QEvent::PaletteChange && watched == m_box) {
        updateFormats();
        recolourAll();
    } else if (event->type() == QEvent::ToolTip && watched != m_box) {
        const auto *help = static_cast<QHelpEvent *>(event);
        // The character under the pointer: the one after the nearest caret position, or the
        // one before it when the pointer is left of that position.
        const QTextCursor cursor = m_box->cursorForPosition(help->pos());
        int position = cursor.position();
        if (help->pos().x() < m_box->cursorRect(cursor).x())
            --position;
        const QString tip = toolTipAt(position);
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, m_box->viewport());
        return true;
    }
    return QObject::eventFilter(watched, event);
}
