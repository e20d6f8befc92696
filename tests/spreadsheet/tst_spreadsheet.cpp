#include "runner/spreadsheet/excelapplication.h"
#include "runner/spreadsheet/exportfolder.h"
#include "runner/spreadsheet/exportmatches.h"
#include "support/messagebox.h"
#include "support/mousepointer.h"
#include "tests/spreadsheet/xlsxreader.h"
#include "tests/support/recordingopener.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"

#include <QDateTime>
#include <QDir>
#include <QMap>
#include <QRegularExpression>
#include <QTest>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace {

// A match as the engine reports it: its text, then its groups' (nullopt: took no part).
using FakeMatch = std::vector<std::optional<QString>>;

// A collection over a source made of the matches' texts one after the other.
engine::MatchCollection collectionOf(const std::vector<FakeMatch> &matches)
{
    auto data = std::make_shared<engine::detail::MatchData>();
    data->groupCount = matches.empty() ? 0 : int(matches.front().size()) - 1;
    std::u16string source;
    for (const FakeMatch &match : matches) {
        for (const std::optional<QString> &text : match) {
            data->offsets.push_back(text ? std::int32_t(source.size()) : -1);
            if (text)
                source.append(reinterpret_cast<const char16_t *>(text->utf16()), text->size());
            data->offsets.push_back(text ? std::int32_t(source.size()) : -1);
        }
    }
    data->source = std::make_shared<const std::u16string>(std::move(source));
    return engine::MatchCollection(std::move(data));
}

} // namespace

class tst_Spreadsheet : public QObject
{
    Q_OBJECT

    // Takes the files handed to the spreadsheet application; a new one for each test.
    std::unique_ptr<RecordingOpener> m_opener;
    QString m_tempDir;
    QString m_exportDir;

    // The sheet last handed to the spreadsheet application.
    XlsxSheet opened() const
    {
        const XlsxSheet sheet =
            readXlsx(m_opener->opened().isEmpty() ? QString() : m_opener->opened().last().path);
        if (sheet.sheetCount != 1)
            QTest::qFail("not a workbook of one sheet", __FILE__, __LINE__);
        return sheet;
    }
    XlsxSheet exported(const engine::MatchCollection &matches)
    {
        ScriptedResponder noMessages;
        ExportMatchesToExcel(matches, *m_opener, noMessages);
        return opened();
    }

private Q_SLOTS:
    void initTestCase()
    {
        initTestEnvironment();
        m_tempDir = testScratchDir() + u"/tmp";
        m_exportDir = ExportFolder::path();
        QVERIFY(m_exportDir.startsWith(testScratchDir() + u'/'));
    }
    void init()
    {
        QDir(m_tempDir).removeRecursively();
        QDir().mkpath(m_tempDir);
        QFile::remove(m_exportDir);
        QDir(m_exportDir).removeRecursively();
        qputenv("TMPDIR", QFile::encodeName(m_tempDir));
        m_opener = std::make_unique<RecordingOpener>();
    }

    void everyMatchAndGroupGetsItsCell();
    void exportOrEarlyEnd_data();
    void exportOrEarlyEnd();
    void cellShowsExactlyTheText_data();
    void cellShowsExactlyTheText();
    void tooLongCellsAreCut_data();
    void tooLongCellsAreCut();
    void exportsOlderThanADayGo();
    void savedWhereNothingOpensIt_data();
    void savedWhereNothingOpensIt();
};

void tst_Spreadsheet::everyMatchAndGroupGetsItsCell()
{
    // 150 matches of eight groups, of which some are empty and some took no part.
    std::vector<FakeMatch> matches;
    for (int i = 1; i <= 150; ++i) {
        matches.push_back({QStringLiteral("m%1").arg(i)});
        for (int g = 1; g <= 8; ++g) {
            std::optional<QString> group; // took no part
            if (const int kind = (i + g) % 3)
                group = kind == 1 ? QString() : QStringLiteral("g%1.%2").arg(i).arg(g);
            matches.back().push_back(group);
        }
    }
    const XlsxSheet sheet = exported(collectionOf(matches));
    QCOMPARE(sheet.lastRow, 151);
    QCOMPARE(sheet.lastColumn, 9);
    for (int i = 1; i <= 150; ++i) {
        for (int c = 1; c <= 9; ++c) {
            const QString text = matches[i - 1][c - 1].value_or(QString());
            QCOMPARE(sheet.has(cellReference(i + 1, c)), !text.isEmpty());
            QCOMPARE(sheet.text(cellReference(i + 1, c)), text);
        }
    }

    // The header's seven columns are bold; the data and the groups beyond them are not.
    QCOMPARE(sheet.name, QStringLiteral("Matches"));
    for (int c = 1; c <= 7; ++c) {
        const XlsxCell cell = sheet.cells.value(cellReference(1, c));
        QCOMPARE(cell.text,
                 c == 1 ? QStringLiteral("Match") : QStringLiteral("Submatch #%1").arg(c - 1));
        QVERIFY(cell.bold);
    }
    QVERIFY(!sheet.has(QStringLiteral("H1")) && !sheet.has(QStringLiteral("I1")));
    QVERIFY(!sheet.cells.value(QStringLiteral("A2")).bold);
}

void tst_Spreadsheet::cellShowsExactlyTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("marked"); // kept text by the text marker

    QTest::newRow("formula stays text") << QStringLiteral("=1+1") << true;
    QTest::newRow("negative number stays text") << QStringLiteral("-5") << true;
    QTest::newRow("apostrophe is shown") << QStringLiteral("'x") << true;
    QTest::newRow("line breaks, tab and control characters kept")
        << QStringLiteral("a\r\nb\rc\t\x01\x1f\x0b") << false;
    QTest::newRow("text like an escape kept") << QStringLiteral("_x0041_ _x00e9_") << false;
    QTest::newRow("XML specials and blanks at both ends kept")
        << QStringLiteral("  <a&b>\"]]>  ") << false;
    QTest::newRow("supplementary, lone surrogates and non-characters kept")
        << QStringLiteral("\U0001F600") + QChar(0xDC00) + QStringLiteral("x") + QChar(0xD800) +
               QChar(0xFFFE) + QChar(0xFFFF)
        << false;
    QTest::newRow("longest cell text fits") << QString(excel::MaxCellLength, u'a') << false;
    QTest::newRow("marker does not count")
        << QStringLiteral("=") + QString(excel::MaxCellLength - 1, u'a') << true;
}

void tst_Spreadsheet::cellShowsExactlyTheText()
{
    QFETCH(QString, text);
    QFETCH(bool, marked);
    const XlsxSheet sheet =
        exported(collectionOf({{text, text}, {QStringLiteral("second"), QStringLiteral("b")}}));
    for (const QString &ref : {QStringLiteral("A2"), QStringLiteral("B2")}) {
        const XlsxCell cell = sheet.cells.value(ref);
        QCOMPARE(cell.text, text);
        QCOMPARE(cell.type, QStringLiteral("s"));
        QVERIFY(!cell.formula);
        // The marked cells are formatted as text, so that editing them keeps them text.
        QCOMPARE(cell.numberFormat == 49, marked);
    }
}

void tst_Spreadsheet::exportOrEarlyEnd_data()
{
    QTest::addColumn<QStringList>("values"); // of the matches
    QTest::addColumn<QString>("failure");    // what else makes the export fail
    QTest::addColumn<int>("lastRow");        // of the sheet opened; -1: none is opened
    QTest::addColumn<QString>("message");    // the failure's description; "" for none

    const QStringList ab{"a", "b"};
    QTest::newRow("no match: nothing") << QStringList() << "" << -1 << "";
    QTest::newRow("one empty match: nothing") << QStringList{""} << "" << -1 << "";
    QTest::newRow("all-empty matches: header and empty cells") << QStringList(3) << "" << 1 << "";
    QTest::newRow("sheet past its last row")
        << QStringList(excel::MaxRows) << "" << 1 << "Row 1048577 lies outside the worksheet";
    QTest::newRow("cache folder can't be made")
        << ab << "folder" << -1 << "Can't create a file in the folder";
}

void tst_Spreadsheet::exportOrEarlyEnd()
{
    QFETCH(QStringList, values);
    QFETCH(QString, failure);
    QFETCH(int, lastRow);
    QFETCH(QString, message);

    m_opener = std::make_unique<RecordingOpener>(failure != u"opener");
    if (failure == u"folder") {
        QDir().mkpath(QFileInfo(m_exportDir).path());
        QFile blocker(m_exportDir);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    std::vector<FakeMatch> matches;
    for (const QString &value : values)
        matches.push_back({value});
    ScriptedResponder responder;
    if (!message.isEmpty())
        responder.button(1);
    ExportMatchesToExcel(collectionOf(matches), *m_opener, responder);

    QCOMPARE(mousePointer(), MousePointer::Default);
    QCOMPARE(responder.shown().size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QCOMPARE(responder.last().style, 16);
        QVERIFY2(responder.last().text.startsWith(
                     u"Can't generate XSL file. Microsoft Office is not installed or Excel is "
                     u"not working.\n\n" +
                     message),
                 qPrintable(responder.last().text));
    }
    // What was written is handed over, as a file of the cache folder named for its time; the
    // temporary folder keeps nothing.
    QCOMPARE(m_opener->opened().size(), lastRow < 0 ? 0 : 1);
    QCOMPARE(QDir(m_exportDir).entryList(QDir::Files).size(), m_opener->opened().size());
    QCOMPARE(QDir(m_tempDir).entryList(QDir::Files | QDir::Hidden).size(), 0);
    if (lastRow < 0)
        return;
    static const QRegularExpression name(
        QStringLiteral(R"(^Sievewright matches \d{4}-\d\d-\d\d \d\d\.\d\d\.\d\d( \(\d\))?\.xlsx$)"));
    QCOMPARE(QFileInfo(m_opener->opened().last().path).absolutePath(), m_exportDir);
    QVERIFY2(name.match(QFileInfo(m_opener->opened().last().path).fileName()).hasMatch(),
             qPrintable(m_opener->opened().last().path));
    QCOMPARE(m_opener->opened().last().pointer, MousePointer::Hourglass);
    const XlsxSheet sheet = opened();
    QCOMPARE(sheet.lastRow, lastRow);
    QCOMPARE(sheet.lastColumn, 7);
    QCOMPARE(sheet.text(QStringLiteral("A3")), lastRow == 3 ? QStringLiteral("b") : QString());

    // Another export, in the same second or not, gets another file; the one already open is
    // left alone.
    if (!message.isEmpty())
        return;
    ExportMatchesToExcel(collectionOf(matches), *m_opener, responder);
    QCOMPARE(m_opener->opened().size(), 2);
    QVERIFY(m_opener->opened().first().path != m_opener->opened().last().path);
    QVERIFY(name.match(QFileInfo(m_opener->opened().last().path).fileName()).hasMatch());
    QVERIFY(QFile::exists(m_opener->opened().first().path));
}

void tst_Spreadsheet::tooLongCellsAreCut_data()
{
    QTest::addColumn<QList<QStringList>>("matches"); // value, then one group
    QTest::addColumn<QStringList>("cells");          // A2, B2, A3, B3, ... as the sheet shows them
    QTest::addColumn<QString>("message");

    const qsizetype limit = excel::MaxCellLength;
    const QString a(limit, u'a');
    const QString pairAtLimit = QString(limit - 1, u'd') + QStringLiteral("\U0001F600e");
    QTest::newRow("one match too long: cut, the rest written")
        << QList<QStringList>{{a + QStringLiteral("bc"), QStringLiteral("x")},
                              {QStringLiteral("y"), QStringLiteral("z")}}
        << QStringList{a, QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")}
        << QStringLiteral("1 cell was cut to 32,767 characters, the most a cell can hold.");
    QTest::newRow("marker does not count; a pair at the limit stays whole")
        << QList<QStringList>{{QStringLiteral("=") + a, QStringLiteral("w")},
                              {QStringLiteral("v"), pairAtLimit},
                              {a, a}}
        << QStringList{QStringLiteral("=") + QString(limit - 1, u'a'),
                       QStringLiteral("w"),
                       QStringLiteral("v"),
                       QString(limit - 1, u'd'),
                       a,
                       a}
        << QStringLiteral("2 cells were cut to 32,767 characters, the most a cell can hold.");
}

void tst_Spreadsheet::tooLongCellsAreCut()
{
    QFETCH(QList<QStringList>, matches);
    QFETCH(QStringList, cells);
    QFETCH(QString, message);

    std::vector<FakeMatch> fake;
    for (const QStringList &match : matches)
        fake.push_back({match.at(0), match.at(1)});
    ScriptedResponder responder;
    responder.button(1);
    ExportMatchesToExcel(collectionOf(fake), *m_opener, responder);

    // One message, after the sheet was handed over and the pointer is back.
    QCOMPARE(responder.shown().size(), 1);
    QCOMPARE(responder.last().style, 64);
    QCOMPARE(responder.last().caption, QStringLiteral("Brackwen - Sievewright"));
    QCOMPARE(responder.last().text, message);
    QCOMPARE(m_opener->opened().size(), 1);
    QCOMPARE(mousePointer(), MousePointer::Default);
    const XlsxSheet sheet = opened();
    QCOMPARE(sheet.lastRow, int(matches.size()) + 1);
    for (qsizetype i = 0; i < cells.size(); ++i)
        QCOMPARE(sheet.text(cellReference(int(i / 2) + 2, int(i % 2) + 1)), cells.at(i));
}

void tst_Spreadsheet::exportsOlderThanADayGo()
{
    // Exports and other files, some a little older than a day and some a little younger.
    QVERIFY(QDir().mkpath(m_exportDir));
    const QDateTime now = QDateTime::currentDateTime();
    const struct
    {
        QString name;
        int ageMinutes;
        bool stays;
    } files[] = {
        {QStringLiteral("Sievewright matches 2000-01-01 00.00.00.xlsx"), 24 * 60 + 5, false},
        {QStringLiteral("Sievewright matches 2000-01-02 00.00.00 (2).xlsx"), 30 * 24 * 60, false},
        {QStringLiteral("Sievewright matches 2000-01-03 00.00.00.xlsx"), 24 * 60 - 5, true},
        {QStringLiteral("Book1-abcdef.xlsx"), 30 * 24 * 60, true},
        {QStringLiteral("Sievewright matches notes.txt"), 30 * 24 * 60, true},
    };
    for (const auto &file : files) {
        QFile out(m_exportDir + u'/' + file.name);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QVERIFY(
            out.setFileTime(now.addSecs(-60 * file.ageMinutes), QFileDevice::FileModificationTime));
    }

    exported(collectionOf({{QStringLiteral("a")}, {QStringLiteral("b")}}));
    for (const auto &file : files)
        QVERIFY2(QFile::exists(m_exportDir + u'/' + file.name) == file.stays,
                 qPrintable(file.name));
    QVERIFY(QFile::exists(m_opener->opened().last().path));
}

void tst_Spreadsheet::savedWhereNothingOpensIt_data()
{
    // The answers, in order: a button of a box ("yes" Open Folder, "no" Save a Copy, "cancel"
    // Close, "retry"), a file chosen in a dialog ("file:NAME", NAME in the scratch folder or
    // "missing/NAME" in one that does not exist) or a dialog cancelled ("nofile").
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<bool>("folderOpens");
    QTest::addColumn<int>("offers");       // times the saved message was shown
    QTest::addColumn<QString>("copiedTo"); // where a copy must be, "" for none
    QTest::addColumn<bool>("folderAskedFor");

    QTest::newRow("Close: the workbook stays where it was saved")
        << QStringList{"cancel"} << false << 1 << "" << false;
    QTest::newRow("Open Folder hands the folder over")
        << QStringList{"yes"} << true << 1 << "" << true;
    QTest::newRow("a folder that opens nothing either: offered again")
        << QStringList{"yes", "cancel"} << false << 2 << "" << true;
    QTest::newRow("Save a Copy writes the workbook where chosen")
        << QStringList{"no", "file:copy.xlsx"} << false << 1 << "copy.xlsx" << false;
    QTest::newRow("Save a Copy cancelled: offered again")
        << QStringList{"no", "nofile", "cancel"} << false << 2 << "" << false;
    QTest::newRow("a copy that can't be written: Retry, Cancel, offered again")
        << QStringList{"no", "file:missing/copy.xlsx", "retry", "cancel", "cancel"} << false << 2
        << "" << false;
}

void tst_Spreadsheet::savedWhereNothingOpensIt()
{
    QFETCH(QStringList, answers);
    QFETCH(bool, folderOpens);
    QFETCH(int, offers);
    QFETCH(QString, copiedTo);
    QFETCH(bool, folderAskedFor);

    const QString scratch = testScratchDir() + u"/copies";
    QDir(scratch).removeRecursively();
    QVERIFY(QDir().mkpath(scratch));
    m_opener = std::make_unique<RecordingOpener>(false);
    ScriptedResponder responder;
    const QMap<QString, int> buttons = {{"yes", MsgBoxButton::Yes},
                                        {"no", MsgBoxButton::No},
                                        {"cancel", MsgBoxButton::Cancel},
                                        {"retry", MsgBoxButton::Retry}};
    for (const QString &answer : answers) {
        if (answer.startsWith(u"file:"))
            responder.chooseFile(scratch + u'/' + answer.mid(5));
        else if (answer == u"nofile")
            responder.cancelDialog();
        else
            responder.button(buttons.value(answer));
    }
    // The workbook opens in nothing; its folder opens where the row says.
    responder.onShow = [&](const ModalRequest &) { m_opener->setStarts(folderOpens); };
    ExportMatchesToExcel(collectionOf({{QStringLiteral("a")}, {QStringLiteral("b")}}), *m_opener,
                         responder);

    QCOMPARE(responder.pending(), 0);
    const QString workbook = m_opener->opened().first().path;
    QVERIFY(QFile::exists(workbook));
    int shown = 0;
    for (const ModalRequest &request : responder.shown()) {
        if (!request.text.startsWith(u"The matches were saved to"))
            continue;
        ++shown;
        QVERIFY(request.text.contains(QDir::toNativeSeparators(workbook)));
        QVERIFY(!request.text.contains(u"Can't generate"));
        QCOMPARE(request.buttonTexts, (QStringList{"Open Folder", "Save a Copy...", "Close"}));
    }
    QCOMPARE(shown, offers);
    const bool askedForFolder =
        m_opener->opened().size() > 1 &&
        m_opener->opened().last().path == QFileInfo(workbook).absolutePath();
    QCOMPARE(askedForFolder, folderAskedFor);
    const QStringList copies = QDir(scratch).entryList(QDir::Files);
    QCOMPARE(copies, copiedTo.isEmpty() ? QStringList() : QStringList{copiedTo});
    if (!copiedTo.isEmpty()) {
        QFile original(workbook);
        QFile copy(scratch + u'/' + copiedTo);
        QVERIFY(original.open(QIODevice::ReadOnly) && copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), original.readAll());
    }
}

QTEST_MAIN(tst_Spreadsheet)
#include "tst_spreadsheet.moc"
