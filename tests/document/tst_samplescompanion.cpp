// The samples beside a pattern file: loaded, saved and emptied with it, an edit makes the
// document dirty, and a samples file that could not be read is never replaced unasked.

#include "document/cdocument.h"
#include "samples/sampleset.h"
#include "samples/samplesjson.h"
#include "support/apperror.h"
#include "support/messagebox.h"
#include "support/textfile.h"
#include "tests/document/fakeview.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray TwoSamples = R"({"version": 1, "samples": [
  {"text": "a1", "expect": "match"},
  {"text": "b", "expect": "no match", "note": "kept"}]}
)";

// The real file store, whose first writes of samples fail.
class SamplesWriteFails : public TextFile
{
public:
    int failures = 0;
    void WriteBytes(const QString &fileName, const QByteArray &bytes) override
    {
        if (failures > 0) {
            --failures;
            throw AppError(AppErrorNumber::DiskFull, QStringLiteral("The disk is full."));
        }
        TextFile::WriteBytes(fileName, bytes);
    }
};

struct Bench
{
    SamplesWriteFails files;
    ScriptedResponder responder;
    SampleSet samples;
    CDocument doc{files, responder};
    FakeView view{doc};
    Bench()
    {
        doc.attachSamples(samples);
        doc.Init(view);
    }
};

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

Sample sample(const QString &text)
{
    Sample s;
    s.text = text;
    return s;
}

} // namespace

class tst_SamplesCompanion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void init();

    void loadsBoth();
    void editsMakeDirtyAndAsk();
    void saveWritesOnlyWhatIsThere_data();
    void saveWritesOnlyWhatIsThere();
    void unreadableCompanion_data();
    void unreadableCompanion();
    void writeFailureOffersRetry();

private:
    QString pattern() const { return m_dir->path() + u"/work.RegExp"; }
    QString companion() const { return samplesFileName(pattern()); }
    void writePattern()
    {
        TextFile().WriteText(pattern(),
                             QStringList{"a", "", "", "1", "1", "1", "0"}.join(QChar(0)));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_SamplesCompanion::init()
{
    m_dir = std::make_unique<QTemporaryDir>(testScratchDir() + u"/companion-XXXXXX");
    QVERIFY(m_dir->isValid());
    writePattern();
}

void tst_SamplesCompanion::loadsBoth()
{
    put(companion(), TwoSamples);
    Bench b;
    QVERIFY(b.doc.LoadAs(pattern()));
    QCOMPARE(b.samples.count(), 2);
    QCOMPARE(b.samples.at(1).note, QString("kept"));
    QVERIFY(!b.doc.IsDirty());
    QVERIFY(b.responder.shown().isEmpty());

    // New empties them; a pattern file without a companion loads with none.
    QVERIFY(b.doc.Clear());
    QCOMPARE(b.samples.count(), 0);
    QFile::remove(companion());
    b.samples.reset({sample("left over")});
    QVERIFY(b.doc.LoadAs(pattern()));
    QCOMPARE(b.samples.count(), 0);
}

void tst_SamplesCompanion::editsMakeDirtyAndAsk()
{
    Bench b;
    QVERIFY(b.doc.LoadAs(pattern()));
    b.samples.insert(0, {sample("x")});
    QVERIFY(b.doc.IsDirty());
    QCOMPARE(b.view.caption(), QString("* Sievewright - [work.RegExp]"));

    // The save prompt covers the samples: Cancel keeps them, Yes writes both files.
    b.responder.button(MsgBoxButton::Cancel);
    QVERIFY(!b.doc.Clear());
    QCOMPARE(b.samples.count(), 1);
    QCOMPARE(b.responder.last().text, QString(pattern() + u"\r\n\r\nSave changes?"));
    b.responder.button(MsgBoxButton::Yes);
    QVERIFY(b.doc.Clear());
    QCOMPARE(parseSamples(bytesOf(companion())).samples, QList<Sample>{sample("x")});
}

void tst_SamplesCompanion::saveWritesOnlyWhatIsThere_data()
{
    QTest::addColumn<bool>("stale");    // a companion is on disk at the start
    QTest::addColumn<QString>("edits"); // "none", "add", "empty"
    QTest::addColumn<QByteArray>("after");

    const QByteArray one = writeSamples({sample("a1"), sample("new")});
    QTest::newRow("no samples write no file") << false << "none" << QByteArray("(none)");
    QTest::newRow("untouched samples rewritten")
        << true << "none" << writeSamples(parseSamples(TwoSamples).samples);
    QTest::newRow("added sample written") << true << "add" << one;
    QTest::newRow("samples saved empty remove the file") << true << "empty" << QByteArray("(none)");
}

void tst_SamplesCompanion::saveWritesOnlyWhatIsThere()
{
    QFETCH(bool, stale);
    QFETCH(QString, edits);
    QFETCH(QByteArray, after);
    if (stale)
        put(companion(), TwoSamples);
    Bench b;
    QVERIFY(b.doc.LoadAs(pattern()));
    if (edits == u"add") {
        b.samples.replace(1, sample("new"));
    } else if (edits == u"empty") {
        b.samples.remove(0, b.samples.count());
    }
    QVERIFY(b.doc.Save());
    QCOMPARE(bytesOf(companion()), after);
    QVERIFY(!b.doc.IsDirty());

    // Saving under another name where a stranger's samples lie leaves them when there are none.
    if (edits == u"none" && !stale) {
        const QString other = m_dir->path() + u"/other.RegExp";
        put(samplesFileName(other), "strange");
        b.responder.chooseFile(other);
        QVERIFY(b.doc.SaveAs());
        QCOMPARE(bytesOf(samplesFileName(other)), QByteArray("strange"));
    }
}

void tst_SamplesCompanion::unreadableCompanion_data()
{
    QTest::addColumn<bool>("folder"); // the companion is a folder rather than bad JSON
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("answer"); // to "Replace it with the samples shown now?"
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("replaced");

    const QString parse = QStringLiteral("Can't load the samples: sample 1: unknown \"expect\"");
    const QString folder = QStringLiteral("Can't load the samples: The name is a folder");
    QTest::newRow("unparsable, Yes replaces")
        << false << parse << MsgBoxButton::Yes << true << true;
    QTest::newRow("unparsable, No keeps it") << false << parse << MsgBoxButton::No << true << false;
    QTest::newRow("unparsable, Cancel stops the save")
        << false << parse << MsgBoxButton::Cancel << false << false;
    QTest::newRow("unreadable, No keeps it") << true << folder << MsgBoxButton::No << true << false;
}

void tst_SamplesCompanion::unreadableCompanion()
{
    QFETCH(bool, folder);
    QFETCH(QString, reason);
    QFETCH(int, answer);
    QFETCH(bool, saved);
    QFETCH(bool, replaced);
    const QByteArray bad = R"({"version": 1, "samples": [{"text": "a", "expect": "maybe"}]})";
    if (folder)
        QVERIFY(QDir().mkdir(companion()));
    else
        put(companion(), bad);

    Bench b;
    b.responder.button(MsgBoxButton::OK);
    QVERIFY(b.doc.LoadAs(pattern()));
    QCOMPARE(b.responder.last().style, MsgBoxStyle::Critical);
    QVERIFY(b.responder.last().text.startsWith(companion() + u"\r\n\r\n" + reason));
    QCOMPARE(b.view.m_fields.at(0), QString("a"));
    QCOMPARE(b.samples.count(), 0);

    // A Save with no samples leaves it alone without asking.
    QVERIFY(b.doc.Save());
    QCOMPARE(b.responder.shown().size(), 1);

    b.samples.insert(0, {sample("mine")});
    b.responder.button(answer);
    QCOMPARE(b.doc.Save(), saved);
    QCOMPARE(b.responder.last().style, MsgBoxStyle::YesNoCancelQuestion);
    QVERIFY(b.responder.last().text.endsWith(u"Replace it with the samples shown now?"));
    QCOMPARE(b.doc.IsDirty(), !saved);
    if (folder)
        QVERIFY(QFileInfo(companion()).isDir());
    else
        QCOMPARE(bytesOf(companion()), replaced ? writeSamples({sample("mine")}) : bad);
    // Once replaced, it is the document's own again.
    if (replaced) {
        b.samples.insert(0, {sample("more")});
        QVERIFY(b.doc.Save());
        QCOMPARE(b.responder.pending(), 0);
    }
}

void tst_SamplesCompanion::writeFailureOffersRetry()
{
    Bench b;
    QVERIFY(b.doc.LoadAs(pattern()));
    b.samples.insert(0, {sample("x")});
    b.files.failures = 2;
    b.responder.button(MsgBoxButton::Retry).button(MsgBoxButton::Cancel);
    QVERIFY(!b.doc.Save());
    QCOMPARE(b.responder.last().style, MsgBoxStyle::RetryCancelCritical);
    QVERIFY(b.responder.last().text.startsWith(companion() + u"\r\n\r\nCan't save file."));
    QVERIFY(b.doc.IsDirty());
    QCOMPARE(bytesOf(companion()), QByteArray("(none)"));

    b.files.failures = 1;
    b.responder.button(MsgBoxButton::Retry);
    QVERIFY(b.doc.Save());
    QVERIFY(!b.doc.IsDirty());
    QCOMPARE(bytesOf(companion()), writeSamples({sample("x")}));
}

QTEST_MAIN(tst_SamplesCompanion)
#include "tst_samplescompanion.moc"
