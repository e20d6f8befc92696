#include "support/apperror.h"
#include "support/textfile.h"
#include "tests/support/filesizelimit.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

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
    return QString(reinterpret_cast<const QChar *>(list.begin()), qsizetype(list.size()));
}

} // namespace

class tst_TextFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }

    void read_data();
    void read();
    void failure_data();
    void failure();
    void keepsMode_data();
    void keepsMode();
    void keepsAttributesAndLinks();
};

void tst_TextFile::read_data()
{
    QTest::addColumn<QByteArray>("bytes"); // of a file written elsewhere; "written": by WriteText
    QTest::addColumn<QString>("text");

    QString all;
    for (int unit = 0; unit <= 0xFFFF; ++unit)
        all.append(QChar(char16_t(unit)));
    const QByteArray written = "written";
    QTest::newRow("every 16-bit code unit, NUL to U+FFFF") << written << all;
    QTest::newRow("reversed pair and lone surrogates at both ends")
        << written << units({0xDE00, 0xD83D, u'x', 0xD83D, 0xDE00, 0xD800});
    QTest::newRow("CR LF, LF CR and lone CR and LF kept as they are")
        << written << units({u'a', u'\r', u'\n', u'\n', u'\r', u'\r', u'b', u'\n'});
    QTest::newRow("leading U+FEFF is content") << written << units({0xFEFF, u'a'});

    QTest::newRow("empty file") << QByteArray("") << QString();
    QTest::newRow("UTF-8 without byte-order mark")
        << QByteArrayLiteral("a\0\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80")
        << units({u'a', 0, 0xE9, 0x20AC, 0xD83D, 0xDE00});
    QTest::newRow("UTF-8 with byte-order mark")
        << QByteArrayLiteral("\xEF\xBB\xBF\xC3\xBC\0") << units({0xFC, 0});
    QTest::newRow("UTF-16BE with byte-order mark")
        << QByteArrayLiteral("\xFE\xFF\0a\0\0\x20\xAC\xD8\x3D") << units({u'a', 0, 0x20AC, 0xD83D});
    QTest::newRow("Windows-1252, its unassigned bytes keeping their value")
        << QByteArrayLiteral("caf\xE9 \x80\x93\x9F\xFF\x81\x8D\x8F\x90\x9D")
        << QStringLiteral("caf\u00E9 \u20AC\u201C\u0178\u00FF\u0081\u008D\u008F\u0090\u009D");
    QTest::newRow("invalid UTF-8 read as Windows-1252")
        << QByteArrayLiteral("\xC3\xA9\xE9") << units({0xC3, 0xA9, 0xE9});
}

void tst_TextFile::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    QTemporaryDir dir(testScratchDir() + u"/textfile-XXXXXX");
    const QString file = dir.filePath(QStringLiteral("read.txt"));
    TextFile files;
    if (bytes == "written") {
        // As UTF-16LE with a byte-order mark.
        files.WriteText(file, text);
        bytes = readBytes(file);
        QCOMPARE(bytes.size(), 2 + 2 * text.size());
        QVERIFY(bytes.startsWith("\xFF\xFE"));
        if (!text.isEmpty())
            QCOMPARE(quint8(bytes.at(2)) | quint8(bytes.at(3)) << 8, int(text.at(0).unicode()));
    }
    writeBytes(file, bytes);
    QVERIFY(files.ReadText(file) == text);
}

void tst_TextFile::failure_data()
{
    QTest::addColumn<QString>("name");   // in a folder that holds old.txt
    QTest::addColumn<bool>("write");     // "new text", 18 bytes as written; else read
    QTest::addColumn<qint64>("limit");   // the kernel's file size limit meanwhile; -1: none
    QTest::addColumn<int>("maxChars");   // the store's cap; 0: the program's
    QTest::addColumn<int>("number");     // of the error; 0: any
    QTest::addColumn<QString>("saying"); // a part of the description; empty: any

    const auto row = [](const char *name, const char *file, bool write, int number,
                        const char *saying = "", qint64 limit = -1, int maxChars = 0) {
        QTest::newRow(name) << QString::fromLatin1(file) << write << limit << maxChars << number
                            << QString::fromLatin1(saying);
    };
    const int full = AppErrorNumber::DiskFull;
    row("file size limit at 0 bytes", "old.txt", true, full, "file size limit", 0);
    row("file size limit in the middle", "old.txt", true, full, "file size limit", 9);
    row("file size limit at the last byte", "old.txt", true, full, "file size limit", 17);
    row("a text too large to be read back is not written", "old.txt", true,
        AppErrorNumber::OutOfMemory, "at most 4 are read", -1, 4);
    row("read-only folder", "old.txt", true, 0);
    row("writing over a folder", "folder", true, 0, "folder");
    row("writing through a symbolic link loop", "loop", true, 0, "loop");
    row("replacing a file that is a mount point", "mounted", true, 0, "Can't replace the file");
    row("reading a missing file", "missing.txt", false, AppErrorNumber::FileNotFound);
    row("reading a folder", "folder", false, AppErrorNumber::PathFileAccess);
    row("reading a symbolic link loop", "loop", false, AppErrorNumber::PathFileAccess, "loop");
    row("reading a FIFO does not wait for a writer", "fifo", false, AppErrorNumber::PathFileAccess,
        "FIFO");
    row("reading an endless device", "/dev/zero", false, AppErrorNumber::PathFileAccess, "device");
    row("reading past the byte limit", "huge.txt", false, AppErrorNumber::OutOfMemory, "bytes");
    row("reading more characters than the cap", "old.txt", false, AppErrorNumber::OutOfMemory,
        "3 characters; at most 2 are read", -1, 2);
    // A file in /proc reports size 0 but holds more: the cap holds for the bytes read.
    row("reading past the limit when the size says less", "/proc/self/maps", false,
        AppErrorNumber::OutOfMemory, "too large", -1, 300);
}

void tst_TextFile::failure()
{
    QFETCH(QString, name);
    QFETCH(bool, write);
    QFETCH(qint64, limit);
    QFETCH(int, maxChars);
    QFETCH(int, number);
    QFETCH(QString, saying);
    const bool readOnly = QByteArray(QTest::currentDataTag()) == "read-only folder";
    if (readOnly && geteuid() == 0)
        QSKIP("permissions don't bind the superuser");

    QTemporaryDir dir(testScratchDir() + u"/textfile-XXXXXX");
    const QByteArray oldBytes = QByteArrayLiteral("\xFF\xFEo\0l\0d\0");
    writeBytes(dir.filePath(QStringLiteral("old.txt")), oldBytes);
    const QString file = name.startsWith(u'/') ? name : dir.filePath(name);
    if (name == u"folder")
        QVERIFY(QDir().mkdir(file));
    QFile huge(file);
    if (name == u"huge.txt")
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(3 * TextFile::MaxChars + 4));
    if (name == u"fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    if (name == u"loop") {
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("loop2")), file));
        QVERIFY(QFile::link(file, dir.filePath(QStringLiteral("loop2"))));
    }
    bool mounted = false;
    const auto unmount = qScopeGuard([&] {
        if (mounted)
            QProcess::execute(QStringLiteral("umount"), {file});
        QFile::remove(file + u".source");
        if (name == u"mounted")
            QFile::remove(file);
    });
    if (name == u"mounted") {
        writeBytes(file, oldBytes);
        writeBytes(file + u".source", oldBytes);
        mounted = geteuid() == 0 && QProcess::execute(QStringLiteral("mount"),
                                                      {"--bind", file + u".source", file}) == 0;
        if (!mounted)
            QSKIP("binding a file over another needs the superuser");
    }
    TextFile files(maxChars ? maxChars : TextFile::MaxChars);
    if (readOnly)
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    try {
        std::optional<FileSizeLimit> limited;
        if (limit >= 0)
            limited.emplace(limit);
        if (write)
            files.WriteText(file, QStringLiteral("new text"));
        else
            files.ReadText(file);
        QFAIL("no error reported");
    } catch (const AppError &error) {
        QVERIFY(number == 0 || error.number() == number);
        QVERIFY(!error.description().isEmpty());
        QVERIFY2(error.description().contains(saying), qPrintable(error.description()));
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (mounted) {
        QCOMPARE(readBytes(file), oldBytes);
        QVERIFY(QProcess::execute(QStringLiteral("umount"), {file}) == 0);
        mounted = false;
    }
    for (const char *made : {"fifo", "loop", "loop2", "mounted", "mounted.source"})
        QFile::remove(dir.filePath(QString::fromLatin1(made)));
    // The old file as it was, and nothing left beside it.
    QCOMPARE(readBytes(dir.filePath(QStringLiteral("old.txt"))), oldBytes);
    QFile::remove(dir.filePath(QStringLiteral("huge.txt")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.txt"});
}

void tst_TextFile::keepsMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("read-only, saved by the superuser") << 0444;
    QTest::newRow("private") << 0600;
    QTest::newRow("group-readable and executable") << 0750;
}

void tst_TextFile::keepsMode()
{
    QFETCH(int, mode);
    if (!(mode & 0200) && geteuid() != 0)
        QSKIP("only the superuser may write over a read-only file");
    QTemporaryDir dir(testScratchDir() + u"/textfile-XXXXXX");
    const QString file = dir.filePath(QStringLiteral("kept.txt"));
    const QByteArray path = QFile::encodeName(file);
    TextFile files;
    files.WriteText(file, QStringLiteral("old"));
    QCOMPARE(::chmod(path.constData(), mode_t(mode)), 0);
    files.WriteText(file, QStringLiteral("new"));
    struct stat info;
    QCOMPARE(::stat(path.constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 07777), mode);
    QCOMPARE(files.ReadText(file), QStringLiteral("new"));
}

void tst_TextFile::keepsAttributesAndLinks()
{
    QTemporaryDir dir(testScratchDir() + u"/textfile-XXXXXX");
    const QString file = dir.filePath(QStringLiteral("kept.txt"));
    const QByteArray path = QFile::encodeName(file);
    TextFile files;
    files.WriteText(file, QStringLiteral("old"));
    const bool attributes = ::setxattr(path.constData(), "user.sievewright", "kept", 4, 0) == 0;
    const QString link = dir.filePath(QStringLiteral("link.txt"));
    const QString hardLink = dir.filePath(QStringLiteral("hard.txt"));
    QVERIFY(QFile::link(file, link));
    QCOMPARE(::link(path.constData(), QFile::encodeName(hardLink).constData()), 0);

    // Saved through the symbolic link: the file it leads to gets the text, the link stays.
    files.WriteText(link, QStringLiteral("new"));
    QCOMPARE(QFileInfo(link).symLinkTarget(), file);
    QCOMPARE(files.ReadText(file), QStringLiteral("new"));
    if (attributes) {
        char value[8] = {};
        QCOMPARE(::getxattr(path.constData(), "user.sievewright", value, sizeof value), 4);
        QCOMPARE(QByteArray(value), QByteArray("kept"));
    }
    // The save replaces the file: another hard link keeps the old text.
    QCOMPARE(files.ReadText(hardLink), QStringLiteral("old"));
    if (!attributes)
        QSKIP("this file system keeps no user attributes");
}

QTEST_MAIN(tst_TextFile)
#include "tst_textfile.moc"
