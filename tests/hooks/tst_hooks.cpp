#include "tests/support/testenvironment.h"
#include "ui/hooks/cstbselectallhook.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTest>

namespace {

// Counts the A key presses that reach the box past the hook.
class KeyRecorder : public QObject
{
public:
    int presses = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent *>(event)->key() == Qt::Key_A)
            ++presses;
        return false;
    }
};

struct HookedBox
{
    QPlainTextEdit box;
    KeyRecorder recorder;

    explicit HookedBox(const QString &text)
    {
        box.setPlainText(text);
        box.installEventFilter(&recorder); // before the hook, so the hook sees keys first
        QTextCursor cursor = box.textCursor();
        cursor.setPosition(1);
        box.setTextCursor(cursor);
    }
};

} // namespace

class tst_Hooks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void keys_data();
    void keys();
    void plainAAfterCtrlA();
    void initWithNothing();
    void secondInitMovesTheHook();
};

void tst_Hooks::keys_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("handled");

    QTest::newRow("Ctrl+A selects all") << int(Qt::ControlModifier) << true;
    QTest::newRow("Ctrl+Shift+A passes") << int(Qt::ControlModifier | Qt::ShiftModifier) << false;
    QTest::newRow("Alt+A passes") << int(Qt::AltModifier) << false;
    QTest::newRow("Ctrl+Alt+A passes") << int(Qt::ControlModifier | Qt::AltModifier) << false;
    QTest::newRow("plain A passes") << int(Qt::NoModifier) << false;
    QTest::newRow("Shift+A passes") << int(Qt::ShiftModifier) << false;
    QTest::newRow("Ctrl+A on the keypad selects all")
        << int(Qt::ControlModifier | Qt::KeypadModifier) << true;
}

void tst_Hooks::keys()
{
    QFETCH(int, modifiers);
    QFETCH(bool, handled);

    HookedBox hooked(QStringLiteral("pattern\ntext"));
    csTBSelectAllHook hook;
    QVERIFY(hook.Init(&hooked.box));
    QCOMPARE(hook.TextBox(), &hooked.box);
    QTest::keyClick(&hooked.box, Qt::Key_A, Qt::KeyboardModifiers(modifiers));

    QCOMPARE(hooked.recorder.presses, handled ? 0 : 1);
    if (handled) {
        QCOMPARE(hooked.box.toPlainText(), QStringLiteral("pattern\ntext"));
        QCOMPARE(hooked.box.textCursor().selectionStart(), 0);
        QCOMPARE(hooked.box.textCursor().selectionEnd(), hooked.box.toPlainText().size());
    }
}

void tst_Hooks::plainAAfterCtrlA()
{
    HookedBox hooked(QStringLiteral("abc"));
    csTBSelectAllHook hook;
    hook.Init(&hooked.box);
    QTest::keyClick(&hooked.box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&hooked.box, QStringLiteral("aA"));
    QCOMPARE(hooked.box.toPlainText(), QStringLiteral("aA"));
    QCOMPARE(hooked.recorder.presses, 2);
}

void tst_Hooks::initWithNothing()
{
    HookedBox hooked(QStringLiteral("abc"));
    csTBSelectAllHook hook;
    QVERIFY(!hook.Init(nullptr));
    QCOMPARE(hook.TextBox(), nullptr);
    QTest::keyClick(&hooked.box, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(hooked.recorder.presses, 1);
}

void tst_Hooks::secondInitMovesTheHook()
{
    HookedBox first(QStringLiteral("one"));
    HookedBox second(QStringLiteral("two"));
    csTBSelectAllHook hook;
    QVERIFY(hook.Init(&first.box));
    QVERIFY(hook.Init(&second.box));
    QTest::keyClick(&first.box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&second.box, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(first.recorder.presses, 1);
    QCOMPARE(second.recorder.presses, 0);
    QCOMPARE(second.box.textCursor().selectedText(), QStringLiteral("two"));
}

QTEST_MAIN(tst_Hooks)
#include "tst_hooks.moc"
