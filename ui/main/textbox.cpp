#include "ui/main/textbox.h"

#include "ui/main/shiftstate.h"

#include <QKeyEvent>
#include <QTextDocument>

#include <algorithm>

namespace {
constexpr char16_t ParagraphSeparator = 0x2029;
constexpr char16_t PictureCR = 0x240D;
constexpr char16_t PictureLF = 0x240A;
} // namespace

TextBox::TextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    connect(document(), &QTextDocument::contentsChanged, this, [this] { m_textCurrent = false; });
}

void TextBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Tab && shiftState(event->modifiers()) == 2) {
        insertPlainText(QStringLiteral("\t"));
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

QString TextBox::Text() const
{
    if (!m_textCurrent) {
        m_text = fromDisplay(document()->toRawText());
        m_textCurrent = true;
    }
    return m_text;
}

void TextBox::SetText(const QString &text)
{
    setPlainText(toDisplay(text));
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
