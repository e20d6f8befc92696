#include "ui/main/replacementhighlighter.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QToolTip>

namespace {

std::vector<engine::ReplacementPart> partsOf(const QString &text, int groups)
{
    return engine::ReadReplacement(text.toStdU16String(), groups);
}

} // namespace

ReplacementHighlighter::ReplacementHighlighter(QPlainTextEdit *box)
    : QSyntaxHighlighter(box->document())
    , m_box(box)
{
    setParent(box);
    updateFormats();
    box->viewport()->installEventFilter(this);
    box->installEventFilter(this);
}

void ReplacementHighlighter::setGroupCount(int groups)
{
    if (groups == m_groups)
        return;
    m_groups = groups;
    rehighlight();
}

void ReplacementHighlighter::updateFormats()
{
    const QPalette palette = m_box->palette();
    m_group = QTextCharFormat();
    m_group.setForeground(palette.color(QPalette::Link));
    m_group.setFontWeight(QFont::Bold);
    m_special = m_group;
    m_special.setFontItalic(true);
    m_foreign = QTextCharFormat();
    m_foreign.setUnderlineStyle(QTextCharFormat::DotLine);
    m_foreign.setUnderlineColor(palette.color(QPalette::PlaceholderText));
}

void ReplacementHighlighter::highlightBlock(const QString &text)
{
    for (const engine::ReplacementPart &p : partsOf(text, m_groups)) {
        switch (p.kind) {
        case engine::ReplacementPart::Kind::Text:
            break;
        case engine::ReplacementPart::Kind::Group:
            setFormat(p.start, p.length, m_group);
            break;
        case engine::ReplacementPart::Kind::Foreign:
            setFormat(p.start, p.length, m_foreign);
            break;
        default:
            setFormat(p.start, p.length, m_special);
            break;
        }
    }
}

QString ReplacementHighlighter::toolTipAt(int position) const
{
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid())
        return {};
    const int offset = position - block.position();
    for (const engine::ReplacementPart &p : partsOf(block.text(), m_groups))
        if (offset >= p.start && offset < p.start + p.length)
            return QString::fromStdU16String(p.note);
    return {};
}

bool ReplacementHighlighter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::PaletteChange && watched == m_box) {
        updateFormats();
        rehighlight();
    } else if (event->type() == QEvent::ToolTip && watched == m_box->viewport()) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString tip = toolTipAt(m_box->cursorForPosition(help->pos()).position());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, m_box->viewport());
        return true;
    }
    return QSyntaxHighlighter::eventFilter(watched, event);
}
