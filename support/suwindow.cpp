#include "support/suwindow.h"

#include "support/suresources.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QScreen>
#include <QTextEdit>
#include <QWidget>

namespace {

// Menu-bar separators right-align the menus after them when the style says so.
class RightJustifyStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *data) const override
    {
        if (hint == SH_DrawMenuBarSeparator)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

} // namespace

WindowHandle suGetThunderMainHandle()
{
    return QCoreApplication::instance();
}

bool suSetWindowResIconAll(WindowHandle handle, const QString &iconName)
{
    const QIcon icon = suLoadResIcon(iconName);
    if (icon.isNull() || !handle)
        return false;
    if (auto *widget = qobject_cast<QWidget *>(handle)) {
        widget->setWindowIcon(icon);
        return true;
    }
    if (handle == QCoreApplication::instance()) {
        QApplication::setWindowIcon(icon);
        return true;
    }
    return false;
}

bool suCenterFormEx(QWidget *window)
{
    if (!window)
        return false;
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return false;
    const QRect area = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    const QSize frameExtra = frame.size() - window->size();
    QRect target(QPoint(), window->size() + frameExtra);
    target.moveCenter(area.center());
    window->move(QPoint(qMax(target.left(), area.left()), qMax(target.top(), area.top())));
    return true;
}

bool suFixUserControlsContainerWindow()
{
    return true;
}

bool suSetMenuJustify(QMenuBar *menuBar, int position, bool right)
{
    if (!menuBar || !right)
        return false;
    const QList<QAction *> actions = menuBar->actions();
    int menuIndex = -1;
    for (int i = 0; i < actions.size(); ++i) {
        if (actions.at(i)->isSeparator())
            continue;
        if (++menuIndex == position) {
            auto *style = new RightJustifyStyle(menuBar->style()->name());
            style->setParent(menuBar);
            menuBar->setStyle(style);
            menuBar->insertSeparator(actions.at(i));
            return true;
        }
    }
    return false;
}

bool suUnloadForm(QWidget *window)
{
    return window && window->close();
}

bool suHighlightText(QWidget *edit)
{
    if (auto *plain = qobject_cast<QPlainTextEdit *>(edit)) {
        plain->selectAll();
        return true;
    }
    if (auto *rich = qobject_cast<QTextEdit *>(edit)) {
        rich->selectAll();
        return true;
    }
    if (auto *line = qobject_cast<QLineEdit *>(edit)) {
        line->selectAll();
        return true;
    }
    return false;
}
