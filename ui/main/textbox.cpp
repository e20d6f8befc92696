#include "ui/main/textbox.h"

#include "ui/main/shiftstate.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace {
constexpr char16_t ParagraphSeparator = 0x2029;
constexpr char16_t PictureCR = 0x240D;
constexpr char16_t PictureLF = 0x240A;

// Block property: the block continues the line of the block before it.
constexpr int ContinuesLine = QTextFormat::UserProperty + 1;
// Pieces of a long line, ended after a blank in their last eighth where there is one.
constexpr qsizetype PieceLength = 4096;

bool continuesLine(const QTextBlock &block)
{
    return block.isValid() && block.blockFormat().boolProperty(ContinuesLine);
}

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

TextBox::TextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
}

void TextBox::keyPressEvent(QKeyEvent *event)
{
    if (m_continuations) {
        QTextCursor cursor = textCursor();
        if (event->matches(QKeySequence::InsertParagraphSeparator)) {
            // A typed break is a real one, also in a block that continues a line (the new block
            // would inherit the mark).
            QTextBlockFormat format = document()->findBlock(cursor.selectionStart()).blockFormat();
            format.clearProperty(ContinuesLine);
            cursor.insertBlock(format);
            setTextCursor(cursor);
            ensureCursorVisible();
            event->accept();
            return;
        }
        // Backspace and Delete at the seam of two pieces take the character beyond the seam.
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

QString TextBox::Text() const
{
    QString raw = document()->toRawText();
    if (m_continuations)
        raw = withoutContinuations(std::move(raw), 0);
    return fromDisplay(raw);
}

void TextBox::SetText(const QString &text)
{
    const QString display = toDisplay(text);
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

QString TextBox::toDisplay(const QString &text)
{
    QString display;
    display.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = text.at(i);
        if (ch == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') {
            display += u'\n';
            ++i;
        } else if (ch == u'\r') {
            display += QChar(PictureCR);
        } else if (ch == u'\n') {
            display += QChar(PictureLF);
        } else {
            display += ch;
        }
    }
    return display;
}

QString TextBox::fromDisplay(const QString &raw)
{
    QString text;
    text.reserve(raw.size() + raw.size() / 32);
    for (const QChar ch : raw) {
        switch (ch.unicode()) {
        case ParagraphSeparator:
            text += u"\r\n";
            break;
        case PictureCR:
            text += u'\r';
            break;
        case PictureLF:
            text += u'\n';
            break;
        default:
            text += ch;
        }
    }
    return text;
}
