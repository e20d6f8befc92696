#include "support/windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace {

QString recordKey(QWidget *window, const QString &key, const QString &section)
{
    return section + u'/' + (key.isEmpty() ? window->objectName() : key);
}

bool storeRecord(const QString &name, const QVariant &value)
{
    QSettings settings;
    settings.setValue(name, value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace

bool WindowPlacement::RestoreWindow(QWidget *window, const QString &key, const QString &section,
                                    const ApplicationInfo &)
{
    if (!window)
        return false;
    const QSettings settings;
    const QByteArray geometry = settings.value(recordKey(window, key, section)).toByteArray();
    if (geometry.isEmpty() || !window->restoreGeometry(geometry))
        return false;
    fitToScreen(window);
    ensureOnScreen(window);
    return true;
}

bool WindowPlacement::StoreWindow(QWidget *window, const QString &key, const QString &section,
                                  const ApplicationInfo &)
{
    if (!window)
        return false;
    return storeRecord(recordKey(window, key, section), window->saveGeometry());
}

bool WindowPlacement::RestoreSize(QWidget *window, const QString &key, const QString &section)
{
    if (!window)
        return false;
    const QSize size = QSettings().value(recordKey(window, key, section)).toSize();
    if (!size.isValid() || size.isEmpty())
        return false;
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    window->resize(screen ? size.boundedTo(screen->availableSize()) : size);
    return true;
}

bool WindowPlacement::StoreSize(QWidget *window, const QString &key, const QString &section)
{
    if (!window)
        return false;
    return storeRecord(recordKey(window, key, section), window->size());
}

QByteArray WindowPlacement::RestoreState(QWidget *window, const QString &key,
                                         const QString &section)
{
    if (!window)
        return {};
    return QSettings().value(recordKey(window, key, section) + u" parts").toByteArray();
}

bool WindowPlacement::StoreState(QWidget *window, const QByteArray &state, const QString &key,
                                 const QString &section)
{
    if (!window)
        return false;
    return storeRecord(recordKey(window, key, section) + u" parts", state);
}

void WindowPlacement::fitToScreen(QWidget *window)
{
    QScreen *screen = QGuiApplication::screenAt(window->frameGeometry().center());
    if (!screen)
        screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    if (frame.width() <= area.width() && frame.height() <= area.height())
        return;
    const QSize decoration = frame.size() - window->size();
    const QSize fitted = frame.size().boundedTo(area.size());
    window->resize(fitted - decoration);
    QRect placed(frame.topLeft(), fitted);
    placed.moveLeft(qBound(area.left(), placed.left(), area.right() - placed.width() + 1));
    placed.moveTop(qBound(area.top(), placed.top(), area.bottom() - placed.height() + 1));
    window->move(placed.topLeft());
}

void WindowPlacement::ensureOnScreen(QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return;
    for (QScreen *screen : screens) {
        const QRect visible = screen->availableGeometry().intersected(frame);
        // Enough of the title bar must show to grab the window.
        if (visible.width() >= qMin(frame.width(), 100) &&
            visible.height() >= qMin(frame.height(), 30) &&
            screen->availableGeometry().contains(QPoint(visible.left(), frame.top())))
            return;
    }
    QScreen *target = QGuiApplication::screenAt(frame.center());
    if (!target)
        target = QGuiApplication::primaryScreen();
    const QRect area = target->availableGeometry();
    QRect moved = frame;
    moved.setSize(frame.size().boundedTo(area.size()));
    moved.moveLeft(qBound(area.left(), frame.left(), area.right() - moved.width() + 1));
    moved.moveTop(qBound(area.top(), frame.top(), area.bottom() - moved.height() + 1));
    if (moved.size() != frame.size())
        window->resize(window->size() - (frame.size() - moved.size()));
    window->move(moved.topLeft());
}
