#include "ui/hooks/cstbselectallhook.h"

#include "support/suwindow.h"

#include <QKeyEvent>
#include <QWidget>

namespace {

bool isCtrlA(const QKeyEvent *event)
{
    constexpr Qt::KeyboardModifiers relevant =
        Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    return event->key() == Qt::Key_A && (event->modifiers() & relevant) == Qt::ControlModifier;
}

} // namespace

csTBSelectAllHook::csTBSelectAllHook(QObject *parent)
    : QObject(parent)
{}

csTBSelectAllHook::~csTBSelectAllHook()
{
    if (m_textBox)
        m_textBox->removeEventFilter(this);
}

bool csTBSelectAllHook::Init(QWidget *textBox)
{
    if (!textBox)
        return false;
    if (m_textBox)
        m_textBox->removeEventFilter(this);
    m_textBox = textBox;
    m_textBox->installEventFilter(this);
    return true;
}

bool csTBSelectAllHook::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_textBox || watched != m_textBox)
        return false;
    if (event->type() == QEvent::ShortcutOverride && isCtrlA(static_cast<QKeyEvent *>(event))) {
        // Claim the key so that no window shortcut takes it from the box.
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress && isCtrlA(static_cast<QKeyEvent *>(event))) {
        suHighlightText(m_textBox);
        return true;
    }
    return false;
}
