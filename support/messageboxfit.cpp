#include "support/messageboxfit.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace {

// The font of window titles: the one Qt itself measures titles with, in bold, as window managers
// often draw them, whichever of the two candidates is wider.
QFontMetrics titleMetrics(const QString &caption)
{
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    QFont system = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    system.setBold(true);
    const QFontMetrics a(font);
    const QFontMetrics b(system);
    return a.horizontalAdvance(caption) >= b.horizontalAdvance(caption) ? a : b;
}

QRect availableGeometry(const QWidget &widget)
{
    const QWidget *parent = widget.parentWidget();
    QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

} // namespace

int captionWidth(const QString &caption)
{
    const QFontMetrics metrics = titleMetrics(caption);
    // A title bar about two lines high, with the window icon and three buttons of its height
    // and the frame's padding at both ends.
    const int bar = 2 * metrics.height();
    return metrics.horizontalAdvance(caption) + 4 * bar + metrics.height();
}

void fitMessageBox(QMessageBox &box)
{
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    if (!grid || !label)
        return;
    const QRect screen = availableGeometry(box);
    const int frame = box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth) * 2;

    // The whole caption: a row of its own that is as wide as the title needs.
    const int width = std::min(captionWidth(box.windowTitle()), screen.width() - frame);
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());

    // The text, wrapped as the box wraps it at its narrowest, against the room that the title
    // bar, the buttons and the margins leave on the screen.
    const int titleBar = 2 * titleMetrics(box.windowTitle()).height();
    QPushButton probe(QStringLiteral("OK"));
    const int room = screen.height() - titleBar - 3 * probe.sizeHint().height() -
                     4 * std::max(grid->spacing(), 6) - frame;
    const bool wraps = label->wordWrap();
    label->setWordWrap(false);
    const int naturalWidth = label->sizeHint().width();
    label->setWordWrap(true);
    const int wrapWidth = std::min(naturalWidth, std::min(screen.width() / 2, 500));
    const int height = label->heightForWidth(wrapWidth);
    label->setWordWrap(wraps);
    if (height <= room)
        return;

    // Too tall for the screen: the text scrolls in an area of the room's height.
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(grid->indexOf(label), &row, &column, &rowSpan, &columnSpan);
    grid->removeWidget(label);
    auto *area = new QScrollArea(&box);
    area->setObjectName(QStringLiteral("textArea"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidget(label);
    label->setWordWrap(true);
    const int scrollBar = area->verticalScrollBar()->sizeHint().width();
    area->setMinimumSize(std::min(naturalWidth + scrollBar, screen.width() * 3 / 4 - frame),
                         std::max(room, 0));
    area->setBackgroundRole(QPalette::Window);
    grid->addWidget(area, row, column, rowSpan, columnSpan);
}
