#include "ui/main/textbox.h"

#include "ui/main/shades.h"
#include "ui/shiftstate.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <numeric>
#include <ranges>

namespace {
constexpr char16_t ParagraphSeparator = 0x2029;
constexpr char16_t LineSeparator = 0x2028;
constexpr char16_t PictureCR = 0x240D;
constexpr char16_t PictureLF = 0x240A;
constexpr char16_t NoncharacterFDD0 = 0xFDD0;
constexpr char16_t NoncharacterFDD1 = 0xFDD1;

// Block property: the block continues the line of the block before it.
constexpr int ContinuesLine = QTextFormat::UserProperty + 1;
// Character property of a character that reads as another: the character shown in the upper
// 16 bits, the one it stands for in the lower. Typed characters take the format of their
// neighbour, so the mark counts only where the shown character is still there.
constexpr int StandsFor = QTextFormat::UserProperty + 2;
// What U+2029 and the two noncharacters show as: the document takes them as its own breaks.
constexpr char16_t ShownParagraphSeparator = 0x00B6;
constexpr char16_t ShownNoncharacter = 0xFFFD;
// What U+2028 shows as: in the document it is a CR LF of grouped lines.
constexpr char16_t ShownLineSeparator = 0x2424;
// Copied text as it is, for the boxes of this program; other programs take the plain text.
const QString ExactTextMime = QStringLiteral("application/x-sievewright-text");

QTextCharFormat markFormat(QTextCharFormat format, char16_t shown, char16_t value)
{
    format.setProperty(StandsFor, qint64(shown) << 16 | value);
    return format;
}

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
// Pieces of a long line, ended after a blank in their last eighth where there is one.
constexpr qsizetype PieceLength = 4096;

// The end of the piece of line that starts at start (the line ends at end).
qsizetype pieceEnd(const QString &text, qsizetype start, qsizetype end)
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
} // namespace

bool TextBox::continuesLine(const QTextBlock &block)
{
    return block.isValid() && block.blockFormat().boolProperty(ContinuesLine);
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
        if (!m_editFollowed) {
            m_textCurrent = false;
            m_separators.clear();
        }
        m_editFollowed = false;
    });
    keepUnfocusedSelectionVisible();
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

void TextBox::insertLineBreak()
{
    // A real break, also in a block that continues a line: the new block would inherit the mark.
    // The cursor's insertBlock replaces the selection, in one undo step.
    QTextCursor cursor = textCursor();
    QTextBlockFormat format = document()->findBlock(cursor.selectionStart()).blockFormat();
    format.clearProperty(ContinuesLine);
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
        text = source->text();
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
            .replace(u'\r', u'\n')
            .replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    } else {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    insertExactText(text);
}

void TextBox::ReplaceAll(const QString &text)
{
    selectAll();
    insertExactText(text);
}

void TextBox::insertExactText(const QString &text)
{
    std::vector<Mark> marks;
    const QString display = toDisplay(text, &marks);
    m_grouped = m_grouped || display.contains(QChar(LineSeparator));
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    QTextCharFormat plain = cursor.charFormat();
    plain.clearProperty(StandsFor);
    const bool hasLongLine = std::ranges::any_of(
        QStringView(display).split(u'\n'), [](QStringView line) { return line.size() > LongLine; });
    if (marks.empty() && !hasLongLine && !m_continuations) {
        // Lines break as the document breaks them, in one insertion.
        cursor.insertText(display, plain);
        cursor.endEditBlock();
        setTextCursor(cursor);
        ensureCursorVisible();
        return;
    }
    auto mark = marks.cbegin();
    // display[from, to), which holds no line break, with its marks.
    const auto insertRun = [&](qsizetype from, qsizetype to) {
        for (; mark != marks.cend() && mark->at < to; ++mark) {
            cursor.insertText(display.sliced(from, mark->at - from), plain);
            const char16_t shown = display.at(mark->at).unicode();
            cursor.insertText(QString(QChar(shown)), markFormat(plain, shown, mark->value));
            from = mark->at + 1;
        }
        cursor.insertText(display.sliced(from, to - from), plain);
    };
    const auto breakLine = [&cursor](bool continues) {
        QTextBlockFormat format = cursor.blockFormat();
        if (continues)
            format.setProperty(ContinuesLine, true);
        else
            format.clearProperty(ContinuesLine);
        cursor.insertBlock(format);
    };
    for (qsizetype start = 0; start <= display.size();) {
        qsizetype end = display.indexOf(u'\n', start);
        if (end < 0)
            end = display.size();
        if (start > 0)
            breakLine(false);
        qsizetype piece = start;
        do {
            const qsizetype stop = pieceEnd(display, piece, end);
            if (piece > start) {
                breakLine(true);
                m_continuations = true;
            }
            insertRun(piece, stop);
            piece = stop;
        } while (piece < end);
        start = end + 1;
    }
    cursor.endEditBlock();
    if (!marks.empty())
        m_marked = true;
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
    if (!m_textCurrent || m_continuations || m_marked || removed + added != 1)
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
    std::vector<Mark> marks;
    showText(toDisplay(text, &marks), marks);
    m_separators.clear();
    m_text = text;
    m_textCurrent = true;
}

void TextBox::showText(const QString &display, const std::vector<Mark> &marks)
{
    QString shown;               // display, with the long lines in pieces
    qsizetype copied = 0;        // display up to here is in shown
    QList<int> continuing;       // numbers of the blocks that continue a line
    std::vector<qsizetype> cuts; // display offsets where a piece that continues a line begins
    int block = 0;
    for (qsizetype start = 0; start <= display.size(); ++block) {
        qsizetype end = display.indexOf(u'\n', start);
        if (end < 0)
            end = display.size();
        if (end - start > LongLine) {
            shown += QStringView(display).sliced(copied, start - copied);
            for (qsizetype piece = start; piece < end;) {
                const qsizetype stop = pieceEnd(display, piece, end);
                if (piece > start) {
                    shown += u'\n';
                    continuing.append(++block);
                    cuts.push_back(piece);
                }
                shown += QStringView(display).sliced(piece, stop - piece);
                piece = stop;
            }
            copied = end;
        }
        start = end + 1;
    }
    m_continuations = false;
    m_marked = false;
    m_grouped = display.contains(QChar(LineSeparator));
    if (continuing.isEmpty()) {
        setPlainText(display);
    } else {
        shown += QStringView(display).sliced(copied);
        setPlainText(shown);
    }
    if (continuing.isEmpty() && marks.empty())
        return;

    // The marks are no edit that the user could undo.
    QTextDocument *doc = document();
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    for (int number : std::as_const(continuing)) {
        cursor.setPosition(doc->findBlockByNumber(number).position());
        QTextBlockFormat format = cursor.blockFormat();
        format.setProperty(ContinuesLine, true);
        cursor.setBlockFormat(format);
    }
    auto cut = cuts.cbegin();
    for (const Mark &mark : marks) {
        while (cut != cuts.cend() && *cut <= mark.at)
            ++cut;
        const int position = int(mark.at + (cut - cuts.cbegin()));
        cursor.setPosition(position);
        cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(
            markFormat(QTextCharFormat(), display.at(mark.at).unicode(), mark.value));
    }
    cursor.endEditBlock();
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
    m_continuations = !continuing.isEmpty();
    m_marked = !marks.empty();
}

// Both conversions write into a buffer of the final size: for a text of millions of characters,
// appending one at a time costs more than the engine's run on it.
QString TextBox::toDisplay(const QString &text, std::vector<Mark> *marks)
{
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
                if (out - blockStart < PieceLength) {
                    *out++ = QChar(LineSeparator);
                } else {
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
