#include "runner/spreadsheet/excelapplication.h"
#include "runner/spreadsheet/exportmatches.h"
#include "support/desktopopener.h"
#include "support/mousepointer.h"
#include "tests/spreadsheet/xlsxreader.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QTest>

#include <functional>
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

    struct Opened
    {
        QString path;
        MousePointer pointer;
    };
    QList<Opened> m_opened; // the files handed to the spreadsheet application
    bool m_openerWorks = true;
    QString m_tempDir;

    // The sheet last handed to the spreadsheet application.
    XlsxSheet opened() const
    {
        const XlsxSheet sheet = readXlsx(m_opened.isEmpty() ? QString() : m_opened.last().path);
        if (sheet.sheetCount != 1)
            QTest::qFail("not a workbook of one sheet", __FILE__, __LINE__);
        return sheet;
    }
    XlsxSheet exported(const engine::MatchCollection &matches)
    {
        ScriptedResponder noMessages;
        ExportMatchesToExcel(matches);
        return opened();
    }

private Q_SLOTS:
    void initTestCase()
    {
        initTestEnvironment();
        m_tempDir = testScratchDir() + u"/tmp";
        DesktopOpener::instance().setOpener([this](const QString &path) {
            m_opened.append({path, mousePointer()});
            return m_openerWorks;
        });
    }
    void init()
    {
        QDir(m_tempDir).removeRecursively();
        QDir().mkpath(m_tempDir);
        qputenv("TMPDIR", QFile::encodeName(m_tempDir));
        m_opened.clear();
        m_openerWorks = true;
    }
    void cleanupTestCase() { DesktopOpener::instance().setOpener({}); }

    void everyMatchAndGroupGetsItsCell();
    void exportOrEarlyEnd_data();
    void exportOrEarlyEnd();
    void cellShowsExactlyTheText_data();
    void cellShowsExactlyTheText();
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
    const QString tooLong(excel::MaxCellLength + 1, u'c');
    QTest::newRow("no match: nothing") << QStringList() << "" << -1 << "";
    QTest::newRow("one empty match: nothing") << QStringList{""} << "" << -1 << "";
    QTest::newRow("all-empty matches: header and empty cells") << QStringList(3) << "" << 1 << "";
    QTest::newRow("no application opens the file")
        << ab << "opener" << 3 << "No application could be started";
    QTest::newRow("sheet past its last row")
        << QStringList(excel::MaxRows) << "" << 1 << "Row 1048577 lies outside the worksheet";
    QTest::newRow("text too long for a cell")
        << ab + QStringList{tooLong, "d"} << "" << 3 << "A cell holds at most 32767 characters";
    QTest::newRow("temporary folder not writable")
        << ab << "folder" << -1 << "Can't create a file in the temporary folder";
}

void tst_Spreadsheet::exportOrEarlyEnd()
{
    QFETCH(QStringList, values);
    QFETCH(QString, failure);
    QFETCH(int, lastRow);
    QFETCH(QString, message);

    m_openerWorks = failure != u"opener";
    if (failure == u"folder") {
        QFile blocker(testScratchDir() + u"/not-a-folder");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        qputenv("TMPDIR", QFile::encodeName(blocker.fileName()));
    }
    std::vector<FakeMatch> matches;
    for (const QString &value : values)
        matches.push_back({value});
    ScriptedResponder responder;
    if (!message.isEmpty())
        responder.button(1);
    ExportMatchesToExcel(collectionOf(matches));

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
    // What was written is handed over, as a fresh file in the temporary folder.
    QCOMPARE(m_opened.size(), lastRow < 0 ? 0 : 1);
    QCOMPARE(QDir(m_tempDir).entryList(QDir::Files).size(), m_opened.size());
    if (lastRow < 0)
        return;
    QVERIFY(m_opened.last().path.startsWith(m_tempDir + u'/'));
    QVERIFY(m_opened.last().path.endsWith(QStringLiteral(".xlsx")));
    QCOMPARE(m_opened.last().pointer, MousePointer::Hourglass);
    const XlsxSheet sheet = opened();
    QCOMPARE(sheet.lastRow, lastRow);
    QCOMPARE(sheet.lastColumn, 7);
    QCOMPARE(sheet.text(QStringLiteral("A3")), lastRow == 3 ? QStringLiteral("b") : QString());

    // Another export gets another file; the one already open is left alone.
    if (!message.isEmpty())
        return;
    ExportMatchesToExcel(collectionOf(matches));
    QCOMPARE(m_opened.size(), 2);
    QVERIFY(m_opened.first().path != m_opened.last().path);
    QVERIFY(QFile::exists(m_opened.first().path));
}

QTEST_MAIN(tst_Spreadsheet)
#include "tst_spreadsheet.moc"
