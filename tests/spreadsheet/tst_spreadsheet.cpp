#include "runner/modregexp.h"
#include "runner/plainresultstree.h"
#include "runner/spreadsheet/excelapplication.h"
#include "runner/spreadsheet/exportmatches.h"
#include "support/desktopopener.h"
#include "support/mousepointer.h"
#include "tests/spreadsheet/xlsxreader.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"

#include <QApplication>
#include <QDir>
#include <QTest>

#include <functional>
#include <optional>
#include <vector>

namespace {

const QString exportFailed = u"Can't generate XSL file. Microsoft Office is not installed or "
                             u"Excel is not working."_qs;

// A match as the engine reports it: its text and, per group, the text (nullopt: took no part).
struct FakeMatch
{
    QString value;
    std::vector<std::optional<QString>> groups;
};

// A collection over a source made of the matches' texts one after the other.
engine::MatchCollection collectionOf(const std::vector<FakeMatch> &matches, int groups = 0)
{
    auto data = std::make_shared<engine::detail::MatchData>();
    data->groupCount = groups;
    std::u16string source;
    const auto add = [&](const QString &text) {
        data->offsets.push_back(static_cast<std::int32_t>(source.size()));
        source.append(reinterpret_cast<const char16_t *>(text.utf16()), text.size());
        data->offsets.push_back(static_cast<std::int32_t>(source.size()));
    };
    for (const FakeMatch &match : matches) {
        add(match.value);
        for (int g = 0; g < groups; ++g) {
            const auto &group = g < int(match.groups.size()) ? match.groups[g] : std::nullopt;
            if (group) {
                add(*group);
            } else {
                data->offsets.push_back(-1);
                data->offsets.push_back(-1);
            }
        }
    }
    data->source = std::make_shared<const std::u16string>(std::move(source));
    return engine::MatchCollection(std::move(data));
}

// n matches with the same text.
engine::MatchCollection repeated(int n, const QString &text)
{
    auto data = std::make_shared<engine::detail::MatchData>();
    data->source = std::make_shared<const std::u16string>(
        reinterpret_cast<const char16_t *>(text.utf16()), text.size());
    data->offsets.reserve(2 * size_t(n));
    for (int i = 0; i < n; ++i) {
        data->offsets.push_back(0);
        data->offsets.push_back(static_cast<std::int32_t>(text.size()));
    }
    return engine::MatchCollection(std::move(data));
}

excel::Worksheet &sheet2(excel::Workbook &book)
{
    return book.Worksheets().Item(2);
}

} // namespace

using AutomationCall = std::function<void(excel::Workbook &)>;
Q_DECLARE_METATYPE(AutomationCall)

class tst_Spreadsheet : public QObject
{
    Q_OBJECT

private:
    struct Opened
    {
        QString path;
        MousePointer pointer;
    };
    QList<Opened> m_opened;
    bool m_openerWorks = true;
    QString m_tempDir;

    // Exports and reads back the one sheet that was opened.
    XlsxSheet exported(const engine::MatchCollection &matches)
    {
        ScriptedResponder noMessages;
        ExportMatchesToExcel(matches);
        [&] { QCOMPARE(m_opened.size(), 1); }();
        XlsxBook book;
        QString error;
        if (m_opened.isEmpty() || !readXlsx(m_opened.first().path, book, error) ||
            book.sheets.size() != 1) {
            QTest::qFail(qPrintable(u"can't read the sheet: "_qs + error), __FILE__, __LINE__);
            return {};
        }
        return book.sheets.first();
    }
    QStringList tempFiles() const { return QDir(m_tempDir).entryList(QDir::Files); }

private Q_SLOTS:
    void initTestCase()
    {
        initTestEnvironment();
        m_tempDir = testScratchDir() + u"/tmp";
        qputenv("TMPDIR", QFile::encodeName(m_tempDir));
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

    void toCellText_data();
    void toCellText();
    void headerRowAndFormats();
    void everyMatchGetsARow();
    void groupsBeyondTheHeader();
    void cellShowsExactlyTheText_data();
    void cellShowsExactlyTheText();
    void emptySubmatchesAreEmptyCells();
    void allEmptyMatchesGiveEmptyColumnA();
    void exportOrEarlyEnd_data();
    void exportOrEarlyEnd();
    void waitPointerWhileExporting();
    void failureIsReportedAndKeepsWhatWasWritten_data();
    void failureIsReportedAndKeepsWhatWasWritten();
    void runnerExportsAndKeepsTreeOnFailure_data();
    void runnerExportsAndKeepsTreeOnFailure();
    void refusedAutomationCalls_data();
    void refusedAutomationCalls();
};

void tst_Spreadsheet::toCellText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cellText");
    QTest::newRow("formula sign gets the marker") << u"=1+1"_qs << u"'=1+1"_qs;
    QTest::newRow("minus sign gets the marker") << u"-5"_qs << u"'-5"_qs;
    QTest::newRow("apostrophe gets the marker") << u"'x"_qs << u"''x"_qs;
    QTest::newRow("one marker at most") << u"=-1"_qs << u"'=-1"_qs;
    QTest::newRow("plus sign unchanged") << u"+5"_qs << u"+5"_qs;
    QTest::newRow("leading zeros unchanged") << u"007"_qs << u"007"_qs;
    QTest::newRow("sign inside unchanged") << u"a=-'"_qs << u"a=-'"_qs;
    QTest::newRow("empty unchanged") << QString() << QString();
}

void tst_Spreadsheet::toCellText()
{
    QFETCH(QString, text);
    QFETCH(QString, cellText);
    QCOMPARE(ToCellText(text), cellText);
}

void tst_Spreadsheet::headerRowAndFormats()
{
    const XlsxSheet sheet = exported(collectionOf({{u"a"_qs, {}}, {u"b"_qs, {}}}));
    QCOMPARE(sheet.name, u"Matches"_qs);
    const QStringList headers = {u"Match"_qs,       u"Submatch #1"_qs, u"Submatch #2"_qs,
                                 u"Submatch #3"_qs, u"Submatch #4"_qs, u"Submatch #5"_qs,
                                 u"Submatch #6"_qs};
    for (int c = 1; c <= 7; ++c) {
        const XlsxCell cell = sheet.cells.value(cellReference(1, c));
        QCOMPARE(cell.text, headers[c - 1]);
        QVERIFY(cell.format.bold);
        QVERIFY(cell.format.wrap);
        QCOMPARE(cell.format.horizontal, u"center"_qs);
        QCOMPARE(cell.format.vertical, u"top"_qs);
        QVERIFY2(sheet.columnWidths.value(c) >= 35 && sheet.columnWidths.value(c) < 36,
                 qPrintable(QString::number(sheet.columnWidths.value(c))));
    }
    QVERIFY(!sheet.has(u"H1"_qs));
    QVERIFY(!sheet.columnWidths.contains(8));
    QVERIFY(!sheet.fixedHeightRows.contains(1)); // autofit: the application sizes the row
    const XlsxCell data = sheet.cells.value(u"A2"_qs);
    QCOMPARE(data.text, u"a"_qs);
    QVERIFY(!data.format.bold);
    QVERIFY(data.format.horizontal.isEmpty());
    QCOMPARE(sheet.text(u"A3"_qs), u"b"_qs);
}

void tst_Spreadsheet::everyMatchGetsARow()
{
    std::vector<FakeMatch> matches;
    for (int i = 1; i <= 150; ++i)
        matches.push_back({u"m"_qs + QString::number(i), {}});
    const XlsxSheet sheet = exported(collectionOf(matches));
    QCOMPARE(sheet.lastRow, 151);
    QCOMPARE(sheet.lastColumn, 7);
    for (int i = 1; i <= 150; ++i)
        QCOMPARE(sheet.text(cellReference(i + 1, 1)), u"m"_qs + QString::number(i));
}

void tst_Spreadsheet::groupsBeyondTheHeader()
{
    FakeMatch match{u"whole"_qs, {}};
    for (int g = 1; g <= 8; ++g)
        match.groups.push_back(u"g"_qs + QString::number(g));
    const XlsxSheet sheet = exported(collectionOf({match, match}, 8));
    for (int row = 2; row <= 3; ++row) {
        QCOMPARE(sheet.text(cellReference(row, 1)), u"whole"_qs);
        for (int g = 1; g <= 8; ++g)
            QCOMPARE(sheet.text(cellReference(row, g + 1)), u"g"_qs + QString::number(g));
    }
    QCOMPARE(sheet.lastColumn, 9);
    QVERIFY(!sheet.has(u"H1"_qs));
    QVERIFY(!sheet.has(u"I1"_qs));
    QVERIFY(!sheet.columnWidths.contains(8));
    QVERIFY(!sheet.columnWidths.contains(9));
    QVERIFY(!sheet.cells.value(u"H2"_qs).format.bold);
}

void tst_Spreadsheet::cellShowsExactlyTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("marked");
    QTest::newRow("formula stays text") << u"=1+1"_qs << true;
    QTest::newRow("negative number stays text") << u"-5"_qs << true;
    QTest::newRow("plus sign stays text") << u"+5"_qs << false;
    QTest::newRow("leading zeros stay") << u"007"_qs << false;
    QTest::newRow("apostrophe is shown") << u"'x"_qs << true;
    QTest::newRow("lone apostrophe is shown") << u"'"_qs << true;
    QTest::newRow("date stays text") << u"1/2/2020"_qs << false;
    QTest::newRow("percentage stays text") << u"50%"_qs << false;
    QTest::newRow("boolean word stays text") << u"TRUE"_qs << false;
    QTest::newRow("spaces at both ends kept") << u"  a  "_qs << false;
    QTest::newRow("CR LF kept") << u"a\r\nb\rc"_qs << false;
    QTest::newRow("tab and control characters kept") << u"\t\x01\x1f\x0b"_qs << false;
    QTest::newRow("NUL kept") << QString(QChar(0)) + u"a"_qs << false;
    QTest::newRow("text like an escape kept") << u"_x0041_ _x00e9_"_qs << false;
    QTest::newRow("XML specials kept") << u"<a&b>\"]]>"_qs << false;
    QTest::newRow("supplementary character kept") << u"\U0001F600"_qs << false;
    QTest::newRow("lone surrogates kept")
        << QString(QChar(0xDC00)) + u"x"_qs + QChar(0xD800) << false;
    QTest::newRow("non-characters kept") << QString(QChar(0xFFFE)) + QChar(0xFFFF) << false;
    QTest::newRow("longest cell text fits") << QString(excel::MaxCellLength, u'a') << false;
    QTest::newRow("marker does not count")
        << u"="_qs + QString(excel::MaxCellLength - 1, u'a') << true;
}

void tst_Spreadsheet::cellShowsExactlyTheText()
{
    QFETCH(QString, text);
    QFETCH(bool, marked);
    const XlsxSheet sheet = exported(collectionOf({{text, {text}}, {u"second"_qs, {u"b"_qs}}}, 1));
    for (const QString &ref : {u"A2"_qs, u"B2"_qs}) {
        const XlsxCell cell = sheet.cells.value(ref);
        QCOMPARE(cell.text, text);
        QVERIFY2(cell.type == u"s" || cell.type == u"inlineStr", qPrintable(cell.type));
        QVERIFY(!cell.formula);
        // The marked cells are formatted as text, so that editing them keeps them text.
        QCOMPARE(cell.format.numberFormat == 49, marked);
    }
}

void tst_Spreadsheet::emptySubmatchesAreEmptyCells()
{
    const XlsxSheet sheet = exported(collectionOf(
        {{u"ab"_qs, {u""_qs, std::nullopt, u"x"_qs}}, {u"c"_qs, {std::nullopt, u""_qs, u""_qs}}},
        3));
    QCOMPARE(sheet.text(u"A2"_qs), u"ab"_qs);
    QVERIFY(!sheet.has(u"B2"_qs));
    QVERIFY(!sheet.has(u"C2"_qs));
    QCOMPARE(sheet.text(u"D2"_qs), u"x"_qs);
    QCOMPARE(sheet.text(u"A3"_qs), u"c"_qs);
    QVERIFY(!sheet.has(u"B3"_qs) && !sheet.has(u"C3"_qs) && !sheet.has(u"D3"_qs));
}

void tst_Spreadsheet::allEmptyMatchesGiveEmptyColumnA()
{
    const XlsxSheet sheet = exported(collectionOf({{u""_qs, {}}, {u""_qs, {}}, {u""_qs, {}}}));
    QCOMPARE(sheet.text(u"A1"_qs), u"Match"_qs);
    QCOMPARE(sheet.lastRow, 1);
}

void tst_Spreadsheet::exportOrEarlyEnd_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<bool>("exports");
    QTest::newRow("no match: nothing") << QStringList() << false;
    QTest::newRow("one empty match: nothing") << QStringList{u""_qs} << false;
    QTest::newRow("one match: exported") << QStringList{u"a"_qs} << true;
    QTest::newRow("two empty matches: exported") << QStringList{u""_qs, u""_qs} << true;
}

void tst_Spreadsheet::exportOrEarlyEnd()
{
    QFETCH(QStringList, values);
    QFETCH(bool, exports);
    std::vector<FakeMatch> matches;
    for (const QString &value : values)
        matches.push_back({value, {}});
    ScriptedResponder noMessages;
    ExportMatchesToExcel(collectionOf(matches));
    QCOMPARE(m_opened.size(), exports ? 1 : 0);
    QCOMPARE(tempFiles().size(), exports ? 1 : 0);
    QCOMPARE(mousePointer(), MousePointer::Default);
    QVERIFY(noMessages.shown().isEmpty());
    if (exports) {
        QVERIFY(m_opened.first().path.startsWith(m_tempDir + u'/'));
        QVERIFY(m_opened.first().path.endsWith(u".xlsx"_qs));
    }
}

void tst_Spreadsheet::waitPointerWhileExporting()
{
    exported(collectionOf({{u"a"_qs, {}}}));
    QCOMPARE(m_opened.first().pointer, MousePointer::Hourglass);
    QCOMPARE(mousePointer(), MousePointer::Default);
    // Each export gets a fresh file; the one already open is left alone.
    const QString first = m_opened.first().path;
    m_opened.clear();
    exported(collectionOf({{u"b"_qs, {}}}));
    QVERIFY(m_opened.first().path != first);
    QVERIFY(QFile::exists(first));
}

void tst_Spreadsheet::failureIsReportedAndKeepsWhatWasWritten_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("lastRowKept"); // -1: no file is opened
    QTest::addColumn<QString>("description");
    QTest::newRow("no application opens the file")
        << u"opener"_qs << 3 << u"No application could be started"_qs;
    QTest::newRow("sheet past its last row")
        << u"rows"_qs << 1 << u"Row 1048577 lies outside the worksheet"_qs;
    QTest::newRow("text too long for a cell")
        << u"long"_qs << 3 << u"A cell holds at most 32767 characters"_qs;
    QTest::newRow("temporary folder not writable")
        << u"folder"_qs << -1 << u"Can't create a file in the temporary folder"_qs;
}

void tst_Spreadsheet::failureIsReportedAndKeepsWhatWasWritten()
{
    QFETCH(QString, failure);
    QFETCH(int, lastRowKept);
    QFETCH(QString, description);

    engine::MatchCollection matches = collectionOf({{u"a"_qs, {}}, {u"b"_qs, {}}});
    if (failure == u"opener") {
        m_openerWorks = false;
    } else if (failure == u"rows") {
        matches = repeated(excel::MaxRows, QString()); // one more than the sheet's data rows
    } else if (failure == u"long") {
        matches = collectionOf({{u"a"_qs, {}},
                                {u"b"_qs, {}},
                                {QString(excel::MaxCellLength + 1, u'c'), {}},
                                {u"d"_qs, {}}});
    } else {
        QFile blocker(m_tempDir + u"/not-a-folder");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        qputenv("TMPDIR", QFile::encodeName(blocker.fileName()));
    }

    ScriptedResponder responder;
    responder.button(1);
    ExportMatchesToExcel(matches);
    QCOMPARE(responder.shown().size(), 1);
    QCOMPARE(responder.last().style, 16);
    QVERIFY2(responder.last().text.startsWith(exportFailed + u"\n\n" + description),
             qPrintable(responder.last().text));
    QCOMPARE(mousePointer(), MousePointer::Default);

    if (lastRowKept < 0) {
        QVERIFY(m_opened.isEmpty());
        return;
    }
    QCOMPARE(m_opened.size(), 1);
    XlsxBook book;
    QString error;
    QVERIFY2(readXlsx(m_opened.first().path, book, error), qPrintable(error));
    const XlsxSheet &sheet = book.sheets.first();
    QCOMPARE(sheet.text(u"G1"_qs), u"Submatch #6"_qs);
    QCOMPARE(sheet.lastRow, lastRowKept);
    if (lastRowKept == 3)
        QCOMPARE(sheet.text(u"A3"_qs), u"b"_qs);
}

void tst_Spreadsheet::runnerExportsAndKeepsTreeOnFailure_data()
{
    QTest::addColumn<bool>("openerWorks");
    QTest::newRow("export opened") << true;
    QTest::newRow("export failed") << false;
}

void tst_Spreadsheet::runnerExportsAndKeepsTreeOnFailure()
{
    QFETCH(bool, openerWorks);
    m_openerWorks = openerWorks;
    PlainResultsTree tree;
    ScriptedResponder responder;
    if (!openerWorks)
        responder.button(1);
    RunRegExp(tree, u"(\\d)"_qs, u"a1b2"_qs, true, false, false, false, true, ExportMatchesToExcel);
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(responder.shown().size(), openerWorks ? 0 : 1);
    QCOMPARE(tree.roots().size(), 3); // totals and two matches
    QCOMPARE(tree.item(tree.roots().at(2)).text, u"2 [4:1]"_qs);
    XlsxBook book;
    QString error;
    QVERIFY2(readXlsx(m_opened.first().path, book, error), qPrintable(error));
    QCOMPARE(book.sheets.first().text(u"A3"_qs), u"2"_qs);
    QCOMPARE(book.sheets.first().text(u"B3"_qs), u"2"_qs);
}

void tst_Spreadsheet::refusedAutomationCalls_data()
{
    QTest::addColumn<AutomationCall>("call");
    // Each call gets a new workbook with its three sheets.
    QTest::newRow("deleting the last sheet") << AutomationCall([](excel::Workbook &b) {
        b.Worksheets().Item(3).Delete();
        b.Worksheets().Item(2).Delete();
        b.Worksheets().Item(1).Delete();
    });
    QTest::newRow("sheet past the last")
        << AutomationCall([](excel::Workbook &b) { b.Worksheets().Item(4); });
    QTest::newRow("sheet name with a colon")
        << AutomationCall([](excel::Workbook &b) { sheet2(b).setName(u"a:b"_qs); });
    QTest::newRow("sheet name over 31 characters")
        << AutomationCall([](excel::Workbook &b) { sheet2(b).setName(QString(32, u'a')); });
    QTest::newRow("sheet name taken by another sheet")
        << AutomationCall([](excel::Workbook &b) { sheet2(b).setName(u"SHEET1"_qs); });
    QTest::newRow("row 0") << AutomationCall([](excel::Workbook &b) { sheet2(b).Cells(0, 1); });
    QTest::newRow("column past the last")
        << AutomationCall([](excel::Workbook &b) { sheet2(b).Cells(1, excel::MaxColumns + 1); });
    QTest::newRow("range reference past the last row")
        << AutomationCall([](excel::Workbook &b) { sheet2(b).Range(u"A1048577"_qs); });
    QTest::newRow("range reference without a row")
        << AutomationCall([](excel::Workbook &b) { sheet2(b).Range(u"A:B"_qs); });
    QTest::newRow("rows reference with letters")
        << AutomationCall([](excel::Workbook &b) { sheet2(b).Rows(u"A1"_qs); });
    QTest::newRow("unknown alignment") << AutomationCall(
        [](excel::Workbook &b) { sheet2(b).Range(u"A1"_qs).setHorizontalAlignment(excel::xlTop); });
    QTest::newRow("column width over 255") << AutomationCall(
        [](excel::Workbook &b) { sheet2(b).Range(u"A1"_qs).setColumnWidth(256); });
    QTest::newRow("autofit on part of a row")
        << AutomationCall([](excel::Workbook &b) { sheet2(b).Range(u"A1:G1"_qs).AutoFit(); });
}

void tst_Spreadsheet::refusedAutomationCalls()
{
    QFETCH(AutomationCall, call);
    excel::Application application;
    excel::Workbook &book = application.Workbooks().Add();
    QCOMPARE(book.Worksheets().Count(), excel::Workbook::SheetsInNewWorkbook);
    try {
        call(book);
        QFAIL("the call was accepted");
    } catch (const AppError &error) {
        QVERIFY(error.number() == excel::errors::ObjectDefined ||
                error.number() == excel::errors::SubscriptOutOfRange);
        QVERIFY(!error.description().isEmpty());
    }
}

QTEST_MAIN(tst_Spreadsheet)
#include "tst_spreadsheet.moc"
