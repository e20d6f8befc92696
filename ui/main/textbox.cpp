#include "ui/main/textbox.h"

#include "ui/shiftstate.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <algorithm>

namespace {
constexpr char16_t ParagraphSeparator = 0x2029;
constexpr char16_t PictureCR = 0x240D;
constexpr char16_t PictureLF = 0x240A;

// Block property: the block continues the line of the block before it.
constexpr int ContinuesLine = QTextFormat::UserProperty + 1;
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
        if (!m_editFollowed)
            m_textCurrent = false;
        m_editFollowed = false;
    });
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
    if (!m_continuations)
        return QPlainTextEdit::createMimeDataFromSelection();
    const QTextCursor cursor = textCursor();
    auto *data = new QMimeData;
    data->setText(
        withoutContinuations(QTextDocumentFragment(cursor).toPlainText(), cursor.selectionStart()));
    return data;
}

void TextBox::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    // Pasted text breaks lines at CR LF, CR or LF, as the plain text edit itself reads it.
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    const QStringList lines = text.split(u'\n');
    const bool hasLongLine = std::any_of(
        lines.cbegin(), lines.cend(), [](const QString &line) { return line.size() > LongLine; });
    if (!hasLongLine) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }

    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    auto breakLine = [&cursor](bool continues) {
        QTextBlockFormat format = cursor.blockFormat();
        if (continues)
            format.setProperty(ContinuesLine, true);
        else
            format.clearProperty(ContinuesLine);
        cursor.insertBlock(format);
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (i > 0)
            breakLine(false);
        if (line.size() <= LongLine) {
            cursor.insertText(line);
            continue;
        }
        for (qsizetype piece = 0; piece < line.size();) {
            const qsizetype stop = pieceEnd(line, piece, line.size());
            if (piece > 0)
                breakLine(true);
            cursor.insertText(line.sliced(piece, stop - piece));
            piece = stop;
        }
    }
    cursor.endEditBlock();
    m_continuations = true;
    setTextCursor(cursor);
    ensureCursorVisible();
}

QString TextBox::withoutContinuations(QString text, int start) const
{
    const int end = start + int(text.size());
    QList<int> separators; // offsets in text, descending
    for (QTextBlock block = document()->findBlock(end); block.isValid() && block.position() > start;
         block = block.previous()) {
        const int separator = block.position() - 1;
        if (separator < end && continuesLine(block))
            separators.append(separator - start);
    }
    if (separators.isEmpty())
        return text;
    QString result;
    result.reserve(text.size() - separators.size());
    qsizetype from = 0;
    for (auto it = separators.crbegin(); it != separators.crend(); ++it) {
        result += QStringView(text).sliced(from, *it - from);
        from = *it + 1;
    }
    result += QStringView(text).sliced(from);
    return result;
}

void TextBox::followEdit(int position, int removed, int added)
{
    m_editFollowed = false;
    if (!m_textCurrent || m_continuations || removed + added != 1)
        return;
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid())
        return;
    // Every block break before the position reads as two characters, CR LF.
    const qsizetype offset = qsizetype(position) + block.blockNumber();
    if (added == 1) {
        const QString typed = fromDisplay(QString(document()->characterAt(position)));
        if (typed.size() != 1 || offset > m_text.size())
            return;
        m_text.insert(offset, typed);
    } else {
        // A CR or LF may have been a block break or a control picture: read the document.
        if (offset >= m_text.size() || m_text.at(offset) == u'\r' || m_text.at(offset) == u'\n')
            return;
        m_text.remove(offset, 1);
    }
    m_editFollowed = true;
}

QString TextBox::Text() const
{
    if (!m_textCurrent) {
        QString raw = document()->toRawText();
        if (m_continuations)
            raw = withoutContinuations(std::move(raw), 0);
        m_text = fromDisplay(raw);
        m_textCurrent = true;
    }
    return m_text;
}

void TextBox::SetText(const QString &text)
{
    showText(toDisplay(text));
    // The text reads back as given unless it holds a character that the document turns into
    // a line break or one of the control pictures.
    const bool readsBack = std::none_of(text.cbegin(), text.cend(), [](QChar ch) {
        const char16_t c = ch.unicode();
        return c == ParagraphSeparator || c == 0xFDD0 || c == 0xFDD1 || c == PictureCR ||
               c == PictureLF;
    });
    if (readsBack) {
        m_text = text;
        m_textCurrent = true;
    }
}

void TextBox::showText(const QString &display)
{
    QString shown;         // display, with the long lines in pieces
    qsizetype copied = 0;  // display up to here is in shown
    QList<int> continuing; // numbers of the blocks that continue a line
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
                }
                shown += QStringView(display).sliced(piece, stop - piece);
                piece = stop;
            }
            copied = end;
        }
        start = end + 1;
    }
    m_continuations = false;
    if (continuing.isEmpty()) {
        setPlainText(display);
        return;
    }
    shown += QStringView(display).sliced(copied);
    setPlainText(shown);

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
    cursor.endEditBlock();
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
    m_continuations = true;
}

// Both conversions write into a buffer of the final size: for a text of millions of characters,
// appending one at a time costs more than the engine's run on it.
QString TextBox::toDisplay(const QString &text)
{
    QString display(text.size(), Qt::Uninitialized);
    QChar *out = display.data();
    const QChar *in = text.constData();
    const QChar *const end = in + text.size();
    for (; in != end; ++in) {
        const char16_t ch = in->unicode();
        if (ch == u'\r' && in + 1 != end && in[1] == u'\n') {
            *out++ = u'\n';
            ++in;
        } else if (ch == u'\r') {
            *out++ = QChar(PictureCR);
        } else if (ch == u'\n') {
            *out++ = QChar(PictureLF);
        } else {
            *out++ = *in;
        }
    }
    display.truncate(out - display.constData());
    return display;
}

QString TextBox::fromDisplay(const QString &raw)
{
    const qsizetype breaks = raw.count(QChar(ParagraphSeparator));
    QString text(raw.size() + breaks, Qt::Uninitialized);
    QChar *out = text.data();
    for (const QChar ch : raw) {
        switch (ch.unicode()) {
        case ParagraphSeparator:
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
