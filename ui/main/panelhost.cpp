#include "ui/main/panelhost.h"

#include "ui/main/statusline.h"

#include <QAction>
#include <QDataStream>
#include <QDockWidget>
#include <QEvent>
#include <QGuiApplication>
#include <QIODevice>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QScreen>

namespace {

constexpr quint8 StateVersion = 1;

// What the client area lost (positive) or won (negative) between before and now.
QSize relayout(QMainWindow *window, const QSize &before)
{
    window->layout()->invalidate();
    window->layout()->activate();
    return before - window->centralWidget()->size();
}

// The window's size grown by extra as far as its screen has room; moves it to keep it there.
QSize growWithin(QMainWindow *window, const QSize &extra)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    QSize wanted = window->size() + extra;
    if (!screen)
        return wanted;
    const QRect area = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    const QSize decoration = frame.size() - window->size();
    wanted = wanted.boundedTo(area.size() - decoration).expandedTo(window->size());
    QRect moved(frame.topLeft(), wanted + decoration);
    if (moved.right() > area.right())
        moved.moveRight(qMax(area.right(), area.left() + moved.width() - 1));
    if (moved.bottom() > area.bottom())
        moved.moveBottom(qMax(area.bottom(), area.top() + moved.height() - 1));
    if (moved.topLeft() != frame.topLeft())
        window->move(moved.topLeft());
    return wanted;
}

} // namespace

PanelHost::PanelHost(QMainWindow *window, QMenu *view, StatusLine *line)
    : QObject(window)
    , m_window(window)
    , m_view(view)
    , m_line(line)
{
    m_panelsEnd = m_view->addSeparator();
    m_parts.reserve(4);
    addViewItem(QStringLiteral("&Status line"), m_line, {}, nullptr);
    // The separator shows only between panels and the status line's item.
    m_panelsEnd->setVisible(false);
    connect(m_line, &StatusLine::openWanted, this, [this] {
        if (Part *part = partOf(m_line))
            part->item->setChecked(true);
    });
}

QAction *PanelHost::addViewItem(const QString &title, QWidget *part, const QKeySequence &key,
                                QAction *before)
{
    auto *item = new QAction(title, m_view);
    item->setObjectName(part->objectName());
    item->setCheckable(true);
    item->setShortcut(key);
    m_view->insertAction(before, item);
    m_parts.push_back({part, item, {}});
    part->installEventFilter(this);
    connect(item, &QAction::toggled, this, [this, part](bool open) {
        if (Part *p = partOf(part))
            setOpen(*p, open);
    });
    return item;
}

QDockWidget *PanelHost::addPanel(QWidget *content, const QString &objectName, const QString &title,
                                 const QKeySequence &key)
{
    auto *dock = new QDockWidget(QString(title).remove(u'&'), m_window);
    dock->setObjectName(objectName);
    dock->setWidget(content);
    dock->hide();
    // A state restored before the panel existed places it (and opens it where it was open).
    if (!m_window->restoreDockWidget(dock)) {
        m_window->addDockWidget(Qt::RightDockWidgetArea, dock);
        dock->hide();
    }
    m_docks.insert(objectName, dock);
    addViewItem(title, dock, key, m_panelsEnd);
    m_panelsEnd->setVisible(true);
    syncItem(m_parts.back());
    return dock;
}

QDockWidget *PanelHost::dock(const QString &objectName) const
{
    return m_docks.value(objectName);
}

QAction *PanelHost::viewItem(const QString &objectName) const
{
    for (const Part &part : m_parts) {
        if (part.widget->objectName() == objectName)
            return part.item;
    }
    return nullptr;
}

PanelHost::Part *PanelHost::partOf(const QObject *widget)
{
    for (Part &part : m_parts) {
        if (part.widget == widget)
            return &part;
    }
    return nullptr;
}

void PanelHost::setOpen(Part &part, bool open)
{
    if (part.widget == m_line)
        m_line->setDismissed(!open);
    if (part.widget->isHidden() != open)
        return;
    QWidget *client = m_window->centralWidget();
    const QSize before = client->size();
    part.widget->setVisible(open);
    const bool sized = !(m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
    const QSize change = relayout(m_window, before);
    const QSize lost = change.expandedTo(QSize(0, 0));
    const QSize won = (QSize(0, 0) - change).expandedTo(QSize(0, 0));
    if (!sized) {
        part.grown = {};
        return;
    }
    if (open) {
        const QSize wanted = growWithin(m_window, lost);
        part.grown = wanted - m_window->size();
        m_window->resize(wanted);
    } else {
        m_window->resize(m_window->size() - won.boundedTo(part.grown));
        part.grown = {};
    }
    relayout(m_window, client->size());
}

bool PanelHost::eventFilter(QObject *watched, QEvent *event)
{
    // A dock's own close button closes it as its View item does.
    if (event->type() == QEvent::Close) {
        if (Part *part = partOf(watched); part && part->item->isChecked()) {
            part->item->setChecked(false);
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

QByteArray PanelHost::saveState() const
{
    QByteArray state;
    QDataStream out(&state, QIODevice::WriteOnly);
    out << StateVersion << m_window->saveState(StateVersion) << !m_line->isHidden()
        << m_line->dismissed();
    return state;
}

bool PanelHost::restoreState(const QByteArray &state)
{
    QDataStream in(state);
    quint8 version = 0;
    QByteArray docks;
    bool lineOpen = false;
    bool lineDismissed = false;
    in >> version >> docks >> lineOpen >> lineDismissed;
    if (in.status() != QDataStream::Ok || version != StateVersion ||
        !m_window->restoreState(docks, StateVersion))
        return false;
    m_line->setVisible(lineOpen);
    m_line->setDismissed(lineDismissed);
    for (Part &part : m_parts)
        syncItem(part);
    return true;
}

void PanelHost::syncItem(Part &part)
{
    const QSignalBlocker quiet(part.item);
    const bool open = !part.widget->isHidden();
    part.item->setChecked(open);
    // The restored placement holds the room of an open part: closing it gives all of it back.
    part.grown = open ? QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX) : QSize();
}
