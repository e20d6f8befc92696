#include "support/apperror.h"
#include "support/textfile.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <unistd.h>

namespace {

template<qsizetype N>
QByteArray raw(const char (&literal)[N])
{
    return QByteArray(literal, N - 1);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString units(std::initializer_list<char16_t> list)
{
    QString text;
    for (char16_t unit : list)
        text.append(QChar(unit));
    return text;
}

} // namespace

class tst_TextFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void init();
    void cleanup();

    void roundTrip_data();
    void roundTrip();
    void readsForeignFiles_data();
    void readsForeignFiles();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void readFailure_data();
    void readFailure();

private:
    QString path(const QString &name) const { return m_dir->path() + u'/' + name; }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_TextFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>(testScratchDir() + u"/textfile-XXXXXX");
    QVERIFY(m_dir->isValid());
}

void tst_TextFile::cleanup()
{
    TextFile::instance().setWriteFault(TextFile::WriteFault::None);
    m_dir.reset();
}

void tst_TextFile::roundTrip_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QString();
    QTest::newRow("NUL alone") << units({0});
    QTest::newRow("NULs between text") << units({u'a', 0, 0, u'b', 0});
    QTest::newRow("lone high surrogate") << units({u'x', 0xD83D, u'y'});
    QTest::newRow("lone low surrogate at the end") << units({u'x', 0xDE00});
    QTest::newRow("reversed surrogate pair") << units({0xDE00, 0xD83D});
    QTest::newRow("valid surrogate pair") << units({0xD83D, 0xDE00});
    QTest::newRow("CR alone") << units({u'\r'});
    QTest::newRow("LF alone") << units({u'\n'});
    QTest::newRow("CR LF kept as a pair") << units({u'a', u'\r', u'\n', u'b', u'\r', u'\n'});
    QTest::newRow("LF CR not normalised") << units({u'\n', u'\r'});
    QTest::newRow("U+FFFF") << units({0xFFFF});
    QTest::newRow("leading U+FEFF is content") << units({0xFEFF, u'a'});
    QTest::newRow("leading U+FFFE is content") << units({0xFFFE});
    QString all;
    for (int unit = 0; unit <= 0xFFFF; ++unit)
        all.append(QChar(char16_t(unit)));
    QTest::newRow("every 16-bit code unit") << all;
}

void tst_TextFile::roundTrip()
{
    QFETCH(QString, text);

    const QString file = path("trip.txt");
    TextFile::instance().WriteText(file, text);
    const QByteArray bytes = readBytes(file);
    QCOMPARE(bytes.size(), 2 + 2 * text.size());
    QVERIFY(bytes.startsWith("\xFF\xFE"));
    if (!text.isEmpty()) {
        const char16_t first = text.at(0).unicode();
        QCOMPARE(quint8(bytes.at(2)), quint8(first & 0xFF));
        QCOMPARE(quint8(bytes.at(3)), quint8(first >> 8));
    }
    const QString back = TextFile::instance().ReadText(file);
    QCOMPARE(back.size(), text.size());
    QVERIFY(back == text);
}

void tst_TextFile::readsForeignFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty file") << QByteArray() << QString();
    QTest::newRow("ASCII") << raw("a\0b\r\n") << units({u'a', 0, u'b', u'\r', u'\n'});
    QTest::newRow("UTF-8 without byte-order mark")
        << raw("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80") << units({0xE9, 0x20AC, 0xD83D, 0xDE00});
    QTest::newRow("UTF-8 with byte-order mark")
        << raw("\xEF\xBB\xBF\xC3\xBC\0") << units({0xFC, 0});
    QTest::newRow("UTF-16BE with byte-order mark")
        << raw("\xFE\xFF\0a\0\0\x20\xAC\xD8\x3D") << units({u'a', 0, 0x20AC, 0xD83D});
    QTest::newRow("UTF-16LE with byte-order mark") << raw("\xFF\xFE"
                                                          "a\0\0\0")
                                                   << units({u'a', 0});
    QTest::newRow("Windows-1252") << raw("caf\xE9 \x80\x93\x9F\xFF")
                                  << u"caf\u00E9 \u20AC\u201C\u0178\u00FF"_qs;
    QTest::newRow("Windows-1252 unassigned bytes keep their value")
        << raw("\x81\x8D\x8F\x90\x9D") << units({0x81, 0x8D, 0x8F, 0x90, 0x9D});
    QTest::newRow("invalid UTF-8 read as Windows-1252")
        << raw("\xC3\xA9\xE9") << units({0xC3, 0xA9, 0xE9});
}

void tst_TextFile::readsForeignFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    const QString file = path("foreign.txt");
    writeBytes(file, bytes);
    QCOMPARE(TextFile::instance().ReadText(file), text);
}

void tst_TextFile::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<bool>("readOnlyFolder");

    QTest::newRow("temporary file can't be made")
        << int(TextFile::WriteFault::CreateTemporary) << false;
    QTest::newRow("short write") << int(TextFile::WriteFault::ShortWrite) << false;
    QTest::newRow("replace fails") << int(TextFile::WriteFault::Commit) << false;
    QTest::newRow("read-only folder") << int(TextFile::WriteFault::None) << true;
}

void tst_TextFile::failedWriteKeepsOldFile()
{
    QFETCH(int, fault);
    QFETCH(bool, readOnlyFolder);
    if (readOnlyFolder && geteuid() == 0)
        QSKIP("permissions don't bind the superuser");

    const QString sub = path("sub");
    QVERIFY(QDir().mkdir(sub));
    const QString file = sub + u"/old.txt";
    const QByteArray oldBytes = raw("\xFF\xFEo\0l\0d\0");
    writeBytes(file, oldBytes);

    TextFile::instance().setWriteFault(TextFile::WriteFault(fault));
    if (readOnlyFolder)
        QVERIFY(QFile::setPermissions(sub, QFile::ReadOwner | QFile::ExeOwner));
    bool threw = false;
    try {
        TextFile::instance().WriteText(file, QStringLiteral("new text"));
    } catch (const AppError &error) {
        threw = true;
        QVERIFY(!error.description().isEmpty());
    }
    QFile::setPermissions(sub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QVERIFY(threw);
    QCOMPARE(readBytes(file), oldBytes);
    QCOMPARE(QDir(sub).entryList(QDir::Files | QDir::Hidden), QStringList{"old.txt"});
}

void tst_TextFile::readFailure_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");

    QTest::newRow("missing file") << "missing.txt" << int(AppErrorNumber::FileNotFound);
    QTest::newRow("a folder") << "folder" << int(AppErrorNumber::PathFileAccess);
    QTest::newRow("larger than the read limit") << "huge.txt" << int(AppErrorNumber::OutOfMemory);
    QTest::newRow("inside a missing folder") << "none/x.txt" << int(AppErrorNumber::FileNotFound);
}

void tst_TextFile::readFailure()
{
    QFETCH(QString, name);
    QFETCH(int, number);

    const QString file = path(name);
    if (name == u"folder")
        QVERIFY(QDir().mkdir(file));
    if (name == u"huge.txt") {
        QFile huge(file);
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(TextFile::MaxReadBytes + 1));
    }
    try {
        TextFile::instance().ReadText(file);
        QFAIL("no error reported");
    } catch (const AppError &error) {
        QCOMPARE(error.number(), number);
        QVERIFY(!error.description().isEmpty());
    }

    // Writing over a folder or into a missing folder fails the same way.
    if (name == u"folder" || name.contains(u'/'))
        QVERIFY_THROWS_EXCEPTION(AppError, TextFile::instance().WriteText(file, "x"));
}

QTEST_MAIN(tst_TextFile)
#include "tst_textfile.moc"
