#include "runner/spreadsheet/exportmatches.h"

#include "runner/spreadsheet/excelapplication.h"
#include "runner/spreadsheet/exportfolder.h"
#include "runner/spreadsheet/savedexport.h"
#include "support/errorreporter.h"
#include "support/messagebox.h"
#include "support/mousepointer.h"

#include <QDateTime>
#include <QLocale>

#include <memory>
#include <new>

namespace {

QStringView view(std::u16string_view text)
{
    return QStringView(text.data(), static_cast<qsizetype>(text.size()));
}

// The cell value of text, cut to what a cell holds (the text marker does not count, and a
// surrogate pair stays whole); cut counts the values that were cut.
QString cellValue(QStringView text, int &cut)
{
    QString value = ToCellText(text);
    const qsizetype limit = excel::MaxCellLength + (value.startsWith(u'\'') ? 1 : 0);
    if (value.size() <= limit)
        return value;
    qsizetype end = limit;
    if (value.at(end - 1).isHighSurrogate() && value.at(end).isLowSurrogate())
        --end;
    value.truncate(end);
    ++cut;
    return value;
}

// Writes the sheet; returns how many cells were cut to fit.
int writeMatches(excel::Application &application, const engine::MatchCollection &matches)
{
    application.setVisible(true);
    excel::Workbook &book = application.Workbooks().Add();
    while (book.Worksheets().Count() > 1)
        book.Worksheets().Item(2).Delete();
    excel::Worksheet &sheet = book.Worksheets().Item(1);
    sheet.setName(QStringLiteral("Matches"));

    static const QStringView headers[] = {u"Match",       u"Submatch #1", u"Submatch #2",
                                          u"Submatch #3", u"Submatch #4", u"Submatch #5",
                                          u"Submatch #6"};
    for (int c = 0; c < 7; ++c)
        sheet.Cells(1, c + 1).setValue(headers[c]);
    excel::Range header = sheet.Range(u"A1:G1");
    header.setVerticalAlignment(excel::xlTop);
    header.setWrapText(true);
    header.Font().setBold(true);
    header.setColumnWidth(35);
    header.setHorizontalAlignment(excel::xlCenter);
    sheet.Rows(u"1:1").EntireRow().AutoFit();

    int cut = 0;
    const int count = matches.Count();
    for (int i = 0; i < count; ++i) {
        const engine::Match match = matches.Item(i);
        sheet.Cells(i + 2, 1).setValue(cellValue(view(match.Value()), cut));
        const engine::SubMatches subMatches = match.SubMatches();
        for (int j = 0; j < subMatches.Count(); ++j)
            sheet.Cells(i + 2, j + 2).setValue(cellValue(view(subMatches.Item(j)), cut));
    }
    return cut;
}

void reportCutCells(ModalHost &modal, int cut)
{
    const QLocale locale;
    const QString limit = locale.toString(excel::MaxCellLength);
    const QString cells =
        cut == 1 ? QStringLiteral("1 cell was") : locale.toString(cut) + u" cells were";
    MsgBox(modal, cells + u" cut to " + limit + u" characters, the most a cell can hold.",
           MsgBoxStyle::Information);
}

} // namespace

void ExportMatchesToExcel(const engine::MatchCollection &matches, FileOpener &opener,
                          ModalHost &modal)
{
    if (matches.Count() < 1)
        return;
    if (matches.Count() == 1 && matches.Item(0).Value().empty())
        return;

    setMousePointer(MousePointer::Hourglass);
    const QString folder = ExportFolder::path();
    const QDateTime now = QDateTime::currentDateTime();
    ExportFolder::removeStale(folder, now);
    const QString fileStem = ExportFolder::fileStem(now);
    std::unique_ptr<excel::Application> application;
    const auto fail = [&](const AppError &error) {
        // What was written stays: the sheet is still handed over; its own failure is not reported
        // on top of the first one.
        if (application) {
            try {
                application->leaveOpenForUser(folder, fileStem, opener);
            } catch (...) {
            }
        }
        setMousePointer(MousePointer::Default);
        ErrorReporter::instance().ShowError(modal, error, MsgBoxStyle::Critical,
                                            QStringLiteral("Can't generate XSL file. Microsoft "
                                                           "Office is not installed or Excel "
                                                           "is not working."));
    };
    try {
        application = std::make_unique<excel::Application>();
        const int cut = writeMatches(*application, matches);
        const QStringList unopened = application->leaveOpenForUser(folder, fileStem, opener);
        setMousePointer(MousePointer::Default);
        if (cut > 0)
            reportCutCells(modal, cut);
        for (const QString &path : unopened)
            OfferSavedExport(path, opener, modal);
    } catch (const AppError &error) {
        fail(error);
    } catch (const std::bad_alloc &) {
        fail(AppError(AppErrorNumber::OutOfMemory, QStringLiteral("Out of memory")));
    }
}

QString ToCellText(QStringView text)
{
    if (text.startsWith(u'=') || text.startsWith(u'-') || text.startsWith(u'\''))
        return u'\'' + text.toString();
    return text.toString();
}
