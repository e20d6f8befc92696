#include "runner/spreadsheet/exportmatches.h"

#include "runner/spreadsheet/excelapplication.h"
#include "support/errorreporter.h"
#include "support/messagebox.h"
#include "support/mousepointer.h"

#include <memory>
#include <new>

namespace {

QStringView view(std::u16string_view text)
{
    return QStringView(text.data(), static_cast<qsizetype>(text.size()));
}

void writeMatches(excel::Application &application, const engine::MatchCollection &matches)
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

    const int count = matches.Count();
    for (int i = 0; i < count; ++i) {
        const engine::Match match = matches.Item(i);
        sheet.Cells(i + 2, 1).setValue(ToCellText(view(match.Value())));
        const engine::SubMatches subMatches = match.SubMatches();
        for (int j = 0; j < subMatches.Count(); ++j)
            sheet.Cells(i + 2, j + 2).setValue(ToCellText(view(subMatches.Item(j))));
    }
}

} // namespace

void ExportMatchesToExcel(const engine::MatchCollection &matches)
{
    if (matches.Count() < 1)
        return;
    if (matches.Count() == 1 && matches.Item(0).Value().empty())
        return;

    setMousePointer(MousePointer::Hourglass);
    std::unique_ptr<excel::Application> application;
    const auto fail = [&application](const AppError &error) {
        // What was written stays: the sheet is still handed over; its own failure is not reported
        // on top of the first one.
        if (application) {
            try {
                application->leaveOpenForUser();
            } catch (...) {
            }
        }
        setMousePointer(MousePointer::Default);
        ErrorReporter::instance().ShowError(error, MsgBoxStyle::Critical,
                                            QStringLiteral("Can't generate XSL file. Microsoft "
                                                           "Office is not installed or Excel "
                                                           "is not working."));
    };
    try {
        application = std::make_unique<excel::Application>();
        writeMatches(*application, matches);
        application->leaveOpenForUser();
        setMousePointer(MousePointer::Default);
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
