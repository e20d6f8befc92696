#include "tests/support/openwindow.h"
#include "tests/support/testenvironment.h"
#include "ui/main/panelhost.h"
#include "ui/main/statusline.h"

#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {

const QSize DesignedClient(613, 424);

QDockWidget *addLabelPanel(frmMain &window, const QString &name, const QString &title)
{
    auto *content = new QLabel(title);
    content->setMinimumSize(120, 80);
    return window.panels().addPanel(content, name, title);
}

QMenu *viewMenu(const frmMain &window)
{
    return window.menuBar()->findChild<QMenu *>(QStringLiteral("mnuView"));
}

QStringList menuCaptions(const QMenu *menu)
{
    QStringList captions;
    for (const QAction *action : menu->actions()) {
        if (action->isVisible())
            captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return captions;
}

void settle(frmMain &window)
{
    QCoreApplication::processEvents();
    window.layout()->activate();
}

} // namespace

class tst_Panels : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void init() { clearTestSettings(); }

    void viewMenuToggles();
    void growsAndGivesBack_data();
    void growsAndGivesBack();
    void remembersOpenPanels();
    void restoredWindowFitsScreen();
    void statusLineSlots_data();
    void statusLineSlots();
    void statusLineGrowsWindow();
    void statusLineElidesLongText();
    void workChanged();
};

// View stands between Options and Help; its items show and hide the docks, in the order the
// panels were added, and a dock closed by its own button unchecks its item.
void tst_Panels::viewMenuToggles()
{
    Window w = openWindow();
    QStringList bar;
    for (const QAction *action : w->menuBar()->actions()) {
        if (!action->isSeparator())
            bar << action->text();
    }
    QCOMPARE(bar, (QStringList{"&File", "&Run", "&Options", "&View", "&Help"}));
    // The window's own panels come first; the status line's item ends the menu.
    QStringList own = menuCaptions(viewMenu(*w));
    QCOMPARE(own.takeLast(), QString("&Status line"));
    if (!own.isEmpty())
        QCOMPARE(own.takeLast(), QString("-"));

    QDockWidget *samples = addLabelPanel(*w, "pnlFirst", "Fi&rst");
    QDockWidget *steps = addLabelPanel(*w, "pnlSecond", "Se&cond");
    const QStringList added{"Fi&rst", "Se&cond", "-", "&Status line"};
    QCOMPARE(menuCaptions(viewMenu(*w)), own + added);
    QCOMPARE(w->panels().dock("pnlFirst"), samples);
    QVERIFY(!w->panels().dock("pnlNothing"));
    QVERIFY(!w->panels().viewItem("pnlNothing"));

    QAction *item = w->panels().viewItem("pnlFirst");
    QVERIFY(item->isCheckable());
    QVERIFY(!item->isChecked());
    QVERIFY(samples->isHidden());
    item->trigger();
    QVERIFY(samples->isVisible());
    QVERIFY(steps->isHidden());
    item->trigger();
    QVERIFY(samples->isHidden());

    item->trigger();
    samples->close();
    QVERIFY(samples->isHidden());
    QVERIFY(!item->isChecked());
}

// Opening a dock grows the window so that the client area keeps its size; closing gives the
// room back. A floating dock takes no room; where the screen has too little, the window grows
// as far as it can and closing restores its size.
void tst_Panels::growsAndGivesBack_data()
{
    QTest::addColumn<int>("area");
    QTest::addColumn<bool>("floating");
    QTest::addColumn<bool>("crowded");

    QTest::newRow("right dock grows the width") << int(Qt::RightDockWidgetArea) << false << false;
    QTest::newRow("bottom dock grows the height")
        << int(Qt::BottomDockWidgetArea) << false << false;
    QTest::newRow("floating dock takes no room") << int(Qt::RightDockWidgetArea) << true << false;
    QTest::newRow("no room on the screen") << int(Qt::RightDockWidgetArea) << false << true;
}

void tst_Panels::growsAndGivesBack()
{
    QFETCH(int, area);
    QFETCH(bool, floating);
    QFETCH(bool, crowded);

    Window w = openWindow();
    QDockWidget *dock = addLabelPanel(*w, "pnlFirst", "First");
    w->addDockWidget(Qt::DockWidgetArea(area), dock);
    dock->hide();
    dock->setFloating(floating);
    const QRect screen = w->screen()->availableGeometry();
    if (crowded) {
        w->setGeometry(screen.left(), screen.top(), screen.width() - 20, w->height());
        settle(*w);
    }
    const QSize window = w->size();
    const QSize client = w->clientArea()->size();
    QCOMPARE(client.height(), DesignedClient.height());

    w->panels().viewItem("pnlFirst")->trigger();
    settle(*w);
    QVERIFY(dock->isVisible());
    if (crowded) {
        QCOMPARE(w->frameGeometry().width(), screen.width());
        QVERIFY(w->clientArea()->width() < client.width());
    } else {
        QCOMPARE(w->clientArea()->size(), client);
    }
    QCOMPARE(w->size() != window, !floating);
    QVERIFY(w->frameGeometry().right() <= screen.right());

    w->panels().viewItem("pnlFirst")->trigger();
    settle(*w);
    QCOMPARE(w->size(), window);
    QCOMPARE(w->clientArea()->size(), client);
}

// The open panels, their sizes and the window's placement come back together, whether the
// panel is added before or after the placement is restored.
void tst_Panels::remembersOpenPanels()
{
    QRect geometry;
    int dockWidth = 0;
    {
        Window w = openWindow();
        addLabelPanel(*w, "pnlFirst", "First");
        addLabelPanel(*w, "pnlSecond", "Second");
        w->panels().viewItem("pnlSecond")->trigger();
        w->move(w->pos() + QPoint(7, 5));
        settle(*w);
        geometry = w->geometry();
        dockWidth = w->panels().dock("pnlSecond")->width();
        w->close();
    }
    Window w = openWindow();
    QDockWidget *samples = addLabelPanel(*w, "pnlFirst", "First");
    QDockWidget *steps = addLabelPanel(*w, "pnlSecond", "Second");
    settle(*w);
    QVERIFY(samples->isHidden());
    QVERIFY(!w->panels().viewItem("pnlFirst")->isChecked());
    QVERIFY(steps->isVisible());
    QVERIFY(w->panels().viewItem("pnlSecond")->isChecked());
    QCOMPARE(w->geometry(), geometry);
    QCOMPARE(steps->width(), dockWidth);
    QCOMPARE(w->clientArea()->size(), DesignedClient);

    // Closing it now gives its room back: the restored window had it.
    w->panels().viewItem("pnlSecond")->trigger();
    settle(*w);
    QCOMPARE(w->clientArea()->size(), DesignedClient);
}

void tst_Panels::restoredWindowFitsScreen()
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    {
        Window w = openWindow();
        addLabelPanel(*w, "pnlFirst", "First");
        w->panels().viewItem("pnlFirst")->trigger();
        // As on a larger screen than this one.
        w->setGeometry(screen.left() + 300, screen.top() + 200, screen.width() + 400,
                       screen.height() + 300);
        settle(*w);
        w->close();
    }
    Window w = openWindow();
    QDockWidget *samples = addLabelPanel(*w, "pnlFirst", "First");
    settle(*w);
    QVERIFY(samples->isVisible());
    // The frame's margins are known only once the window is shown: the window itself fits.
    QVERIFY(screen.contains(w->frameGeometry().topLeft()));
    QVERIFY(w->width() <= screen.width() && w->height() <= screen.height());
}

// Each slot keeps its own text; the line shows the non-empty ones in slot order.
void tst_Panels::statusLineSlots_data()
{
    QTest::addColumn<QList<int>>("places");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("shown");

    using S = StatusLine::Slot;
    QTest::newRow("one slot") << QList<int>{int(S::Run)} << QStringList{"3 matches"}
                              << QStringList{"3 matches"};
    QTest::newRow("slot order, not call order")
        << QList<int>{int(S::Steps), int(S::Run)} << QStringList{"40 steps", "3 matches"}
        << QStringList{"3 matches", "40 steps"};
    QTest::newRow("a later text replaces") << QList<int>{int(S::Pattern), int(S::Pattern)}
                                           << QStringList{"old", "new"} << QStringList{"new"};
    QTest::newRow("empty text clears its slot only")
        << QList<int>{int(S::Run), int(S::Samples), int(S::Run)}
        << QStringList{"3 matches", "2 of 2 samples", ""} << QStringList{"2 of 2 samples"};
}

void tst_Panels::statusLineSlots()
{
    QFETCH(QList<int>, places);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, shown);

    Window w = openWindow();
    StatusLine &line = w->statusLine();
    for (qsizetype i = 0; i < places.size(); ++i)
        line.show(StatusLine::Slot(places.at(i)), texts.at(i));
    QStringList visible;
    for (QLabel *label : line.findChildren<QLabel *>()) {
        if (label->isVisible())
            visible << label->text();
    }
    QCOMPARE(visible, shown);
}

// The line is hidden until first used; it then grows the window by its height. Closed from
// View, texts no longer open it; opened from View, it shows again.
void tst_Panels::statusLineGrowsWindow()
{
    Window w = openWindow();
    StatusLine &line = w->statusLine();
    QVERIFY(line.isHidden());
    const QSize window = w->size();
    line.show(StatusLine::Slot::Run, QString());
    QVERIFY(line.isHidden());

    line.show(StatusLine::Slot::Run, "3 matches");
    settle(*w);
    QVERIFY(line.isVisible());
    QVERIFY(w->panels().viewItem("statusLine")->isChecked());
    QCOMPARE(w->clientArea()->size(), DesignedClient);
    QCOMPARE(w->height(), window.height() + line.height());
    QVERIFY(line.geometry().top() >= w->clientArea()->geometry().bottom());

    w->panels().viewItem("statusLine")->trigger();
    settle(*w);
    QVERIFY(line.isHidden());
    QCOMPARE(w->size(), window);
    line.show(StatusLine::Slot::Run, "4 matches");
    QVERIFY(line.isHidden());
    w->panels().viewItem("statusLine")->trigger();
    QVERIFY(line.isVisible());
    QCOMPARE(line.text(StatusLine::Slot::Run), QStringLiteral("4 matches"));
}

// A text wider than the window is shortened with an ellipsis, never widening the window; the
// slot and the tooltip keep it whole.
void tst_Panels::statusLineElidesLongText()
{
    Window w = openWindow();
    StatusLine &line = w->statusLine();
    line.show(StatusLine::Slot::Run, "3 matches");
    settle(*w);
    const QSize window = w->size();
    const QString longText = QStringLiteral("Unknown construct near ") + QString(400, u'x');
    line.show(StatusLine::Slot::Pattern, longText);
    settle(*w);
    QCOMPARE(w->size(), window);
    QCOMPARE(line.text(StatusLine::Slot::Pattern), longText);
    auto *label = line.findChild<QLabel *>("lblPattern");
    QVERIFY(label->text().endsWith(QChar(0x2026)));
    QVERIFY(label->text().size() < longText.size());
    QCOMPARE(label->toolTip(), longText);
    // A short text again shows whole.
    line.show(StatusLine::Slot::Pattern, "ok");
    settle(*w);
    QCOMPARE(label->text(), QStringLiteral("ok"));
}

// One signal for every change of the work; output and the tree are not work.
void tst_Panels::workChanged()
{
    Window w = openWindow();
    QSignalSpy changes(w.get(), &frmMain::workChanged);
    w->findChild<QPlainTextEdit *>("txtPattern")->setPlainText("a");
    QCOMPARE(changes.size(), 1);
    w->findChild<QPlainTextEdit *>("txtSourceString")->setPlainText("abc");
    QCOMPARE(changes.size(), 2);
    w->findChild<QPlainTextEdit *>("txtReplaceVar")->setPlainText("x");
    QCOMPARE(changes.size(), 3);
    QCheckBox *multiline = w->findChild<QCheckBox *>("chkMultiline");
    multiline->setChecked(!multiline->isChecked());
    QCOMPARE(changes.size(), 4);
    w->findChild<QPlainTextEdit *>("txtResult")->setPlainText("out");
    QCOMPARE(changes.size(), 4);
}

QTEST_MAIN(tst_Panels)
#include "tst_panels.moc"
