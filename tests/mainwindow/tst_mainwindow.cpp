#include "support/messagebox.h"
#include "support/suresources.h"
#include "tests/support/openwindow.h"
#include "tests/support/recordingopener.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"
#include "ui/main/elasticgrid.h"
#include "ui/main/frmmain.h"
#include "ui/main/imagelist.h"
#include "ui/main/menuarray.h"
#include "ui/main/resultstreewidget.h"
#include "ui/main/textbox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
}

const QStringList TabOrder = {QStringLiteral("txtPattern"),
                              QStringLiteral("txtSourceString"),
                              QStringLiteral("tvResults"),
                              QStringLiteral("txtReplaceVar"),
                              QStringLiteral("txtResult"),
                              QStringLiteral("chkGlobal"),
                              QStringLiteral("chkIgnoreCase"),
                              QStringLiteral("chkMultiline"),
                              QStringLiteral("cmdExecute"),
                              QStringLiteral("cmdExecuteAndOpen"),
                              QStringLiteral("cmdTest"),
                              QStringLiteral("cmdReplace"),
                              QStringLiteral("chkIgnoreLineBreaks")};

// Pixels, in the parent, at the designed client size of 613 by 424.
const QMap<QString, QRect> DesignedRects = {
    {QStringLiteral("vseContainer"), {0, 0, 613, 391}},
    {QStringLiteral("txtPattern"), {4, 4, 199, 189}},
    {QStringLiteral("txtSourceString"), {4, 197, 199, 190}},
    {QStringLiteral("tvResults"), {207, 4, 199, 383}},
    {QStringLiteral("txtReplaceVar"), {410, 4, 199, 189}},
    {QStringLiteral("txtResult"), {410, 197, 199, 190}},
    {QStringLiteral("pnlSetting"), {0, 391, 613, 33}},
    {QStringLiteral("cmdExecute"), {305, 4, 73, 25}},
    {QStringLiteral("cmdExecuteAndOpen"), {382, 4, 73, 25}},
    {QStringLiteral("cmdReplace"), {459, 4, 73, 25}},
    {QStringLiteral("cmdTest"), {536, 4, 73, 25}},
    {QStringLiteral("chkGlobal"), {8, 8, 61, 17}},
    {QStringLiteral("chkIgnoreCase"), {72, 8, 93, 17}},
    {QStringLiteral("chkMultiline"), {168, 8, 73, 17}},
    {QStringLiteral("chkIgnoreLineBreaks"), {244, 8, 121, 17}}};

// The designed rectangles, where a check box is as large as its caption needs if that is more.
QMap<QString, QRect> expectedRects(frmMain &w)
{
    QMap<QString, QRect> rects = DesignedRects;
    for (QCheckBox *check : w.controls().pnlSetting->findChildren<QCheckBox *>()) {
        QRect &rect = rects[check->objectName()];
        rect.setSize(rect.size().expandedTo(check->sizeHint()));
    }
    return rects;
}

QMap<QString, QRect> controlRects(frmMain &w)
{
    QMap<QString, QRect> rects;
    for (const QString &name : DesignedRects.keys())
        rects.insert(name, w.findChild<QWidget *>(name)->geometry());
    return rects;
}

// Match 1 (expanded, 60 submatches), Match 2 (one submatch, collapsed) and the totals node.
void fillTree(ResultsTreeWidget *tree)
{
    auto *first = new QTreeWidgetItem(tree, {QStringLiteral("Match 1")});
    for (int i = 1; i <= 60; ++i)
        new QTreeWidgetItem(first, {QStringLiteral("Sub %1").arg(i)});
    new QTreeWidgetItem(new QTreeWidgetItem(tree, {QStringLiteral("Match 2")}),
                        {QStringLiteral("Sub of 2")});
    new QTreeWidgetItem(tree, {QStringLiteral("Totals")});
    first->setExpanded(true);
}

QTreeWidgetItem *node(ResultsTreeWidget *tree, const QString &text)
{
    const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

// The menu items that have a shortcut key, in menu order.
const std::tuple<const char *, int, const char *> Shortcuts[] = {
    {"mnuFile", 0, "Ctrl+N"},    {"mnuFile", 10, "F3"},       {"mnuFile", 11, "F2"},
    {"mnuFile", 12, "Shift+F2"}, {"mnuRun", 0, "F5"},         {"mnuRun", 1, "Ctrl+F5"},
    {"mnuRun", 2, "F6"},         {"mnuRun", 3, "F7"},         {"mnuRun", 10, "Shift+F5"},
    {"mnuRun", 11, "Shift+F6"},  {"mnuRun", 12, "Shift+F7"},  {"mnuOptions", 0, "Ctrl+G"},
    {"mnuOptions", 1, "Ctrl+I"}, {"mnuOptions", 2, "Ctrl+M"}, {"mnuOptions", 10, "Ctrl+B"},
    {"mnuHelp", 0, "Ctrl+F1"},   {"mnuHelp", 1, "F1"},        {"mnuHelp", 3, "Shift+F1"}};

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }

    void tabFollowsTabOrder_data();
    void tabFollowsTabOrder();
    void keysReachTheControl_data();
    void keysReachTheControl();
    void shortcuts();
    void escapeFromEveryControl();
    void helpMenuAtRightEnd();
    void layout_data();
    void layout();
    void imageListTreeLookAndIcons();
    void unfocusedSelectionDimmed();
    void leftArrow_data();
    void leftArrow();
};

void tst_MainWindow::tabFollowsTabOrder_data()
{
    QTest::addColumn<bool>("forward");
    QTest::newRow("Tab visits the controls in tab order") << true;
    QTest::newRow("Shift+Tab visits them backwards") << false;
}

void tst_MainWindow::tabFollowsTabOrder()
{
    QFETCH(bool, forward);
    Window w = openWindow();
    w->controls().txtPattern->setFocus();

    QStringList expected = TabOrder;
    if (forward)
        expected.append(expected.takeFirst());
    else
        std::reverse(expected.begin(), expected.end());
    QStringList visited;
    for (qsizetype i = 0; i < TabOrder.size(); ++i) {
        press(forward ? Qt::Key_Tab : Qt::Key_Backtab,
              forward ? Qt::NoModifier : Qt::ShiftModifier);
        visited.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(visited, expected);
    // No box typed one.
    for (TextBox *box : {w->controls().txtPattern, w->controls().txtSourceString,
                         w->controls().txtReplaceVar, w->controls().txtResult})
        QVERIFY(box->Text().isEmpty());
}

void tst_MainWindow::keysReachTheControl_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("state"); // of the control afterwards

    QTest::newRow("text box types a letter") << QStringLiteral("txtPattern") << int(Qt::Key_X)
                                             << int(Qt::NoModifier) << QStringLiteral("x");
    QTest::newRow("Ctrl+Tab types a tab, the focus stays")
        << QStringLiteral("txtSourceString") << int(Qt::Key_Tab) << int(Qt::ControlModifier)
        << QStringLiteral("\t");
    // A new document starts with Global checked.
    QTest::newRow("Space toggles the check box")
        << QStringLiteral("chkGlobal") << int(Qt::Key_Space) << int(Qt::NoModifier) << QString();
}

void tst_MainWindow::keysReachTheControl()
{
    QFETCH(QString, control);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, state);

    Window w = openWindow();
    QSignalSpy clicks(w.get(), &frmMain::menuItemClicked);
    auto *widget = w->findChild<QWidget *>(control);
    widget->setFocus();
    press(key, Qt::KeyboardModifiers(modifiers));

    QCOMPARE(clicks.size(), 0);
    QCOMPARE(QApplication::focusWidget(), widget);
    auto *box = qobject_cast<TextBox *>(widget);
    auto *check = qobject_cast<QCheckBox *>(widget);
    QCOMPARE(box ? box->Text() : check->isChecked() ? QStringLiteral("checked") : QString(), state);
}

void tst_MainWindow::shortcuts()
{
    // The read-me goes to the desktop's viewer, so no window of the program's own takes the
    // focus; the help window is modal and is closed as soon as it shows.
    ScriptedResponder responder;
    RecordingOpener opener(true);
    Window w = openWindow({testServices().files, opener, responder});
    responder.cancelDialog().cancelDialog().cancelDialog(); // Open, Save, Save as
    responder.button(MsgBoxButton::OK);                     // Test
    for (int snippet = 0; snippet < 3; ++snippet)           // Generate code
        responder.button(MsgBoxButton::Cancel);
    responder.closeAbout();
    QWidget *helpOwner = nullptr;
    QTimer helpCloser;
    connect(&helpCloser, &QTimer::timeout, this, [&helpOwner] {
        if (QWidget *help = QApplication::activeModalWidget()) {
            helpOwner = help->parentWidget();
            help->close();
        }
    });
    helpCloser.start(10);

    QSignalSpy clicks(w.get(), &frmMain::menuItemClicked);
    for (const auto &[menu, index, key] : Shortcuts) {
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->controls().txtPattern->setFocus();
        const QKeyCombination combination = QKeySequence(QString::fromLatin1(key))[0];
        press(combination.key(), combination.keyboardModifiers());
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks.takeFirst(), (QVariantList{QString::fromLatin1(menu), index}));
    }
    QVERIFY(w->controls().txtPattern->Text().isEmpty());

    // Each key reached its item's action.
    QCOMPARE(responder.pending(), 0);
    QList<ModalKind> kinds;
    for (const ModalRequest &request : responder.shown())
        kinds.append(request.kind);
    const ModalKind box = ModalKind::MessageBox;
    QCOMPARE(kinds, (QList<ModalKind>{ModalKind::OpenFile, ModalKind::SaveFile, ModalKind::SaveFile,
                                      box, box, box, box, ModalKind::About}));
    QCOMPARE(responder.shown().at(3).text, QStringLiteral("Match."));
    for (qsizetype i = 4; i < 7; ++i)
        QVERIFY(responder.shown().at(i).text.startsWith(u"Copy generated code?"));
    QCOMPARE(w->controls().tvResults->topLevelItemCount(),
             2); // Execute: the totals and the empty match
    QVERIFY(!w->controls().chkGlobal->isChecked());
    QVERIFY(w->controls().chkIgnoreLineBreaks->isChecked());
    QCOMPARE(opener.opened().size(), 1);
    QVERIFY(opener.opened().first().path.endsWith(u"README.html"));
    QCOMPARE(helpOwner, w.get());
}

void tst_MainWindow::escapeFromEveryControl()
{
    // F5 reaches Execute from every kind of control; Esc chooses no item ("Esc" in the Exit
    // caption is text) and closes the unchanged window.
    for (const char *name : {"txtResult", "tvResults", "chkGlobal", "cmdTest"}) {
        Window w = openWindow();
        QSignalSpy clicks(w.get(), &frmMain::menuItemClicked);
        w->findChild<QWidget *>(QString::fromLatin1(name))->setFocus();
        press(Qt::Key_F5);
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks.takeFirst(), (QVariantList{QStringLiteral("mnuRun"), 0}));
        press(Qt::Key_Escape);
        QCOMPARE(clicks.size(), 0);
        QVERIFY2(!w->isVisible(), name);
    }
}

void tst_MainWindow::helpMenuAtRightEnd()
{
    const Window window = openWindow();
    frmMain &w = *window;
    QMenuBar *bar = w.menuBar();
    auto place = [bar](const MenuArray &array) {
        return bar->actionGeometry(array.menu()->menuAction());
    };
    const QRect help = place(*w.menuArray(u"mnuHelp"));
    QCOMPARE(w.menuItem(u"mnuMain", 99), w.menuArray(u"mnuHelp")->menu()->menuAction());
    QVERIFY(help.left() > place(*w.menuArray(u"mnuOptions")).right() + 100);
    QVERIFY2(bar->width() - help.right() <= 12, qPrintable(QString::number(help.right())));

    w.resize(w.width() + 120, w.height());
    QTRY_COMPARE(place(*w.menuArray(u"mnuHelp")).left(), help.left() + 120);
}

void tst_MainWindow::layout_data()
{
    QTest::addColumn<QSize>("change"); // of the window's size
    QTest::addColumn<bool>("minimise");
    QTest::newRow("designed size") << QSize(0, 0) << false;
    QTest::newRow("minimised and restored") << QSize(0, 0) << true;
    QTest::newRow("widened by 150") << QSize(150, 0) << false;
    QTest::newRow("heightened by 80") << QSize(0, 80) << false;
    QTest::newRow("lowered by 100") << QSize(0, -100) << false;
    QTest::newRow("narrowed by 163") << QSize(-163, 0) << false;
    QTest::newRow("narrowed to 300: Execute left of the strip") << QSize(-313, 0) << false;
}

void tst_MainWindow::layout()
{
    QFETCH(QSize, change);
    QFETCH(bool, minimise);
    const Window window = openWindow();
    frmMain &w = *window;
    QCOMPARE(w.clientArea()->size(), QSize(613, 424));
    const QMap<QString, QRect> expected = expectedRects(w);
    QCOMPARE(controlRects(w), expected);
    if (minimise) {
        w.showMinimized();
        QTest::qWait(20);
        w.showNormal();
        QTRY_COMPARE(controlRects(w), expected);
        // A minimised window's client area is empty: the container keeps its size, the strip
        // stays below it and the buttons go left; the restored size lays everything out again.
        const QSize client = w.clientArea()->size();
        w.clientArea()->resize(0, 0);
        QCOMPARE(w.controls().vseContainer->geometry(),
                 DesignedRects.value(QStringLiteral("vseContainer")));
        QCOMPARE(w.controls().pnlSetting->geometry(), QRect(0, 391, 0, 33));
        QCOMPARE(w.controls().cmdExecute->x(), -308);
        w.clientArea()->resize(client);
        QCOMPARE(controlRects(w), expected);
    }
    w.resize(w.size() + change);
    QTRY_COMPARE(w.clientArea()->width(), 613 + change.width());

    // The strip keeps its height at the bottom, the buttons keep their distances from the
    // right edge and lie over the check boxes, the check boxes keep their places, and the grid
    // follows the container.
    const QSize client = w.clientArea()->size();
    const int strip = client.height() - 33;
    QCOMPARE(w.controls().vseContainer->geometry(), QRect(0, 0, client.width(), strip));
    QCOMPARE(w.controls().pnlSetting->geometry(), QRect(0, strip, client.width(), 33));
    const std::pair<QPushButton *, int> buttons[] = {{w.controls().cmdExecute, 308},
                                                     {w.controls().cmdExecuteAndOpen, 231},
                                                     {w.controls().cmdReplace, 154},
                                                     {w.controls().cmdTest, 77}};
    int overlaps = 0;
    for (const auto &[button, fromRight] : buttons) {
        QCOMPARE(button->geometry(), QRect(client.width() - fromRight, 4, 73, 25));
        for (QCheckBox *check : w.controls().pnlSetting->findChildren<QCheckBox *>()) {
            QCOMPARE(check->geometry(), expected.value(check->objectName()));
            // The caption is whole, and readable as the tooltip where a button covers it.
            QVERIFY(check->width() >= check->fontMetrics().horizontalAdvance(check->text()));
            QCOMPARE(check->toolTip(), check->text());
            const QRect both = button->geometry() & check->geometry();
            if (!both.isEmpty()) {
                ++overlaps;
                QCOMPARE(w.controls().pnlSetting->childAt(both.center()), button);
            }
        }
    }
    QCOMPARE(overlaps > 0, client.width() <= 613);
    QCOMPARE(w.controls().tvResults->height(), strip - 8);
    QCOMPARE(w.controls().txtResult->geometry().right(), client.width() - 5);
}

void tst_MainWindow::imageListTreeLookAndIcons()
{
    frmMain w(testServices());
    const QStringList keys = ResultsTreeWidget::resultIconKeys();
    QCOMPARE(w.controls().ilTreeIcons->keys(), keys);
    QCOMPARE(w.controls().tvResults->imageList(), w.controls().ilTreeIcons);
    // Drawn on the pixel grid: no pixel is partly transparent.
    for (const QString &name :
         keys + QStringList{QStringLiteral("IDI_MATCH_0"), QStringLiteral("IDI_SUBMATCH_0"),
                            QStringLiteral("A_MAIN")}) {
        const QImage image = suLoadResIconSmall(name, 1.0).toImage();
        QCOMPARE(image.size(), QSize(16, 16));
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const int alpha = qAlpha(image.pixel(x, y));
                QVERIFY2(alpha == 0 || alpha == 255,
                         qPrintable(QStringLiteral("%1 at %2, %3").arg(name).arg(x).arg(y)));
            }
        }
        QCOMPARE(suLoadResIconSmall(name, 2.0).size(), QSize(32, 32));
    }
}

void tst_MainWindow::unfocusedSelectionDimmed()
{
    const Window window = openWindow();
    frmMain &w = *window;
    w.controls().txtPattern->SetText(QStringLiteral("________"));
    w.controls().txtPattern->selectAll();
    // A point inside the first selected character, in the box's pixels.
    const QRect first =
        w.controls().txtPattern->cursorRect(QTextCursor(w.controls().txtPattern->document()));
    const QPoint at =
        w.controls().txtPattern->viewport()->mapTo(w.controls().txtPattern, first.center()) +
        QPoint(w.controls().txtPattern->fontMetrics().averageCharWidth() / 2 + 1, 0);
    const auto shown = [&] { return w.controls().txtPattern->grab().toImage().pixelColor(at); };
    const QPalette palette = w.controls().txtPattern->palette();

    w.controls().txtPattern->setFocus();
    QTRY_VERIFY(w.controls().txtPattern->hasFocus());
    QCOMPARE(shown(), palette.color(QPalette::Active, QPalette::Highlight));
    w.controls().txtSourceString->setFocus();
    QTRY_VERIFY(w.controls().txtSourceString->hasFocus());
    const QColor dimmed = palette.color(QPalette::Inactive, QPalette::Highlight);
    QCOMPARE(shown(), dimmed);
    QVERIFY(dimmed != palette.color(QPalette::Active, QPalette::Highlight));
}

void tst_MainWindow::leftArrow_data()
{
    QTest::addColumn<QString>("selected"); // before; empty: none; "-": the tree is empty
    QTest::addColumn<QString>("current");  // made current without selecting it
    QTest::addColumn<bool>("expanded");    // Match 1, before
    QTest::addColumn<QString>("selectedAfter");
    QTest::addColumn<bool>("expandedAfter");

    QTest::newRow("submatch selects its match, scrolled into view")
        << QStringLiteral("Sub 60") << QString() << true << QStringLiteral("Match 1") << true;
    QTest::newRow("expanded match collapses")
        << QStringLiteral("Match 1") << QString() << true << QStringLiteral("Match 1") << false;
    QTest::newRow("expanded match selected, another node current")
        << QStringLiteral("Match 1") << QStringLiteral("Sub 2") << true << QStringLiteral("Match 1")
        << false;
    QTest::newRow("current submatch not selected")
        << QString() << QStringLiteral("Sub 2") << true << QString() << true;
    QTest::newRow("empty tree") << QStringLiteral("-") << QString() << false << QString() << false;
}

void tst_MainWindow::leftArrow()
{
    QFETCH(QString, selected);
    QFETCH(QString, current);
    QFETCH(bool, expanded);
    QFETCH(QString, selectedAfter);
    QFETCH(bool, expandedAfter);

    const Window window = openWindow();
    frmMain &w = *window;
    ResultsTreeWidget *tree = w.controls().tvResults;
    if (selected != u"-") {
        fillTree(tree);
        node(tree, QStringLiteral("Match 1"))->setExpanded(expanded);
    }
    tree->setFocus();
    tree->setCurrentItem(nullptr);
    tree->clearSelection();
    if (QTreeWidgetItem *item = node(tree, selected)) {
        tree->setCurrentItem(item);
        tree->scrollToItem(item);
    }
    if (QTreeWidgetItem *item = node(tree, current))
        tree->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);

    press(Qt::Key_Left);
    const QList<QTreeWidgetItem *> after = tree->selectedItems();
    QCOMPARE(after.isEmpty() ? QString() : after.first()->text(0), selectedAfter);
    if (QTreeWidgetItem *match = node(tree, QStringLiteral("Match 1")))
        QCOMPARE(match->isExpanded(), expandedAfter);
    if (!after.isEmpty()) {
        QCOMPARE(tree->currentItem(), after.first());
        QVERIFY(tree->viewport()->rect().contains(tree->visualItemRect(after.first())));
    }
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
