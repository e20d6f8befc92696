#include "ui/main/textbox.h"

#include "ui/main/shades.h"
#include "ui/main/textboxoffsets.h"
#include "ui/shiftstate.h"

#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <numeric>

namespace {
// The time a turn of the event loop gives the text arriving.
constexpr std::chrono::milliseconds TurnTime{8};
constexpr char16_t ParagraphSeparator = 0x2029;
constexpr char16_t LineSeparator = 0x2028;
constexpr char16_t PictureCR = 0x240D;
constexpr char16_t PictureLF = 0x240A;
constexpr char16_t NoncharacterFDD0 = 0xFDD0;
constexpr char16_t NoncharacterFDD1 = 0xFDD1;

constexpr int StandsFor = TextArrival::StandsFor;
// What U+2029 and the two noncharacters show as: the document takes them as its own breaks.
constexpr char16_t ShownParagraphSeparator = 0x00B6;
constexpr char16_t ShownNoncharacter = 0xFFFD;
// What U+2028 shows as: in the document it is a CR LF of grouped lines.
constexpr char16_t ShownLineSeparator = 0x2424;
// Copied text as it is, for the boxes of this program; other programs take the plain text.
const QString ExactTextMime = QStringLiteral("application/x-sievewright-text");

// The character that ch, shown with format, stands for.
char16_t readAs(char16_t ch, qint64 mark)
{
    if (mark && char16_t(mark >> 16) == ch)
        return char16_t(mark & 0xFFFF);
    switch (ch) {
    case PictureCR:
        return u'\r';
    case PictureLF:
        return u'\n';
    default:
        return ch;
    }
}

qint64 markOf(const QTextCharFormat &format)
{
    return format.hasProperty(StandsFor) ? format.property(StandsFor).toLongLong() : 0;
}

// text with every lone CR and lone LF as CR LF; text itself where it has none.
QString breaksAsCrLf(const QString &text)
{
    const QChar *const begin = text.constData();
    const QChar *const end = begin + text.size();
    const auto lone = [&](const QChar *at) {
        return (*at == u'\r' && (at + 1 == end || at[1] != u'\n')) ||
               (*at == u'\n' && (at == begin || at[-1] != u'\r'));
    };
    qsizetype count = 0;
    for (const QChar *at = begin; at != end; ++at)
        count += lone(at) ? 1 : 0;
    if (count == 0)
        return text;
    QString out(text.size() + count, Qt::Uninitialized);
    QChar *to = out.data();
    for (const QChar *at = begin; at != end; ++at) {
        if (lone(at)) {
            *to++ = u'\r';
            *to++ = u'\n';
        } else {
            *to++ = *at;
        }
    }
    return out;
}

// Whether a key only moves the caret or copies, which the text arriving need not wait for.
bool movesOnly(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Backtab:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_Escape:
        return true;
    case Qt::Key_Tab:
        return !(event->modifiers() & Qt::ControlModifier);
    default:
        return event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll);
    }
}
} // namespace

bool TextBox::continuesLine(const QTextBlock &block)
{
    return TextArrival::continuesLine(block);
}

TextBox::TextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    connect(document(), &QTextDocument::contentsChange, this, &TextBox::followEdit);
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!m_editFollowed && !m_slicing) {
            m_textCurrent = false;
            m_separators.clear();
        }
        m_editFollowed = false;
    });
    keepUnfocusedSelectionVisible();
    m_arrivalTimer = new QTimer(this);
    m_arrivalTimer->setInterval(0);
    connect(m_arrivalTimer, &QTimer::timeout, this, &TextBox::nextSlice);
}

void TextBox::keepUnfocusedSelectionVisible()
{
    const Shades shades(palette());
    if (palette().color(QPalette::Inactive, QPalette::Highlight) == shades.unfocusedSelection() &&
        palette().color(QPalette::Inactive, QPalette::HighlightedText) ==
            shades.unfocusedSelectedText())
        return;
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight, shades.unfocusedSelection());
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText, shades.unfocusedSelectedText());
    setPalette(colours);
}

bool TextBox::event(QEvent *event)
{
    const bool handled = QPlainTextEdit::event(event);
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        update(); // the frame
        break;
    case QEvent::PaletteChange:
        keepUnfocusedSelectionVisible();
        break;
    case QEvent::Paint:
        if (hasFocus()) {
            // Over the box's own frame, as wide as the frame (at least 2 pixels).
            QPainter painter(this);
            const qreal width = std::max(2, frameWidth());
            painter.setPen(QPen(Shades(palette()).focusFrame(), width));
            painter.drawRect(QRectF(rect()).adjusted(width / 2, width / 2, -width / 2, -width / 2));
        }
        break;
    default:
        break;
    }
    return handled;
}

void TextBox::keyPressEvent(QKeyEvent *event)
{
    if (arriving() && !movesOnly(event))
        waitForText();
    // Enter in a box with split lines, and Shift+Enter anywhere, insert a CR LF line break.
    if (event->matches(QKeySequence::InsertLineSeparator) ||
        (m_continuations && event->matches(QKeySequence::InsertParagraphSeparator))) {
        insertLineBreak();
        event->accept();
        return;
    }
    if (m_continuations) {
        // Backspace and Delete at the seam of two pieces take the character beyond the seam.
        QTextCursor cursor = textCursor();
        const bool plain = !cursor.hasSelection() && event->modifiers() == Qt::NoModifier;
        if (plain && event->key() == Qt::Key_Backspace && cursor.atBlockStart() &&
            continuesLine(cursor.block())) {
            cursor.movePosition(QTextCursor::PreviousCharacter);
            setTextCursor(cursor);
        } else if (plain && event->key() == Qt::Key_Delete && cursor.atBlockEnd() &&
                   continuesLine(cursor.block().next())) {
            cursor.movePosition(QTextCursor::NextCharacter);
            setTextCursor(cursor);
        }
    }
    // A typed character takes the format of the one before it, never what that one stands for.
    QTextCursor cursor = textCursor();
    if (m_marked && !cursor.hasSelection() && cursor.charFormat().hasProperty(StandsFor)) {
        QTextCharFormat format = cursor.charFormat();
        format.clearProperty(StandsFor);
        cursor.setCharFormat(format);
        setTextCursor(cursor);
    }
    if (event->key() == Qt::Key_Tab && shiftState(event->modifiers()) == 2) {
        insertPlainText(QStringLiteral("\t"));
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TextBox::inputMethodEvent(QInputMethodEvent *event)
{
    if (arriving() && !event->commitString().isEmpty())
        waitForText();
    QPlainTextEdit::inputMethodEvent(event);
}

void TextBox::insertLineBreak()
{
    // A real break, also in a block that continues a line: the new block would inherit the mark.
    // The cursor's insertBlock replaces the selection, in one undo step.
    QTextCursor cursor = textCursor();
    QTextBlockFormat format = document()->findBlock(cursor.selectionStart()).blockFormat();
    format.clearProperty(TextArrival::ContinuesLine);
    cursor.insertBlock(format);
    setTextCursor(cursor);
    ensureCursorVisible();
}

QMimeData *TextBox::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    const QString text = readText(cursor.selectionStart(), cursor.selectionEnd());
    auto *data = new QMimeData;
    data->setText(text);
    data->setData(ExactTextMime,
                  QByteArray(reinterpret_cast<const char *>(text.constData()), text.size() * 2));
    return data;
}

void TextBox::insertFromMimeData(const QMimeData *source)
{
    QString text;
    if (source->hasFormat(ExactTextMime)) {
        const QByteArray units = source->data(ExactTextMime);
        text = QString(reinterpret_cast<const QChar *>(units.constData()), units.size() / 2);
    } else if (source->hasText()) {
        // Text of other programs breaks lines at CR LF, CR or LF, as the plain text edit itself
        // reads it; every other character is kept.
        text = breaksAsCrLf(source->text());
    } else {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    insertExactText(text);
}

void TextBox::ReplaceAll(const QString &text)
{
    waitForText();
    selectAll();
    insertExactText(text);
}

void TextBox::insertExactText(const QString &text)
{
    waitForText();
    std::vector<Mark> marks;
    DisplayShape shape;
    const QString display = toDisplay(text, &marks, &shape);
    m_grouped = m_grouped || shape.grouped;
    // Lines break as the document breaks them, unless a line is long or a block continues one.
    const bool asBroken = marks.empty() && shape.longestLine <= LongLine && !m_continuations;
    QTextCursor cursor = textCursor();
    TextArrival arrival(display, marks, asBroken ? display.size() : TextArrival::PieceLength,
                        shape.longestLine, cursor.selectionStart());
    const qsizetype end = arrival.nextEnd(m_sliceLength);
    const bool inSlices = end < arrival.shown().size();
    if (inSlices) {
        // Text() answers the text after the paste from its first slice on.
        const TextBoxOffsets offsets(*this);
        const auto offsetOf = [&](int position) {
            const QTextBlock block = document()->findBlock(position);
            return offsets.blockOffset(block) +
                   BlockColumns(block).offset(position - block.position());
        };
        const qsizetype from = offsetOf(cursor.selectionStart());
        const QString before = Text();
        m_text = before.first(from) + text + before.sliced(offsetOf(cursor.selectionEnd()));
        m_textCurrent = true;
        m_separators.clear();
    }
    m_slicing = inSlices;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    QTextCharFormat plain = cursor.charFormat();
    plain.clearProperty(StandsFor);
    arrival.insertSlice(cursor, end, plain);
    m_continuations = m_continuations || arrival.splitsLines();
    m_marked = m_marked || !marks.empty();
    cursor.endEditBlock();
    m_slicing = false;
    if (inSlices) {
        m_pasting = true;
        startArrival(std::move(arrival), cursor);
        return;
    }
    setTextCursor(cursor);
    ensureCursorVisible();
}

QString TextBox::readText(int from, int to) const
{
    QString text;
    text.reserve(to - from);
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        if (block.position() > from && !continuesLine(block))
            text += u"\r\n";
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(fragment.position(), from);
            const int end = std::min(fragment.position() + fragment.length(), to);
            if (start >= end)
                continue;
            const qint64 mark = markOf(fragment.charFormat());
            const QString part = fragment.text();
            for (int i = start; i < end; ++i) {
                const char16_t ch = part.at(i - fragment.position()).unicode();
                if (ch == LineSeparator)
                    text += u"\r\n";
                else
                    text += QChar(readAs(ch, mark));
            }
        }
    }
    return text;
}

void TextBox::followEdit(int position, int removed, int added)
{
    m_editFollowed = false;
    // A U+2028 typed through an input method reads as CR LF, as the ones of grouped lines.
    if (added == 1 && document()->characterAt(position) == QChar(LineSeparator))
        m_grouped = true;
    if (m_slicing || !m_textCurrent || m_continuations || m_marked || removed + added != 1)
        return;
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid())
        return;
    // Every block break and every U+2028 before the position reads as two characters, CR LF.
    qsizetype offset = qsizetype(position) + block.blockNumber();
    if (m_grouped)
        offset += separatorsBefore(block, position);
    if (added == 1) {
        const char16_t typed = document()->characterAt(position).unicode();
        if (typed == ParagraphSeparator || typed == LineSeparator || offset > m_text.size())
            return;
        m_text.insert(offset, QChar(readAs(typed, 0)));
    } else {
        // A CR or LF may have been a line break or a control picture: read the document.
        if (offset >= m_text.size() || m_text.at(offset) == u'\r' || m_text.at(offset) == u'\n')
            return;
        m_text.remove(offset, 1);
    }
    m_editFollowed = true;
}

qsizetype TextBox::separatorsBefore(const QTextBlock &block, int position)
{
    // Counted for each block once, then kept through the edits followed, which add or remove
    // no U+2028 and no block.
    const QTextDocument *doc = document();
    if (m_separators.size() != std::size_t(doc->blockCount())) {
        m_separators.clear();
        m_separators.reserve(std::size_t(doc->blockCount()));
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
            m_separators.push_back(int(b.text().count(QChar(LineSeparator))));
    }
    const auto number = std::size_t(block.blockNumber());
    return std::accumulate(m_separators.cbegin(), m_separators.cbegin() + qsizetype(number),
                           qsizetype(0)) +
           QStringView(block.text()).first(position - block.position()).count(QChar(LineSeparator));
}

QString TextBox::Text() const
{
    if (!m_textCurrent) {
        m_text = m_continuations || m_marked ? readText(0, document()->characterCount() - 1)
                                             : fromDisplay(document()->toRawText());
        m_textCurrent = true;
    }
    return m_text;
}

void TextBox::SetText(const QString &text)
{
    endArrival();
    std::vector<Mark> marks;
    DisplayShape shape;
    const QString display = toDisplay(text, &marks, &shape);
    TextArrival arrival(display, marks, LongLine, shape.longestLine, 0);
    m_continuations = arrival.splitsLines();
    m_marked = !marks.empty();
    m_grouped = shape.grouped;
    m_separators.clear();
    m_text = text;
    m_textCurrent = true;

    const qsizetype end = arrival.nextEnd(m_sliceLength);
    m_slicing = true;
    setPlainText(end == arrival.shown().size() ? arrival.shown() : arrival.shown().first(end));
    // The marks are no edit that the user could undo.
    QTextDocument *doc = document();
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    arrival.markSlice(*doc, end);
    cursor.endEditBlock();
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
    m_slicing = false;
    if (arrival.finished())
        return;
    cursor.movePosition(QTextCursor::End);
    startArrival(std::move(arrival), cursor);
}

void TextBox::startArrival(TextArrival arrival, const QTextCursor &cursor)
{
    m_arrival.emplace(std::move(arrival));
    m_arrivalCursor = cursor;
    m_readOnly = isReadOnly();
    setReadOnly(true);
    m_arrivalTimer->start();
    Q_EMIT textArriving(m_arrival->percent());
}

void TextBox::nextSlice()
{
    if (!m_arrival) {
        m_arrivalTimer->stop();
        return;
    }
    // Slices until the turn's time is spent: the window waits no longer than that for a turn.
    QElapsedTimer spent;
    spent.start();
    do {
        const qsizetype end = m_arrival->nextEnd(m_sliceLength);
        const QSignalBlocker quiet(this);
        m_slicing = true;
        QTextCharFormat plain = m_arrivalCursor.charFormat();
        plain.clearProperty(StandsFor);
        if (m_pasting) {
            // One undo step with the slices before it.
            m_arrivalCursor.joinPreviousEditBlock();
            m_arrival->insertSlice(m_arrivalCursor, end, plain);
            m_arrivalCursor.endEditBlock();
        } else {
            QTextDocument *doc = document();
            const bool undo = doc->isUndoRedoEnabled();
            doc->setUndoRedoEnabled(false);
            m_arrivalCursor.beginEditBlock();
            m_arrival->insertSlice(m_arrivalCursor, end, plain);
            m_arrivalCursor.endEditBlock();
            doc->setUndoRedoEnabled(undo);
            doc->setModified(false);
        }
        m_slicing = false;
    } while (!m_arrival->finished() && std::chrono::milliseconds(spent.elapsed()) < TurnTime);
    if (!m_arrival->finished()) {
        Q_EMIT textArriving(m_arrival->percent());
        return;
    }
    const bool pasted = m_pasting;
    const QTextCursor after = m_arrivalCursor;
    endArrival();
    if (pasted) {
        setTextCursor(after);
        ensureCursorVisible();
    }
    Q_EMIT textArrived();
}

void TextBox::waitForText()
{
    while (m_arrival)
        nextSlice();
}

void TextBox::endArrival()
{
    if (!m_arrival)
        return;
    m_arrivalTimer->stop();
    m_arrival.reset();
    m_arrivalCursor = QTextCursor();
    m_pasting = false;
    setReadOnly(m_readOnly);
}

// Both conversions write into a buffer of the final size: for a text of millions of characters,
// appending one at a time costs more than the engine's run on it.
QString TextBox::toDisplay(const QString &text, std::vector<Mark> *marks, DisplayShape *shape)
{
    *shape = {};
    QString display(text.size(), Qt::Uninitialized);
    QChar *out = display.data();
    const QChar *in = text.constData();
    const QChar *const end = in + text.size();
    const QChar *blockStart = out; // where the current block of the document begins in display
    const auto marked = [&](char16_t shown, char16_t value) {
        marks->push_back({out - display.constData(), value});
        *out++ = QChar(shown);
    };
    for (; in != end; ++in) {
        const char16_t ch = in->unicode();
        switch (ch) {
        case u'\r':
            if (in + 1 != end && in[1] == u'\n') {
                // Short lines go together into blocks of about a piece: the document takes
                // microseconds and hundreds of bytes for each block.
                if (out - blockStart < TextArrival::PieceLength) {
                    *out++ = QChar(LineSeparator);
                    shape->grouped = true;
                } else {
                    shape->longestLine = std::max<qsizetype>(shape->longestLine, out - blockStart);
                    *out++ = u'\n';
                    blockStart = out;
                }
                ++in;
            } else {
                *out++ = QChar(PictureCR);
            }
            break;
        case u'\n':
            *out++ = QChar(PictureLF);
            break;
        case PictureCR:
        case PictureLF:
            marked(ch, ch);
            break;
        case ParagraphSeparator:
            marked(ShownParagraphSeparator, ch);
            break;
        case LineSeparator:
            marked(ShownLineSeparator, ch);
            break;
        case NoncharacterFDD0:
        case NoncharacterFDD1:
            marked(ShownNoncharacter, ch);
            break;
        default:
            *out++ = *in;
        }
    }
    shape->longestLine = std::max<qsizetype>(shape->longestLine, out - blockStart);
    display.truncate(out - display.constData());
    return display;
}

QString TextBox::fromDisplay(const QString &raw)
{
    const qsizetype breaks = raw.count(QChar(ParagraphSeparator)) + raw.count(QChar(LineSeparator));
    QString text(raw.size() + breaks, Qt::Uninitialized);
    QChar *out = text.data();
    for (const QChar ch : raw) {
        switch (ch.unicode()) {
        case ParagraphSeparator:
        case LineSeparator:
            *out++ = u'\r';
            *out++ = u'\n';
            break;
        case PictureCR:
            *out++ = u'\r';
            break;
        case PictureLF:
            *out++ = u'\n';
            break;
        default:
            *out++ = ch;
        }
    }
    return text;
}
