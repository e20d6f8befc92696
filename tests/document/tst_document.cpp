#include "document/cdocument.h"
#include "support/messagebox.h"
#include "support/mousepointer.h"
#include "support/textfile.h"
#include "tests/document/fakeview.h"
#include "tests/support/limitedfilestore.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// Where a file size limit stops the save's write.
enum class LimitAt
{
    None,
    Start,
    Middle,
    LastByte
};
// freeBytes of a save to a small file system: none mounted, or mounted and not filled.
constexpr int NoFileSystem = -1;
constexpr int Unfilled = -2;

// Fills the file system of path with a file there until freeBytes are left.
void fillFileSystem(const QString &path, int freeBytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, 'f');
    while (file.write(block) == block.size()) {
    }
    file.close();
    QVERIFY(file.resize(std::max<qint64>(0, file.size() - freeBytes)));
}

const QString Nul(QChar(0));

// The window's content as the seven fields of a pattern file.
using State = QStringList;
const State NewState{"", "", "", "1", "1", "1", "0"};
const State Doc{"doc", "s", "r", "1", "0", "0", "0"};
const State Other{"other", "", "x", "1", "0", "1", "0"};
const State Work{"work", "typed", "", "0", "0", "0", "1"}; // the user's edits

QByteArray encoded(const State &fields)
{
    return TextFile::encode(fields.join(Nul));
}

// The fields of a file as this program writes it, UTF-16LE with a byte-order mark; empty when
// there is no file.
State readFields(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return bytes.startsWith("\xFF\xFE") ? TextFile::decode(bytes).split(Nul) : State{"no BOM"};
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A document initialised on a fake window, on the real file store unless given another; its
// boxes and dialogs go to the responder (none is scripted at first).
struct Bench
{
    TextFile sound;
    ScriptedResponder responder;
    CDocument doc;
    FakeView view{doc};
    explicit Bench(FileStore *files = nullptr)
        : doc(files ? *files : sound, responder)
    {
        doc.Init(view);
    }

    // A result on show, and the notifications so far forgotten.
    void showResult()
    {
        view.m_result = QStringLiteral("result");
        view.m_resultNodes = 3;
        view.m_quiet.clear();
    }
    // From a clean document: the document set the controls without marking itself dirty, under
    // the wait pointer, and emptied the results.
    void verifyQuietReset() const
    {
        QVERIFY(!view.m_quiet.isEmpty() && !view.m_quiet.contains(false));
        QCOMPARE(view.m_result, QString());
        QCOMPARE(view.m_resultNodes, 0);
    }
};

} // namespace

class tst_Document : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void init();
    void cleanup();

    void newDocument();
    void load_data();
    void load();
    void saveFailure_data();
    void saveFailure();
    void commands_data();
    void commands();

private:
    // Files in the scratch folder, named without their ".RegExp".
    QString path(const QString &name) const { return m_dir->path() + u'/' + name + u".RegExp"; }
    // The window shows content, and the caption, dirty state and file name are those of a file
    // (or "new"), with "*" in front when changed.
    void verifyDocument(const Bench &b, const State &content, QString name) const
    {
        const bool dirty = name.startsWith(u'*');
        name.remove(u'*');
        const bool untitled = name == u"new";
        const QString shown =
            untitled ? QStringLiteral("Untitled") : name.section(u'/', -1) + u".RegExp";
        QCOMPARE(b.view.m_fields, content);
        QCOMPARE(b.view.caption(), QString((dirty ? QStringLiteral("* ") : QString()) +
                                           u"Sievewright - [" + shown + u"]"));
        QCOMPARE(b.doc.IsDirty(), dirty);
        QCOMPARE(b.doc.FileName(), untitled ? QString() : path(name));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_Document::init()
{
    m_dir = std::make_unique<QTemporaryDir>(testScratchDir() + u"/doc-XXXXXX");
    QVERIFY(m_dir->isValid());
}

void tst_Document::cleanup()
{
    QCOMPARE(mousePointer(), MousePointer::Default);
    m_dir.reset();
}

void tst_Document::newDocument()
{
    Bench b;
    verifyDocument(b, NewState, QStringLiteral("new"));

    // New on a clean document asks nothing.
    b.showResult();
    QVERIFY(b.doc.Clear());
    b.verifyQuietReset();

    // The title loses every "Brackwen - " (case-sensitive) in one pass from the start.
    QCOMPARE(
        CDocument::BaseTitle(QStringLiteral("Brackwen - A BrackBrackwen - wen - B brackwen - C")),
        QStringLiteral("A Brackwen - B brackwen - C"));
}

void tst_Document::load_data()
{
    QTest::addColumn<QString>("kind"); // "" the bytes; else a file that can't be read
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<State>("content"); // empty: refused

    // A file of these fields, which loads with its texts and the check states given.
    const auto row = [](const char *name, const State &fields, const QString &checks = {}) {
        State content = checks.isEmpty() ? State() : fields.mid(0, 3);
        for (QChar check : checks)
            content.append(check);
        QTest::newRow(name) << QString() << encoded(fields) << content;
    };
    row("ten-character default file", NewState, QStringLiteral("1110"));
    row("six fields leave Ignore line breaks unchecked", {"p", "s", "r", "1", "0", "1"},
        QStringLiteral("1010"));
    row("seventh field checks Ignore line breaks", {"", "", "", "0", "0", "0", "1"},
        QStringLiteral("0001"));
    row("eight fields (a pattern that held a NUL) refused", {"a", "b", "", "", "1", "1", "1", "0"});
    row("five fields refused", {"", "", "", "1", "1"});
    row("line breaks kept, trailing ones too",
        {"a\r\nb\r\n", "c\nd\n", "e\rf\r", "1", "0", "1", "1"}, QStringLiteral("1011"));
    QTest::newRow("zero-length refused") << QString() << QByteArray() << State();

    QTest::newRow("missing file") << QStringLiteral("missing") << QByteArray() << State();
    QTest::newRow("far too large to be a pattern file")
        << QStringLiteral("huge") << QByteArray() << State();
    QTest::newRow("Retry once the file is there loads it")
        << QStringLiteral("late") << QByteArray() << Other;
}

void tst_Document::load()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(State, content);
    const QString file = path(QStringLiteral("case"));
    if (kind.isEmpty())
        writeBytes(file, bytes);
    if (kind == u"huge") {
        QFile huge(file);
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(3 * TextFile::MaxChars + 4));
    }

    // A refused file leaves an edited document as it was; a loaded one replaces a clean one.
    writeBytes(path(QStringLiteral("first")), encoded(Doc));
    Bench b;
    if (content.isEmpty())
        b.view.edit(Work);
    else
        QVERIFY(b.doc.LoadAs(path(QStringLiteral("first"))));
    b.showResult();
    ScriptedResponder &responder = b.responder;
    const bool readFails = !kind.isEmpty();
    if (readFails)
        responder.button(kind == u"late" ? MsgBoxButton::Retry : MsgBoxButton::Cancel);
    else if (content.isEmpty())
        responder.button(MsgBoxButton::OK);
    if (kind == u"late")
        responder.onShow = [&](const ModalRequest &) { writeBytes(file, encoded(Other)); };
    QCOMPARE(b.doc.LoadAs(file), !content.isEmpty());

    if (!responder.shown().isEmpty()) {
        const ModalRequest &box = responder.last();
        QCOMPARE(box.caption, QStringLiteral("Brackwen - Sievewright"));
        QCOMPARE(box.style, readFails ? 21 : 16);
        const QString message = file + u"\r\n\r\n" +
                                (readFails ? QStringLiteral("Can't load file.")
                                           : QStringLiteral("File doesn't contain valid data."));
        QVERIFY2(readFails ? box.text.startsWith(message) : box.text == message,
                 qPrintable(box.text));
    }
    if (content.isEmpty()) {
        verifyDocument(b, Work, QStringLiteral("*new"));
        QCOMPARE(b.view.m_result, QStringLiteral("result"));
        QCOMPARE(b.view.m_resultNodes, 3);
    } else {
        verifyDocument(b, content, QStringLiteral("case"));
        b.verifyQuietReset();
        // Saved again, the file holds exactly what the window shows.
        QVERIFY(b.doc.Save());
        QCOMPARE(readFields(file), content);
    }
}

void tst_Document::saveFailure_data()
{
    QTest::addColumn<State>("content");
    QTest::addColumn<int>("limitAt");   // where the file size limit stops the write
    QTest::addColumn<int>("freeBytes"); // on a small file system saved to; NoFileSystem: none
    QTest::addColumn<int>("answer");    // to the failure message

    const auto row = [](const char *name, LimitAt limitAt, int freeBytes = NoFileSystem,
                        int answer = MsgBoxButton::Cancel, const State &content = Work) {
        QTest::newRow(name) << content << int(limitAt) << freeBytes << answer;
    };
    row("file size limit at 0 bytes", LimitAt::Start);
    row("file size limit in the middle", LimitAt::Middle);
    row("file size limit at the last byte", LimitAt::LastByte);
    row("Retry once the limit is lifted saves", LimitAt::LastByte, NoFileSystem,
        MsgBoxButton::Retry);
    row("file system full to the last block", LimitAt::None, 0);
    row("file system with 4 KiB free, a 10 KB document", LimitAt::None, 4096, MsgBoxButton::Cancel,
        {"w", QString(5000, u'x'), "", "0", "0", "0", "1"});
    row("a document larger than the file system", LimitAt::None, Unfilled, MsgBoxButton::Cancel,
        {"w", QString(100'000, u'x'), "", "0", "0", "0", "1"});
    row("NUL in a text, which no file can hold", LimitAt::None, NoFileSystem, MsgBoxButton::OK,
        {"w", QStringLiteral("a") + Nul + u"b", "", "1", "1", "1", "0"});
}

void tst_Document::saveFailure()
{
    QFETCH(State, content);
    QFETCH(int, limitAt);
    QFETCH(int, freeBytes);
    QFETCH(int, answer);

    const QString folder = m_dir->path() + u"/sub";
    QVERIFY(QDir().mkdir(folder));
    bool mounted = false;
    const auto unmount = qScopeGuard([&] {
        if (mounted)
            QProcess::execute(QStringLiteral("umount"), {folder});
    });
    if (freeBytes != NoFileSystem) {
        if (geteuid() != 0)
            QSKIP("mounting a small file system needs the superuser");
        mounted = QProcess::execute(QStringLiteral("mount"),
                                    {"-t", "tmpfs", "-o", "size=64k", "tmpfs", folder}) == 0;
        if (!mounted)
            QSKIP("no small file system can be mounted here");
    }
    const QString target = path(QStringLiteral("sub/target"));
    writeBytes(target, encoded(Other));
    writeBytes(path(QStringLiteral("first")), encoded(Doc));
    const QString filler = folder + u"/filler";
    if (freeBytes >= 0)
        fillFileSystem(filler, freeBytes);

    const qint64 size = encoded(content).size();
    const qint64 limit = limitAt == int(LimitAt::Start)      ? 0
                         : limitAt == int(LimitAt::Middle)   ? size / 2
                         : limitAt == int(LimitAt::LastByte) ? size - 1
                                                             : RLIM_INFINITY;
    // Retry: the limit is lifted after the first write.
    const bool retry = answer == MsgBoxButton::Retry;
    LimitedFileStore files(limit, retry ? 1 : -1);
    Bench b(&files);
    QVERIFY(b.doc.LoadAs(path(QStringLiteral("first"))));
    b.view.edit(content);
    ScriptedResponder &responder = b.responder;
    responder.chooseFile(target).button(answer);
    QCOMPARE(b.doc.SaveAs(), retry);

    QCOMPARE(responder.last().style, answer == MsgBoxButton::OK ? 16 : 21);
    QVERIFY2(responder.last().text.startsWith(target + u"\r\n\r\nCan't save file."),
             qPrintable(responder.last().text));
    QFile::remove(filler);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"target.RegExp"});
    verifyDocument(b, content, retry ? QStringLiteral("sub/target") : QStringLiteral("*first"));
    QCOMPARE(readFields(target), retry ? content : Other);
}

void tst_Document::commands_data()
{
    QTest::addColumn<QString>("start"); // "new" or "doc", with "*" when edited to Work
    QTest::addColumn<QString>("command");
    // Buttons pressed, or "S:name" / "O:name" the file chosen in a save / open dialog
    // ("S:" / "O:" cancel it).
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<bool>("done");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("written"); // the file that now holds Work

    const auto row = [](const char *name, const char *start, const char *command,
                        const QStringList &script, bool done, const char *end,
                        const char *written = "") {
        QTest::newRow(name) << start << command << script << done << end << written;
    };
    row("Open on a clean new document", "new", "Open", {"O:other"}, true, "other");
    row("dirty, Open: Yes, save dialog cancelled, cancels", "*new", "Open", {"Yes", "S:"}, false,
        "*new");
    row("dirty, Open: Yes, saved, opened", "*new", "Open", {"Yes", "S:saved", "O:other"}, true,
        "other", "saved");
    row("dirty, Open: Cancel stops at once", "*new", "Open", {"Cancel"}, false, "*new");
    row("dirty file, Open: Yes saves it", "*doc", "Open", {"Yes", "O:other"}, true, "other", "doc");
    row("Save on new is Save as", "*new", "Save", {"S:saved"}, true, "saved", "saved");
    row("Save on a file writes without a dialog", "*doc", "Save", {}, true, "doc", "doc");
    row("Save as offers the current name", "*doc", "SaveAs", {"S:saved"}, true, "saved", "saved");
    row("LoadAs never prompts", "*new", "LoadAs", {}, true, "other");
    row("New while dirty: No gives up the edits", "*new", "New", {"No"}, true, "new");
    row("New while dirty, cancelled, changes nothing", "*new", "New", {"Cancel"}, false, "*new");
}

void tst_Document::commands()
{
    QFETCH(QString, start);
    QFETCH(QString, command);
    QFETCH(QStringList, script);
    QFETCH(bool, done);
    QFETCH(QString, end);
    QFETCH(QString, written);

    writeBytes(path(QStringLiteral("doc")), encoded(Doc));
    writeBytes(path(QStringLiteral("other")), encoded(Other));
    Bench b;
    QString name; // the document's file while the command runs
    if (start.endsWith(u"doc")) {
        QVERIFY(b.doc.LoadAs(path(QStringLiteral("doc"))));
        name = path(QStringLiteral("doc"));
    }
    if (start.startsWith(u'*'))
        b.view.edit(Work);

    const QMap<QString, int> buttons{
        {"Yes", MsgBoxButton::Yes}, {"No", MsgBoxButton::No}, {"Cancel", MsgBoxButton::Cancel}};
    ScriptedResponder &responder = b.responder;
    for (const QString &step : script) {
        if (buttons.contains(step))
            responder.button(buttons.value(step));
        else if (step.size() == 2)
            responder.cancelDialog();
        else
            responder.chooseFile(path(step.mid(2)));
    }
    const QMap<QString, std::function<bool()>> commands{
        {"New", [&] { return b.doc.Clear(); }},
        {"Open", [&] { return b.doc.Load(); }},
        {"LoadAs", [&] { return b.doc.LoadAs(path(QStringLiteral("other"))); }},
        {"Save", [&] { return b.doc.Save(); }},
        {"SaveAs", [&] { return b.doc.SaveAs(); }}};
    b.view.m_quiet.clear();
    QCOMPARE(commands.value(command)(), done);
    // A command that sets the controls of a clean document does so quietly, under the wait
    // pointer, also after saving on the way (the busy state nests).
    if (done && (!start.startsWith(u'*') || script.contains(QStringLiteral("Yes"))))
        QVERIFY(!b.view.m_quiet.contains(false));
    QCOMPARE(responder.shown().size(), script.size());

    // Every prompt names the file; every dialog starts in its folder, and Save as offers it.
    for (qsizetype i = 0; i < script.size(); ++i) {
        const ModalRequest &request = responder.shown().at(i);
        if (buttons.contains(script.at(i))) {
            QCOMPARE(request.text,
                     QString((name.isEmpty() ? QString() : name + u"\r\n\r\n") + u"Save changes?"));
            QCOMPARE(request.style, 35);
            QCOMPARE(request.caption, QStringLiteral("Brackwen - Sievewright"));
            continue;
        }
        const bool save = script.at(i).startsWith(u'S');
        QCOMPARE(request.kind, save ? ModalKind::SaveFile : ModalKind::OpenFile);
        QCOMPARE(request.filter, QStringLiteral("RegExp files|*.RegExp|All files|*.*"));
        QCOMPARE(request.defaultExt, QStringLiteral("RegExp"));
        QCOMPARE(request.initialDir, name.isEmpty() ? QDir::currentPath() : m_dir->path());
        QCOMPARE(request.text, save ? name : QString());
        if (save && script.at(i).size() > 2)
            name = path(script.at(i).mid(2));
    }

    // A clean document shows what its file holds; files not saved to are as they were.
    const State shown = end == u"new" ? NewState : readFields(path(end));
    verifyDocument(b, end.startsWith(u'*') ? Work : shown, end);
    for (const QString &file :
         {QStringLiteral("doc"), QStringLiteral("other"), QStringLiteral("saved")}) {
        const State held = file == u"doc" ? Doc : file == u"other" ? Other : State();
        QCOMPARE(readFields(path(file)), file == written ? Work : held);
    }
}

QTEST_MAIN(tst_Document)
#include "tst_document.moc"
