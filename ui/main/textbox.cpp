#include "ui/main/textbox.h"

#include "ui/main/shiftstate.h"

#include <QKeyEvent>
#include <QTextDocument>

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
    return fromDisplay(document()->toRawText());
}

void TextBox::SetText(const QString &text)
{
    setPlainText(toDisplay(text));
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
