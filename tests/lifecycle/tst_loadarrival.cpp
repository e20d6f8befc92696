// A pattern file whose source arrives in the source box a slice at a time: the window is the
// same as after a load at once, Execute and Save use the whole loaded text, and New, Open,
// another load and closing the window while it arrives leave no part of it behind.

#include "document/cdocument.h"
#include "support/textfile.h"
#include "tests/support/openwindow.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"
#include "ui/main/frmmain.h"
#include "ui/main/liveresults.h"
#include "ui/main/statusline.h"
#include "ui/main/textbox.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>

namespace {

constexpr qsizetype Slice = 64;

const QString Pattern = QStringLiteral("(\\d)(\\d)");

// A pattern file whose source holds lines lines of unit, and its source.
QString writePatternFile(const QString &name, const QString &source)
{
    const QString path = QDir(testScratchDir()).filePath(name);
    const QChar nul(0);
    TextFile().WriteText(path, Pattern + nul + source + nul + u"$2$1" + nul + u"1" + nul + u"0" +
                                   nul + u"0" + nul + u"0");
    return path;
}

QString sourceOf(int lines, QStringView unit)
{
    return unit.toString().repeated(lines);
}

Window arrivingWindow(const Services &services)
{
    Window window = openWindow(services);
    window->liveResults().setOn(false);
    window->controls().txtSourceString->setSliceLength(Slice);
    return window;
}

bool dirty(const frmMain &window)
{
    return window.windowTitle().startsWith(u"* ");
}

} // namespace

class tst_LoadArrival : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void sameWindowAsALoadAtOnce_data();
    void sameWindowAsALoadAtOnce();
    void executeUsesTheWholeText();
    void saveWritesTheWholeText();
    void newWhileArriving();
    void openAnotherWhileArriving();
    void closeWhileArriving();
};

void tst_LoadArrival::sameWindowAsALoadAtOnce_data()
{
    QTest::addColumn<QString>("source");

    QTest::newRow("CR LF lines") << sourceOf(4000, u"abc 12 de\r\n");
    QTest::newRow("lone CR and LF") << sourceOf(4000, u"ab 12\ncd\r");
    QTest::newRow("long line") << (QString(3 * TextBox::LongLine, u'7') + u"\r\nend");
    QTest::newRow("U+2028 and stand-ins")
        << QString::fromUtf16(u"a\u2028b 12\r\n\u2424\u2029\uFDD0\u240D\r\n").repeated(2000);
}

void tst_LoadArrival::sameWindowAsALoadAtOnce()
{
    QFETCH(QString, source);
    const QString file = writePatternFile(QStringLiteral("same.RegExp"), source);

    ScriptedResponder responder;
    Window atOnce = openWindow(testServices(responder));
    atOnce->liveResults().setOn(false);
    QVERIFY(atOnce->document().LoadAs(file));
    TextBox *whole = atOnce->controls().txtSourceString;
    QVERIFY(!whole->arriving());

    Window window = arrivingWindow(testServices(responder));
    QVERIFY(window->document().LoadAs(file));
    TextBox *box = window->controls().txtSourceString;
    QVERIFY(box->arriving());
    QVERIFY(!window->statusLine().text(StatusLine::Slot::Load).isEmpty());
    QVERIFY(!dirty(*window));
    QTRY_VERIFY(!box->arriving());

    QCOMPARE(window->statusLine().text(StatusLine::Slot::Load), QString());
    QCOMPARE(box->Text(), source);
    QCOMPARE(box->document()->toRawText(), whole->document()->toRawText());
    QCOMPARE(box->document()->blockCount(), whole->document()->blockCount());
    QCOMPARE(window->windowTitle(), atOnce->windowTitle());
    QVERIFY(!dirty(*window));
    QVERIFY(!window->document().IsDirty());
    QVERIFY(!box->document()->isUndoAvailable());
    QVERIFY(!box->document()->isModified());
    QVERIFY(!box->isReadOnly());
    // The first edit after it makes the document dirty, as after any load.
    box->setFocus();
    QTest::keyClick(box, Qt::Key_X);
    QVERIFY(dirty(*window));
    QCOMPARE(box->Text(), u'x' + source);
}

void tst_LoadArrival::executeUsesTheWholeText()
{
    const QString file =
        writePatternFile(QStringLiteral("execute.RegExp"), sourceOf(4000, u"abc 12 de\r\n"));
    ScriptedResponder responder;
    Window window = arrivingWindow(testServices(responder));
    QVERIFY(window->document().LoadAs(file));
    QVERIFY(window->controls().txtSourceString->arriving());
    window->controls().cmdExecute->click();
    QVERIFY(window->statusLine().text(StatusLine::Slot::Run).startsWith(u"4,000 matches"));
    window->controls().cmdReplace->click();
    QCOMPARE(window->controls().txtResult->Text(), sourceOf(4000, u"abc 21 de\r\n"));
}

void tst_LoadArrival::saveWritesTheWholeText()
{
    const QString source = sourceOf(4000, u"ab 12\r\n");
    const QString file = writePatternFile(QStringLiteral("save.RegExp"), source);
    const QByteArray bytes = [&] {
        QFile read(file);
        return read.open(QIODevice::ReadOnly) ? read.readAll() : QByteArray();
    }();
    ScriptedResponder responder;
    Window window = arrivingWindow(testServices(responder));
    QVERIFY(window->document().LoadAs(file));
    QVERIFY(window->controls().txtSourceString->arriving());
    QFile::remove(file);
    QVERIFY(window->document().Save());
    QFile written(file);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), bytes);
}

void tst_LoadArrival::newWhileArriving()
{
    const QString file =
        writePatternFile(QStringLiteral("new.RegExp"), sourceOf(4000, u"abc 12 de\r\n"));
    ScriptedResponder responder;
    Window window = arrivingWindow(testServices(responder));
    QVERIFY(window->document().LoadAs(file));
    TextBox *box = window->controls().txtSourceString;
    QVERIFY(box->arriving());
    // Not changed: New asks nothing.
    QVERIFY(window->document().Clear());
    QVERIFY(!box->arriving());
    QTest::qWait(0);
    QCoreApplication::processEvents();
    QCOMPARE(box->Text(), QString());
    QCOMPARE(box->document()->toRawText(), QString());
    QCOMPARE(window->statusLine().text(StatusLine::Slot::Load), QString());
    QVERIFY(!dirty(*window));
}

void tst_LoadArrival::openAnotherWhileArriving()
{
    const QString first =
        writePatternFile(QStringLiteral("first.RegExp"), sourceOf(4000, u"first 12\r\n"));
    const QString secondSource = sourceOf(3000, u"second 34\r\n");
    const QString second = writePatternFile(QStringLiteral("second.RegExp"), secondSource);
    ScriptedResponder responder;
    Window window = arrivingWindow(testServices(responder));
    TextBox *box = window->controls().txtSourceString;
    QVERIFY(window->document().LoadAs(first));
    QVERIFY(box->arriving());
    QCoreApplication::processEvents();
    QVERIFY(window->document().LoadAs(second));
    QCOMPARE(box->Text(), secondSource);
    QTRY_VERIFY(!box->arriving());
    QCOMPARE(TextBox::fromDisplay(box->document()->toRawText()), secondSource);
    QVERIFY(!dirty(*window));
    QCOMPARE(window->document().FileName(), second);
}

void tst_LoadArrival::closeWhileArriving()
{
    const QString file =
        writePatternFile(QStringLiteral("close.RegExp"), sourceOf(4000, u"abc 12 de\r\n"));
    ScriptedResponder responder;
    Window window = arrivingWindow(testServices(responder));
    QVERIFY(window->document().LoadAs(file));
    QVERIFY(window->controls().txtSourceString->arriving());
    // Nothing changed: the window closes without asking.
    QVERIFY(window->close());
    QCOMPARE(responder.shown().size(), 0);
    window.reset();
    QCoreApplication::processEvents();
}

QTEST_MAIN(tst_LoadArrival)
#include "tst_loadarrival.moc"
