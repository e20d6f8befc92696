#include "ui/main/replacementhighlighter.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QToolTip>

namespace {

std::vector<engine::ReplacementPart> partsOf(const QString &text, int groups)
{
    if (text.size() > ReplacementHighlighter::LongestColoured)
        return {};
    return engine::ReadReplacement(text.toStdU16String(), groups);
}

} // namespace

ReplacementHighlighter::ReplacementHighlighter(QPlainTextEdit *box)
    : QObject(box)
    , m_box(box)
    , m_document(box->document())
{
    connect(box->document(), &QTextDocument::contentsChange, this,
            &ReplacementHighlighter::contentsChanged);
    updateFormats();
    box->viewport()->installEventFilter(this);
    box->installEventFilter(this);
    recolourAll();
}

ReplacementHighlighter::~ReplacementHighlighter()
{
    if (!m_document)
        return;
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next())
        if (block.layout() && !block.layout()->formats().isEmpty()) {
            block.layout()->clearFormats();
            m_document->markContentsDirty(block.position(), block.length());
        }
}

void ReplacementHighlighter::setGroupCount(int groups)
{
    if (groups == m_groups)
        return;
    m_groups = groups;
    recolourAll();
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

void ReplacementHighlighter::contentsChanged(int position, int /*removed*/, int added)
{
    // The edited blocks are laid out after this anyway; their formats must follow the text.
    const QTextBlock last = m_document->findBlock(position + added);
    for (QTextBlock block = m_document->findBlock(position); block.isValid();
         block = block.next()) {
        colourBlock(block, false);
        if (block == last)
            break;
    }
}

void ReplacementHighlighter::recolourAll()
{
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next())
        colourBlock(block, true);
}

void ReplacementHighlighter::colourBlock(const QTextBlock &block, bool relayout)
{
    QTextLayout *layout = block.layout();
    if (!layout)
        return;
    const QList<QTextLayout::FormatRange> formats = formatsOf(block);
    if (formats == layout->formats())
        return;
    layout->setFormats(formats);
    // Extra formats of a layout are no edit: no undo step, no change signal.
    if (relayout)
        m_document->markContentsDirty(block.position(), block.length());
}

QList<QTextLayout::FormatRange> ReplacementHighlighter::formatsOf(const QTextBlock &block) const
{
    QList<QTextLayout::FormatRange> formats;
    for (const engine::ReplacementPart &p : partsOf(block.text(), m_groups)) {
        const QTextCharFormat *format = nullptr;
        switch (p.kind) {
        case engine::ReplacementPart::Kind::Text:
            break;
        case engine::ReplacementPart::Kind::Group:
            format = &m_group;
            break;
        case engine::ReplacementPart::Kind::Foreign:
            format = &m_foreign;
            break;
        default:
            format = &m_special;
            break;
        }
        if (format)
            formats.append({p.start, p.length, *format});
    }
    return formats;
}

QString ReplacementHighlighter::toolTipAt(int position) const
{
    const QTextBlock block = m_document->findBlock(position);
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
        // Formats equal by value to the old ones would not be set again.
        for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next())
            if (block.layout())
                block.layout()->clearFormats();
        recolourAll();
    } else if (event->type() == QEvent::ToolTip && watched == m_box->viewport()) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString tip = toolTipAt(m_box->cursorForPosition(help->pos()).position());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, m_box->viewport());
        return true;
    }
    return QObject::eventFilter(watched, event);
}
