#include "document/cdocument.h"
#include "support/messagebox.h"
#include "support/mousepointer.h"
#include "support/textfile.h"
#include "tests/document/fakeview.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

#include <unistd.h>

using TextBox = DocumentView::TextBox;
using CheckBox = DocumentView::CheckBox;

namespace {

const QString Nul(QChar(0));
const QString UntitledTitle = QStringLiteral("Sievewright - [Untitled]");
const QString DirtyUntitledTitle = QStringLiteral("* Sievewright - [Untitled]");

constexpr CheckBox AllChecks[] = {CheckBox::chkGlobal, CheckBox::chkIgnoreCase,
                                  CheckBox::chkMultiline, CheckBox::chkIgnoreLineBreaks};

// A document initialised on a fake window.
struct Bench
{
    CDocument doc;
    FakeView view{doc};
    Bench() { doc.Init(view); }

    QList<int> checks() const
    {
        QList<int> states;
        for (CheckBox box : AllChecks)
            states.append(view.checkState(box));
        return states;
    }
    void setChecks(const QList<int> &states)
    {
        for (int i = 0; i < 4; ++i)
            view.setCheckState(AllChecks[i], states.at(i));
    }
    // The user's work: three texts and four options, which leaves the document dirty.
    void fill(const QString &pattern, const QString &source, const QString &replacement,
              const QList<int> &states)
    {
        view.type(TextBox::txtPattern, pattern);
        view.type(TextBox::txtSourceString, source);
        view.type(TextBox::txtReplaceVar, replacement);
        setChecks(states);
    }
};

// A scripted responder that also runs an action when a box or dialog is shown, before it is
// answered: for failures that clear while the report is up.
class ActingResponder : public ScriptedResponder
{
public:
    std::function<void(const ModalRequest &)> onShow;

    ModalAnswer respond(const ModalRequest &request) override
    {
        if (onShow)
            onShow(request);
        return ScriptedResponder::respond(request);
    }
};

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString fields(const QStringList &list)
{
    return list.join(Nul);
}

// The bytes of a literal, embedded NULs included.
template<qsizetype N>
QByteArray raw(const char (&literal)[N])
{
    return QByteArray(literal, N - 1);
}

QString allCodeUnitsButNul()
{
    QString text;
    for (int unit = 1; unit <= 0xFFFF; ++unit)
        text.append(QChar(char16_t(unit)));
    return text;
}

} // namespace

class tst_Document : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void init();
    void cleanup();

    void initialState();
    void editsMarkTheTitleOnce();
    void baseTitle_data();
    void baseTitle();

    void load_data();
    void load();
    void save_data();
    void save();
    void roundTrip_data();
    void roundTrip();
    void foreignEncoding_data();
    void foreignEncoding();
    void loadFailure_data();
    void loadFailure();
    void loadRetrySucceeds();
    void saveFailure_data();
    void saveFailure();
    void saveRetrySucceeds();
    void saveOnFullDisk();
    void saveRefusesNul();

    void openOnClean();
    void openOnDirtyUntitled_data();
    void openOnDirtyUntitled();
    void promptNamesTheFile();
    void requestSave_data();
    void requestSave();
    void saveOnUntitledIsSaveAs();
    void saveOnTitledWritesWithoutDialog();
    void saveAsOffersCurrentName();
    void loadAsNeverPrompts();
    void clearCancelledChangesNothing();
    void clearAfterSavingFromPrompt();
    void settingControlsDoesNotDirty();

private:
    QString path(const QString &name) const { return m_dir->path() + u'/' + name; }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_Document::init()
{
    m_dir = std::make_unique<QTemporaryDir>(testScratchDir() + u"/doc-XXXXXX");
    QVERIFY(m_dir->isValid());
    TextFile::instance().setWriteFault(TextFile::WriteFault::None);
}

void tst_Document::cleanup()
{
    TextFile::instance().setWriteFault(TextFile::WriteFault::None);
    QCOMPARE(mousePointer(), MousePointer::Default);
    m_dir.reset();
}

void tst_Document::initialState()
{
    Bench b;
    for (TextBox box : {TextBox::txtPattern, TextBox::txtSourceString, TextBox::txtReplaceVar,
                        TextBox::txtResult})
        QCOMPARE(b.view.text(box), QString());
    QCOMPARE(b.checks(), (QList<int>{1, 1, 1, 0}));
    QCOMPARE(b.view.m_clears, 1);
    QCOMPARE(b.view.caption(), UntitledTitle);
    QVERIFY(!b.doc.IsDirty());
    QCOMPARE(b.doc.FileName(), QString());
}

void tst_Document::editsMarkTheTitleOnce()
{
    Bench b;
    b.view.type(TextBox::txtPattern, "a");
    QVERIFY(b.doc.IsDirty());
    QCOMPARE(b.view.caption(), DirtyUntitledTitle);
    b.view.type(TextBox::txtPattern, "ab");
    b.view.setCheckState(CheckBox::chkGlobal, 0);
    QCOMPARE(b.view.caption(), DirtyUntitledTitle);
}

void tst_Document::baseTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("base");

    QTest::newRow("maker's name removed") << "Brackwen - Sievewright"
                                          << "Sievewright";
    QTest::newRow("title without the name unchanged") << "Sievewright"
                                                      << "Sievewright";
    QTest::newRow("every occurrence removed") << "Brackwen - A Brackwen - B"
                                              << "A B";
    QTest::newRow("comparison is case-sensitive") << "brackwen - A"
                                                  << "brackwen - A";
    QTest::newRow("one pass from the start") << "BrackBrackwen - wen - X"
                                             << "Brackwen - X";
}

void tst_Document::baseTitle()
{
    QFETCH(QString, title);
    QFETCH(QString, base);
    QCOMPARE(CDocument::BaseTitle(title), base);
}

void tst_Document::load_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<bool>("loads");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("checks");

    const QStringList none{"", "", ""};
    QTest::newRow("ten-character default file")
        << fields({"", "", "", "1", "1", "1", "0"}) << true << none << QList<int>{1, 1, 1, 0};
    QTest::newRow("eighteen-character example")
        << fields({"\\d+", "a1b22", "", "1", "1", "1", "0"}) << true
        << QStringList{"\\d+", "a1b22", ""} << QList<int>{1, 1, 1, 0};
    QTest::newRow("six fields leave Ignore line breaks unchecked")
        << fields({"p", "s", "r", "1", "0", "1"}) << true << QStringList{"p", "s", "r"}
        << QList<int>{1, 0, 1, 0};
    QTest::newRow("seventh field checks Ignore line breaks")
        << fields({"p", "s", "r", "0", "0", "0", "1"}) << true << QStringList{"p", "s", "r"}
        << QList<int>{0, 0, 0, 1};
    QTest::newRow("true is not checked")
        << fields({"", "", "", "true", "1", "1", "0"}) << true << none << QList<int>{0, 1, 1, 0};
    QTest::newRow("-1 is not checked")
        << fields({"", "", "", "-1", "1", "1", "0"}) << true << none << QList<int>{0, 1, 1, 0};
    QTest::newRow("01 is not checked")
        << fields({"", "", "", "01", "1", "1", "0"}) << true << none << QList<int>{0, 1, 1, 0};
    QTest::newRow("blank then 1 is not checked")
        << fields({"", "", "", " 1", "1", "1", "0"}) << true << none << QList<int>{0, 1, 1, 0};
    QTest::newRow("empty field is not checked")
        << fields({"", "", "", "", "", "", ""}) << true << none << QList<int>{0, 0, 0, 0};
    QTest::newRow("eight fields (a pattern that held a NUL) refused")
        << fields({"a", "b", "", "", "1", "1", "1", "0"}) << false << none << QList<int>{};
    QTest::newRow("five fields refused")
        << fields({"", "", "", "1", "1"}) << false << none << QList<int>{};
    QTest::newRow("one field refused") << "just text" << false << none << QList<int>{};
    QTest::newRow("zero-length refused") << "" << false << none << QList<int>{};
}

void tst_Document::load()
{
    QFETCH(QString, content);
    QFETCH(bool, loads);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, checks);

    const QString file = path("case.RegExp");
    writeBytes(file, TextFile::encode(content));

    Bench b;
    b.fill("old", "old source", "old replacement", {0, 0, 0, 1});
    b.view.setText(TextBox::txtResult, "old result");
    b.view.m_resultNodes = 3;

    ScriptedResponder responder;
    if (!loads)
        responder.button(MsgBoxButton::OK);
    QCOMPARE(b.doc.LoadAs(file), loads);

    if (loads) {
        QCOMPARE(responder.shown().size(), 0);
        QCOMPARE(b.view.text(TextBox::txtPattern), texts.at(0));
        QCOMPARE(b.view.text(TextBox::txtSourceString), texts.at(1));
        QCOMPARE(b.view.text(TextBox::txtReplaceVar), texts.at(2));
        QCOMPARE(b.checks(), checks);
        QCOMPARE(b.view.text(TextBox::txtResult), QString());
        QCOMPARE(b.view.m_resultNodes, 0);
        QCOMPARE(b.view.caption(), QStringLiteral("Sievewright - [case.RegExp]"));
        QVERIFY(!b.doc.IsDirty());
        QCOMPARE(b.doc.FileName(), file);
    } else {
        QCOMPARE(responder.shown().size(), 1);
        QCOMPARE(responder.last().style, 16);
        QCOMPARE(responder.last().caption, QStringLiteral("Brackwen - Sievewright"));
        QCOMPARE(responder.last().text, file + "\r\n\r\nFile doesn't contain valid data.");
        QCOMPARE(b.view.text(TextBox::txtPattern), QStringLiteral("old"));
        QCOMPARE(b.view.text(TextBox::txtResult), QStringLiteral("old result"));
        QCOMPARE(b.view.m_resultNodes, 3);
        QCOMPARE(b.checks(), (QList<int>{0, 0, 0, 1}));
        QCOMPARE(b.view.caption(), DirtyUntitledTitle);
        QVERIFY(b.doc.IsDirty());
        QCOMPARE(b.doc.FileName(), QString());
    }
}

void tst_Document::save_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("checks");
    QTest::addColumn<QString>("content");
    QTest::addColumn<int>("length");

    QTest::newRow("default document gives ten characters")
        << QStringList{"", "", ""} << QList<int>{1, 1, 1, 0}
        << fields({"", "", "", "1", "1", "1", "0"}) << 10;
    QTest::newRow("example gives eighteen characters")
        << QStringList{"\\d+", "a1b22", ""} << QList<int>{1, 1, 1, 0}
        << fields({"\\d+", "a1b22", "", "1", "1", "1", "0"}) << 18;
    QTest::newRow("states written as 0 and 1 in field order")
        << QStringList{"p", "s", "r"} << QList<int>{0, 1, 0, 1}
        << fields({"p", "s", "r", "0", "1", "0", "1"}) << 13;
    QTest::newRow("line breaks stored as they are")
        << QStringList{"a\r\nb\r\n", "\n", "\r"} << QList<int>{1, 1, 1, 0}
        << fields({"a\r\nb\r\n", "\n", "\r", "1", "1", "1", "0"}) << 18;
}

void tst_Document::save()
{
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, checks);
    QFETCH(QString, content);
    QFETCH(int, length);

    Bench b;
    b.fill(texts.at(0), texts.at(1), texts.at(2), checks);
    b.view.setText(TextBox::txtResult, "not stored");
    const QString file = path("out.RegExp");
    ScriptedResponder responder;
    responder.chooseFile(file);
    QVERIFY(b.doc.SaveAs());

    const QByteArray bytes = readBytes(file);
    QVERIFY(bytes.startsWith("\xFF\xFE"));
    const QString written = TextFile::decode(bytes);
    QCOMPARE(written.size(), length);
    QCOMPARE(written, content);
    QVERIFY(!b.doc.IsDirty());
    QCOMPARE(b.view.caption(), QStringLiteral("Sievewright - [out.RegExp]"));
    QCOMPARE(b.doc.FileName(), file);
}

void tst_Document::roundTrip_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("checks");

    QTest::newRow("multi-line with trailing CR LF")
        << QStringList{"a\r\nb\r\n", "line 1\r\nline 2\r\n", "x\r\n"} << QList<int>{1, 0, 1, 1};
    QTest::newRow("bare LF and CR with trailing break")
        << QStringList{"a\nb\n", "c\rd\r", "\n\r\n\r"} << QList<int>{0, 1, 0, 0};
    const QString all = allCodeUnitsButNul();
    QTest::newRow("every code unit but NUL in each text")
        << QStringList{all, all, all} << QList<int>{0, 0, 0, 0};
    QTest::newRow("lone and reversed surrogates")
        << QStringList{QString(QChar(0xD800)), QString(QChar(0xDFFF)),
                       QString(QChar(0xDC00)) + QChar(0xD800)}
        << QList<int>{1, 1, 1, 1};
    QTest::newRow("leading byte-order mark character kept")
        << QStringList{QString(QChar(0xFEFF)) + u"x", QString(QChar(0xFFFE)),
                       QString(QChar(0xFFFF))}
        << QList<int>{1, 1, 1, 0};
}

void tst_Document::roundTrip()
{
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, checks);

    const QString file = path("trip.RegExp");
    {
        Bench b;
        b.fill(texts.at(0), texts.at(1), texts.at(2), checks);
        ScriptedResponder responder;
        responder.chooseFile(file);
        QVERIFY(b.doc.SaveAs());
    }
    Bench b;
    QVERIFY(b.doc.LoadAs(file));
    QCOMPARE(b.view.text(TextBox::txtPattern), texts.at(0));
    QCOMPARE(b.view.text(TextBox::txtSourceString), texts.at(1));
    QCOMPARE(b.view.text(TextBox::txtReplaceVar), texts.at(2));
    QCOMPARE(b.checks(), checks);
}

void tst_Document::foreignEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("source");

    const QByteArray tail = raw("\0\0"
                                "1\0"
                                "1\0"
                                "1\0"
                                "0");
    QTest::newRow("UTF-8 without byte-order mark")
        << raw("caf\xC3\xA9\0\xE2\x82\xAC\xF0\x9F\x98\x80") + tail << u"caf\u00E9"_qs
        << u"\u20AC\U0001F600"_qs;
    QTest::newRow("UTF-8 with byte-order mark") << raw("\xEF\xBB\xBF"
                                                       "\xC3\xBC\0x") +
                                                       tail
                                                << u"\u00FC"_qs << u"x"_qs;
    QTest::newRow("Windows-1252") << raw("caf\xE9\0\x80\x93\x81") + tail << u"caf\u00E9"_qs
                                  << u"\u20AC\u201C\u0081"_qs;
    QTest::newRow("UTF-16BE with byte-order mark") << raw("\xFE\xFF\0a\0\0\0b\0\0\0\0\0"
                                                          "1\0\0\0"
                                                          "1\0\0\0"
                                                          "1\0\0\0"
                                                          "0")
                                                   << u"a"_qs << u"b"_qs;
}

void tst_Document::foreignEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, pattern);
    QFETCH(QString, source);

    const QString file = path("foreign.RegExp");
    writeBytes(file, bytes);
    Bench b;
    ScriptedResponder responder;
    QVERIFY(b.doc.LoadAs(file));
    QCOMPARE(b.view.text(TextBox::txtPattern), pattern);
    QCOMPARE(b.view.text(TextBox::txtSourceString), source);
    QCOMPARE(b.checks(), (QList<int>{1, 1, 1, 0}));
}

void tst_Document::loadFailure_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("sparseSize"); // > 0: create a file of this size

    QTest::newRow("missing file") << "missing.RegExp" << qint64(0);
    QTest::newRow("a folder") << "folder.RegExp" << qint64(-1);
    QTest::newRow("far too large to be a pattern file")
        << "huge.RegExp" << TextFile::MaxReadBytes + 1;
}

void tst_Document::loadFailure()
{
    QFETCH(QString, name);
    QFETCH(qint64, sparseSize);

    const QString file = path(name);
    if (sparseSize < 0)
        QVERIFY(QDir().mkdir(file));
    if (sparseSize > 0) {
        QFile huge(file);
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(sparseSize));
    }

    Bench b;
    b.fill("work", "", "", {1, 1, 1, 0});
    ScriptedResponder responder;
    responder.button(MsgBoxButton::Cancel);
    QVERIFY(!b.doc.LoadAs(file));
    QCOMPARE(responder.shown().size(), 1);
    QCOMPARE(responder.last().style, 21);
    QVERIFY2(responder.last().text.startsWith(file + "\r\n\r\nCan't load file."),
             qPrintable(responder.last().text));
    QCOMPARE(b.view.text(TextBox::txtPattern), QStringLiteral("work"));
    QCOMPARE(b.view.caption(), DirtyUntitledTitle);
    QVERIFY(b.doc.IsDirty());
    QCOMPARE(b.doc.FileName(), QString());
}

void tst_Document::loadRetrySucceeds()
{
    const QString file = path("late.RegExp");
    Bench b;
    ActingResponder responder;
    responder.button(MsgBoxButton::Retry);
    responder.onShow = [&](const ModalRequest &) {
        writeBytes(file, TextFile::encode(fields({"late", "", "", "1", "1", "1", "0"})));
    };
    QVERIFY(b.doc.LoadAs(file));
    QCOMPARE(responder.shown().size(), 1);
    QCOMPARE(b.view.text(TextBox::txtPattern), QStringLiteral("late"));
    QCOMPARE(b.doc.FileName(), file);
}

void tst_Document::saveFailure_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<bool>("readOnlyFolder");

    QTest::newRow("temporary file can't be made")
        << int(TextFile::WriteFault::CreateTemporary) << false;
    QTest::newRow("short write") << int(TextFile::WriteFault::ShortWrite) << false;
    QTest::newRow("replace fails") << int(TextFile::WriteFault::Commit) << false;
    QTest::newRow("read-only folder") << int(TextFile::WriteFault::None) << true;
}

void tst_Document::saveFailure()
{
    QFETCH(int, fault);
    QFETCH(bool, readOnlyFolder);
    if (readOnlyFolder && geteuid() == 0)
        QSKIP("permissions don't bind the superuser");

    const QString first = path("first.RegExp");
    writeBytes(first, TextFile::encode(fields({"first", "", "", "1", "1", "1", "0"})));
    const QString sub = path("sub");
    QVERIFY(QDir().mkdir(sub));
    const QString target = sub + u"/target.RegExp";
    const QByteArray oldBytes = TextFile::encode(fields({"old", "", "", "0", "0", "0", "0"}));
    writeBytes(target, oldBytes);

    Bench b;
    QVERIFY(b.doc.LoadAs(first));
    b.view.type(TextBox::txtPattern, "changed");

    TextFile::instance().setWriteFault(TextFile::WriteFault(fault));
    if (readOnlyFolder)
        QVERIFY(QFile::setPermissions(sub, QFile::ReadOwner | QFile::ExeOwner));
    ScriptedResponder responder;
    responder.chooseFile(target).button(MsgBoxButton::Cancel);
    const bool saved = b.doc.SaveAs();
    QFile::setPermissions(sub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QVERIFY(!saved);
    QCOMPARE(responder.shown().size(), 2);
    QCOMPARE(responder.last().style, 21);
    QVERIFY2(responder.last().text.startsWith(target + "\r\n\r\nCan't save file."),
             qPrintable(responder.last().text));
    QCOMPARE(b.view.caption(), QStringLiteral("* Sievewright - [first.RegExp]"));
    QCOMPARE(b.doc.FileName(), first);
    QVERIFY(b.doc.IsDirty());
    QCOMPARE(readBytes(target), oldBytes);
    QCOMPARE(QDir(sub).entryList(QDir::Files | QDir::Hidden), QStringList{"target.RegExp"});
}

void tst_Document::saveOnFullDisk()
{
    if (geteuid() != 0)
        QSKIP("mounting a small file system needs the superuser");
    const QString tiny = path("tiny");
    QVERIFY(QDir().mkdir(tiny));
    QProcess mount;
    mount.start("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", tiny});
    if (!mount.waitForFinished() || mount.exitStatus() != QProcess::NormalExit ||
        mount.exitCode() != 0)
        QSKIP("no small file system can be mounted here");
    const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {tiny}); });

    const QString target = tiny + u"/target.RegExp";
    const QByteArray oldBytes = TextFile::encode(fields({"old", "text", "", "1", "0", "0", "0"}));
    writeBytes(target, oldBytes);
    Bench b;
    QVERIFY(b.doc.LoadAs(target));
    b.view.type(TextBox::txtSourceString, QString(100'000, u'x')); // 200 KB on a 64 KB disk

    ScriptedResponder responder;
    responder.button(MsgBoxButton::Cancel);
    QVERIFY(!b.doc.Save());
    QCOMPARE(responder.shown().size(), 1);
    QVERIFY2(responder.last().text.startsWith(target + "\r\n\r\nCan't save file."),
             qPrintable(responder.last().text));
    QVERIFY(b.doc.IsDirty());
    QCOMPARE(b.doc.FileName(), target);
    QCOMPARE(readBytes(target), oldBytes);
    QCOMPARE(QDir(tiny).entryList(QDir::Files | QDir::Hidden), QStringList{"target.RegExp"});
}

void tst_Document::saveRetrySucceeds()
{
    const QString file = path("retry.RegExp");
    Bench b;
    b.view.type(TextBox::txtPattern, "kept");
    TextFile::instance().setWriteFault(TextFile::WriteFault::ShortWrite);
    ActingResponder responder;
    responder.chooseFile(file).button(MsgBoxButton::Retry);
    responder.onShow = [](const ModalRequest &request) {
        if (request.kind == ModalKind::MessageBox)
            TextFile::instance().setWriteFault(TextFile::WriteFault::None);
    };
    QVERIFY(b.doc.SaveAs());
    QCOMPARE(responder.shown().size(), 2);
    QVERIFY(!b.doc.IsDirty());
    QCOMPARE(b.view.caption(), QStringLiteral("Sievewright - [retry.RegExp]"));
    QCOMPARE(TextFile::decode(readBytes(file)), fields({"kept", "", "", "1", "1", "1", "0"}));
}

void tst_Document::saveRefusesNul()
{
    const QString file = path("nul.RegExp");
    const QByteArray oldBytes = TextFile::encode(fields({"old", "", "", "1", "1", "1", "0"}));
    writeBytes(file, oldBytes);
    Bench b;
    QVERIFY(b.doc.LoadAs(file));
    b.view.type(TextBox::txtSourceString, u"a"_qs + Nul + u"b");
    ScriptedResponder responder;
    responder.button(MsgBoxButton::OK);
    QVERIFY(!b.doc.Save());
    QCOMPARE(responder.last().style, 16);
    QVERIFY(responder.last().text.startsWith(file + "\r\n\r\nCan't save file."));
    QVERIFY(b.doc.IsDirty());
    QCOMPARE(b.view.caption(), QStringLiteral("* Sievewright - [nul.RegExp]"));
    QCOMPARE(readBytes(file), oldBytes);
}

void tst_Document::openOnClean()
{
    const QString file = path("open.RegExp");
    writeBytes(file, TextFile::encode(fields({"opened", "", "", "1", "1", "1", "0"})));
    Bench b;
    ScriptedResponder responder;
    responder.chooseFile(file);
    QVERIFY(b.doc.Load());
    QCOMPARE(responder.shown().size(), 1);
    const ModalRequest &dialog = responder.last();
    QCOMPARE(dialog.kind, ModalKind::OpenFile);
    QCOMPARE(dialog.filter, QStringLiteral("RegExp files|*.RegExp|All files|*.*"));
    QCOMPARE(dialog.defaultExt, QStringLiteral("RegExp"));
    QCOMPARE(dialog.initialDir, QDir::currentPath());
    QCOMPARE(dialog.text, QString());
    QCOMPARE(b.view.text(TextBox::txtPattern), QStringLiteral("opened"));

    // After a load the dialog starts in the file's folder; cancelling it changes nothing.
    responder.clear();
    responder.cancelDialog();
    QVERIFY(!b.doc.Load());
    QCOMPARE(responder.last().initialDir, m_dir->path());
    QCOMPARE(b.doc.FileName(), file);
    QCOMPARE(b.view.text(TextBox::txtPattern), QStringLiteral("opened"));
}

void tst_Document::openOnDirtyUntitled_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("chooseSave");
    QTest::addColumn<bool>("chooseOpen");
    QTest::addColumn<bool>("loaded");

    QTest::newRow("Yes, save dialog cancelled cancels the open")
        << MsgBoxButton::Yes << false << false << false;
    QTest::newRow("Yes, saved, then opened") << MsgBoxButton::Yes << true << true << true;
    QTest::newRow("No, open dialog cancelled keeps the work")
        << MsgBoxButton::No << false << false << false;
    QTest::newRow("No, then opened") << MsgBoxButton::No << false << true << true;
    QTest::newRow("Cancel stops at once") << MsgBoxButton::Cancel << false << false << false;
}

void tst_Document::openOnDirtyUntitled()
{
    QFETCH(int, answer);
    QFETCH(bool, chooseSave);
    QFETCH(bool, chooseOpen);
    QFETCH(bool, loaded);

    const QString other = path("other.RegExp");
    writeBytes(other, TextFile::encode(fields({"other", "", "", "1", "1", "1", "0"})));
    const QString saved = path("saved.RegExp");

    Bench b;
    b.view.type(TextBox::txtPattern, "work");
    ScriptedResponder responder;
    responder.button(answer);
    QList<ModalKind> expected{ModalKind::MessageBox};
    if (answer == MsgBoxButton::Yes) {
        expected.append(ModalKind::SaveFile);
        if (chooseSave)
            responder.chooseFile(saved);
        else
            responder.cancelDialog();
    }
    const bool opens = answer == MsgBoxButton::No || chooseSave;
    if (opens) {
        expected.append(ModalKind::OpenFile);
        if (chooseOpen)
            responder.chooseFile(other);
        else
            responder.cancelDialog();
    }

    QCOMPARE(b.doc.Load(), loaded);
    QCOMPARE(responder.pending(), 0);
    QList<ModalKind> kinds;
    for (const ModalRequest &request : responder.shown())
        kinds.append(request.kind);
    QCOMPARE(kinds, expected);
    QCOMPARE(responder.shown().first().text, QStringLiteral("Save changes?"));
    QCOMPARE(responder.shown().first().style, 35);
    QCOMPARE(QFile::exists(saved), chooseSave);
    if (chooseSave)
        QCOMPARE(TextFile::decode(readBytes(saved)), fields({"work", "", "", "1", "1", "1", "0"}));

    if (loaded) {
        QCOMPARE(b.view.text(TextBox::txtPattern), QStringLiteral("other"));
        QVERIFY(!b.doc.IsDirty());
        QCOMPARE(b.view.caption(), QStringLiteral("Sievewright - [other.RegExp]"));
    } else {
        QCOMPARE(b.view.text(TextBox::txtPattern), QStringLiteral("work"));
        QCOMPARE(b.doc.IsDirty(), !chooseSave);
    }
}

void tst_Document::promptNamesTheFile()
{
    const QString file = path("Sample.RegExp");
    writeBytes(file, TextFile::encode(fields({"", "", "", "1", "1", "1", "0"})));
    Bench b;
    QVERIFY(b.doc.LoadAs(file));
    b.view.type(TextBox::txtPattern, "x");
    ScriptedResponder responder;
    responder.button(MsgBoxButton::Cancel);
    QVERIFY(!b.doc.RequestSave());
    QCOMPARE(responder.last().text, file + "\r\n\r\nSave changes?");
    QCOMPARE(responder.last().caption, QStringLiteral("Brackwen - Sievewright"));
    QCOMPARE(responder.last().style, 35);
}

void tst_Document::requestSave_data()
{
    QTest::addColumn<bool>("dirty");
    QTest::addColumn<int>("answer"); // 0: no prompt expected
    QTest::addColumn<bool>("proceeds");
    QTest::addColumn<bool>("dirtyAfter");

    QTest::newRow("clean asks nothing") << false << 0 << true << false;
    QTest::newRow("No gives up the changes") << true << int(MsgBoxButton::No) << true << true;
    QTest::newRow("Cancel stops the caller") << true << int(MsgBoxButton::Cancel) << false << true;
    QTest::newRow("Yes saves to the file") << true << int(MsgBoxButton::Yes) << true << false;
}

void tst_Document::requestSave()
{
    QFETCH(bool, dirty);
    QFETCH(int, answer);
    QFETCH(bool, proceeds);
    QFETCH(bool, dirtyAfter);

    const QString file = path("req.RegExp");
    writeBytes(file, TextFile::encode(fields({"", "", "", "1", "1", "1", "0"})));
    Bench b;
    QVERIFY(b.doc.LoadAs(file));
    if (dirty)
        b.view.type(TextBox::txtPattern, "edited");
    ScriptedResponder responder;
    if (answer != 0)
        responder.button(answer);
    QCOMPARE(b.doc.RequestSave(), proceeds);
    QCOMPARE(responder.shown().size(), answer != 0 ? 1 : 0);
    QCOMPARE(b.doc.IsDirty(), dirtyAfter);
    if (answer == MsgBoxButton::Yes)
        QCOMPARE(TextFile::decode(readBytes(file)), fields({"edited", "", "", "1", "1", "1", "0"}));
}

void tst_Document::saveOnUntitledIsSaveAs()
{
    Bench b;
    b.view.type(TextBox::txtPattern, "new");
    ScriptedResponder responder;
    responder.cancelDialog();
    QVERIFY(!b.doc.Save());
    QCOMPARE(responder.last().kind, ModalKind::SaveFile);
    QCOMPARE(responder.last().text, QString());
    QCOMPARE(responder.last().initialDir, QDir::currentPath());
    QCOMPARE(responder.last().filter, QStringLiteral("RegExp files|*.RegExp|All files|*.*"));
    QCOMPARE(responder.last().defaultExt, QStringLiteral("RegExp"));
    QCOMPARE(b.view.caption(), DirtyUntitledTitle);

    const QString file = path("new.RegExp");
    responder.chooseFile(file);
    QVERIFY(b.doc.Save());
    QCOMPARE(b.doc.FileName(), file);
    QCOMPARE(b.view.caption(), QStringLiteral("Sievewright - [new.RegExp]"));
}

void tst_Document::saveOnTitledWritesWithoutDialog()
{
    const QString file = path("titled.RegExp");
    writeBytes(file, TextFile::encode(fields({"a", "", "", "1", "1", "1", "0"})));
    Bench b;
    QVERIFY(b.doc.LoadAs(file));
    b.view.type(TextBox::txtPattern, "b");
    ScriptedResponder responder;
    QVERIFY(b.doc.Save());
    QCOMPARE(responder.shown().size(), 0);
    QCOMPARE(TextFile::decode(readBytes(file)), fields({"b", "", "", "1", "1", "1", "0"}));
    QCOMPARE(b.view.caption(), QStringLiteral("Sievewright - [titled.RegExp]"));
    QVERIFY(!b.doc.IsDirty());
}

void tst_Document::saveAsOffersCurrentName()
{
    const QString file = path("named.RegExp");
    writeBytes(file, TextFile::encode(fields({"", "", "", "1", "1", "1", "0"})));
    Bench b;
    QVERIFY(b.doc.LoadAs(file));
    ScriptedResponder responder;
    responder.cancelDialog();
    QVERIFY(!b.doc.SaveAs());
    QCOMPARE(responder.last().kind, ModalKind::SaveFile);
    QCOMPARE(responder.last().text, file);
    QCOMPARE(responder.last().initialDir, m_dir->path());
    QCOMPARE(b.doc.FileName(), file);
}

void tst_Document::loadAsNeverPrompts()
{
    const QString file = path("cmdline.RegExp");
    writeBytes(file, TextFile::encode(fields({"given", "", "", "1", "1", "1", "0"})));
    Bench b;
    b.view.type(TextBox::txtPattern, "unsaved");
    ScriptedResponder responder;
    QVERIFY(b.doc.LoadAs(file));
    QCOMPARE(responder.shown().size(), 0);
    QCOMPARE(b.view.text(TextBox::txtPattern), QStringLiteral("given"));
}

void tst_Document::clearCancelledChangesNothing()
{
    Bench b;
    b.fill("p", "s", "r", {0, 0, 0, 1});
    ScriptedResponder responder;
    responder.button(MsgBoxButton::Cancel);
    QVERIFY(!b.doc.Clear());
    QCOMPARE(b.view.text(TextBox::txtPattern), QStringLiteral("p"));
    QCOMPARE(b.checks(), (QList<int>{0, 0, 0, 1}));
    QCOMPARE(b.view.caption(), DirtyUntitledTitle);
    QVERIFY(b.doc.IsDirty());

    // Yes, then a save that fails and is cancelled, stops the clear as well.
    const QString file = path("blocked.RegExp");
    TextFile::instance().setWriteFault(TextFile::WriteFault::Commit);
    responder.button(MsgBoxButton::Yes).chooseFile(file).button(MsgBoxButton::Cancel);
    QVERIFY(!b.doc.Clear());
    QCOMPARE(b.view.text(TextBox::txtPattern), QStringLiteral("p"));
    QCOMPARE(b.view.caption(), DirtyUntitledTitle);
    QVERIFY(!QFile::exists(file));
}

void tst_Document::clearAfterSavingFromPrompt()
{
    Bench b;
    b.fill("p", "s", "r", {0, 0, 0, 1});
    const QString file = path("beforeNew.RegExp");
    ScriptedResponder responder;
    responder.button(MsgBoxButton::Yes).chooseFile(file);
    QVERIFY(b.doc.Clear());
    QCOMPARE(TextFile::decode(readBytes(file)), fields({"p", "s", "r", "0", "0", "0", "1"}));
    QCOMPARE(b.view.text(TextBox::txtPattern), QString());
    QCOMPARE(b.checks(), (QList<int>{1, 1, 1, 0}));
    QCOMPARE(b.view.caption(), UntitledTitle);
    QCOMPARE(b.doc.FileName(), QString());
    QVERIFY(!b.doc.IsDirty());
}

void tst_Document::settingControlsDoesNotDirty()
{
    const QString file = path("quiet.RegExp");
    writeBytes(file, TextFile::encode(fields({"p", "s", "r", "0", "1", "0", "1"})));
    Bench b;
    b.view.type(TextBox::txtPattern, "x");
    QVERIFY(b.doc.IsDirty());

    ScriptedResponder responder;
    responder.button(MsgBoxButton::No);
    b.view.m_notifications = 0;
    b.view.m_pointerAtNotify.clear();
    QVERIFY(b.doc.Clear());
    QCOMPARE(b.view.m_notifications, 7);
    QVERIFY(!b.doc.IsDirty());
    QCOMPARE(b.view.caption(), UntitledTitle);

    b.view.m_notifications = 0;
    b.view.m_dirtyAfterNotify.clear();
    QVERIFY(b.doc.LoadAs(file));
    QCOMPARE(b.view.m_notifications, 7);
    QCOMPARE(b.view.m_dirtyAfterNotify, QList<bool>(7, false));
    QVERIFY(!b.doc.IsDirty());
    QCOMPARE(b.view.caption(), QStringLiteral("Sievewright - [quiet.RegExp]"));

    // The wait pointer is up while the document sets the controls, and gone afterwards.
    QCOMPARE(b.view.m_pointerAtNotify.size(), 14);
    for (MousePointer pointer : b.view.m_pointerAtNotify)
        QCOMPARE(pointer, MousePointer::Hourglass);
    QCOMPARE(mousePointer(), MousePointer::Default);

    // The same change made by the user does mark it.
    b.view.setCheckState(CheckBox::chkGlobal, 1);
    QVERIFY(b.doc.IsDirty());
    QCOMPARE(b.view.caption(), QStringLiteral("* Sievewright - [quiet.RegExp]"));
}

QTEST_MAIN(tst_Document)
#include "tst_document.moc"
