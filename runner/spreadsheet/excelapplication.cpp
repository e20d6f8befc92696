#include "runner/spreadsheet/excelapplication.h"

#include "runner/spreadsheet/xlsxfile.h"
#include "support/fileopener.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace excel {

namespace {

[[noreturn]] void refuse(const QString &description)
{
    throw AppError(errors::ObjectDefined, description);
}

bool knownHorizontal(int alignment)
{
    return alignment == xlGeneral || alignment == xlLeft || alignment == xlCenter ||
           alignment == xlRight;
}

bool knownVertical(int alignment)
{
    return alignment == xlTop || alignment == xlCenter || alignment == xlBottom;
}

// Parses a row number or a column's letters at text[pos]; 0 when there is none or it is out of
// range.
int parseRowNumber(QStringView text, qsizetype &pos)
{
    qint64 value = 0;
    const qsizetype start = pos;
    while (pos < text.size() && text[pos].isDigit() && text[pos].unicode() < 128 &&
           value <= MaxRows) {
        value = value * 10 + (text[pos].unicode() - u'0');
        ++pos;
    }
    return pos > start && value >= 1 && value <= MaxRows ? static_cast<int>(value) : 0;
}

int parseColumnLetters(QStringView text, qsizetype &pos)
{
    qint64 value = 0;
    const qsizetype start = pos;
    while (pos < text.size() && value <= MaxColumns) {
        const char16_t c = text[pos].toUpper().unicode();
        if (c < u'A' || c > u'Z')
            break;
        value = value * 26 + (c - u'A' + 1);
        ++pos;
    }
    return pos > start && value <= MaxColumns ? static_cast<int>(value) : 0;
}

[[noreturn]] void badReference(QStringView reference)
{
    refuse(u"\"" + reference.toString() + u"\" is not a cell reference.");
}

// Creates an empty "<stem>.xlsx" in folder, or "<stem> (2).xlsx" and so on when the name is
// taken: a file that is open in the spreadsheet application is never overwritten.
QString claimFile(const QString &folder, const QString &stem, const QString &folderName)
{
    for (int n = 1; n < 1000; ++n) {
        const QString name = n == 1 ? stem : stem + u" (" + QString::number(n) + u')';
        QFile file(folder + u'/' + name + u".xlsx");
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return file.fileName();
        if (!file.exists())
            break;
    }
    throw AppError(AppErrorNumber::PathFileAccess,
                   u"Can't create a file in the folder " + folderName + u'.');
}

Area normalised(int r1, int c1, int r2, int c2)
{
    return Area{std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2)};
}

} // namespace

void Font::setBold(bool on)
{
    Range(m_sheet, m_area).formatCells([on](CellFormat &format) { format.bold = on; });
}

template<class Change>
void Range::formatCells(const Change &change)
{
    for (int r = m_area.top; r <= m_area.bottom; ++r) {
        for (int c = m_area.left; c <= m_area.right; ++c) {
            Cell &cell = m_sheet->cell(r, c);
            CellFormat format = m_sheet->m_formats[cell.format];
            change(format);
            cell.format = m_sheet->formatIndex(format);
        }
    }
}

void Range::setValue(QStringView value)
{
    const bool marked = value.startsWith(u'\'');
    if (marked)
        value = value.mid(1);
    if (value.size() > MaxCellLength) {
        refuse(u"A cell holds at most " + QString::number(MaxCellLength) +
               u" characters; this text has " + QString::number(value.size()) + u'.');
    }
    const QString text = value.toString();
    for (int r = m_area.top; r <= m_area.bottom; ++r) {
        for (int c = m_area.left; c <= m_area.right; ++c) {
            if (text.isEmpty() && !marked && !m_sheet->hasCell(r, c))
                continue; // stays empty; empty submatches cost no memory
            Cell &cell = m_sheet->cell(r, c);
            cell.text = text;
            if (m_sheet->m_formats[cell.format].textMarker != marked) {
                CellFormat format = m_sheet->m_formats[cell.format];
                format.textMarker = marked;
                cell.format = m_sheet->formatIndex(format);
            }
        }
    }
}

void Range::setHorizontalAlignment(int alignment)
{
    if (!knownHorizontal(alignment))
        refuse(u"Unable to set the HorizontalAlignment property to " + QString::number(alignment) +
               u'.');
    formatCells([alignment](CellFormat &format) { format.horizontalAlignment = alignment; });
}

void Range::setVerticalAlignment(int alignment)
{
    if (!knownVertical(alignment))
        refuse(u"Unable to set the VerticalAlignment property to " + QString::number(alignment) +
               u'.');
    formatCells([alignment](CellFormat &format) { format.verticalAlignment = alignment; });
}

void Range::setWrapText(bool on)
{
    formatCells([on](CellFormat &format) { format.wrapText = on; });
}

void Range::setColumnWidth(double width)
{
    if (!(width >= 0 && width <= MaxColumnWidth))
        refuse(u"A column width lies between 0 and 255; " + QString::number(width) + u" does not.");
    for (int c = m_area.left; c <= m_area.right; ++c)
        m_sheet->m_columnWidths[c] = width;
}

Range Range::EntireRow() const
{
    return Range(m_sheet, Area{m_area.top, 1, m_area.bottom, MaxColumns});
}

void Range::AutoFit()
{
    const bool wholeRows = m_area.left == 1 && m_area.right == MaxColumns;
    const bool wholeColumns = m_area.top == 1 && m_area.bottom == MaxRows;
    if (!wholeRows && !wholeColumns)
        refuse(QStringLiteral("AutoFit needs whole rows or whole columns."));
    // Nothing ever gives a row a fixed height, so every row already has the automatic one.
}

void Worksheet::setName(const QString &name)
{
    static const QString forbidden = QStringLiteral(":\\/?*[]");
    const bool badChar =
        std::any_of(name.begin(), name.end(), [](QChar c) { return forbidden.contains(c); });
    if (name.isEmpty() || name.size() > 31 || badChar || name.startsWith(u'\'') ||
        name.endsWith(u'\'')) {
        refuse(u"\"" + name +
               u"\" is not a sheet name: it needs 1 to 31 characters, none of : \\ / ? * [ ], "
               u"and no ' at either end.");
    }
    for (int i = 1; i <= m_owner->Count(); ++i) {
        const Worksheet &other = m_owner->Item(i);
        if (&other != this && other.m_name.compare(name, Qt::CaseInsensitive) == 0)
            refuse(u"The sheet name \"" + name + u"\" is already taken.");
    }
    m_name = name;
}

Range Worksheet::Cells(int row, int column)
{
    if (row < 1 || row > MaxRows) {
        refuse(u"Row " + QString::number(row) +
               u" lies outside the worksheet, which has rows 1 to " + QString::number(MaxRows) +
               u'.');
    }
    if (column < 1 || column > MaxColumns) {
        refuse(u"Column " + QString::number(column) +
               u" lies outside the worksheet, which has columns 1 to " +
               QString::number(MaxColumns) + u'.');
    }
    return excel::Range(this, Area{row, column, row, column});
}

Range Worksheet::Range(QStringView reference)
{
    const auto cellAt = [&](qsizetype &pos, int &row, int &column) {
        column = parseColumnLetters(reference, pos);
        row = parseRowNumber(reference, pos);
        return column > 0 && row > 0;
    };
    qsizetype pos = 0;
    int r1 = 0, c1 = 0;
    if (!cellAt(pos, r1, c1))
        badReference(reference);
    int r2 = r1, c2 = c1;
    if (pos < reference.size() && reference[pos] == u':') {
        ++pos;
        if (!cellAt(pos, r2, c2))
            badReference(reference);
    }
    if (pos != reference.size())
        badReference(reference);
    return excel::Range(this, normalised(r1, c1, r2, c2));
}

Range Worksheet::Rows(QStringView reference)
{
    qsizetype pos = 0;
    const int first = parseRowNumber(reference, pos);
    int last = first;
    if (first > 0 && pos < reference.size() && reference[pos] == u':') {
        ++pos;
        last = parseRowNumber(reference, pos);
    }
    if (first == 0 || last == 0 || pos != reference.size())
        badReference(reference);
    return excel::Range(this, normalised(first, 1, last, MaxColumns));
}

void Worksheet::Delete()
{
    if (m_owner->Count() <= 1)
        refuse(QStringLiteral("A workbook must keep at least one worksheet."));
    m_owner->remove(this); // last statement: this sheet now lives in the deleted list
}

bool Worksheet::hasCell(int row, int column) const
{
    const auto r = static_cast<size_t>(row - 1);
    return r < m_rows.size() && static_cast<size_t>(column - 1) < m_rows[r].size();
}

Cell &Worksheet::cell(int row, int column)
{
    const auto r = static_cast<size_t>(row - 1);
    const auto c = static_cast<size_t>(column - 1);
    if (r >= m_rows.size())
        m_rows.resize(r + 1);
    std::vector<Cell> &cells = m_rows[r];
    if (c >= cells.size())
        cells.resize(c + 1);
    return cells[c];
}

unsigned short Worksheet::formatIndex(const CellFormat &format)
{
    const auto found = std::find(m_formats.begin(), m_formats.end(), format);
    if (found != m_formats.end())
        return static_cast<unsigned short>(found - m_formats.begin());
    m_formats.push_back(format); // at most 4 * 3 * 2 * 2 * 2 formats exist
    return static_cast<unsigned short>(m_formats.size() - 1);
}

Worksheet &Worksheets::Item(int index) const
{
    if (index < 1 || index > Count())
        throw AppError(errors::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
    return *m_sheets[static_cast<size_t>(index - 1)];
}

void Worksheets::add(QString name)
{
    m_sheets.push_back(std::unique_ptr<Worksheet>(new Worksheet(this, std::move(name))));
}

void Worksheets::remove(const Worksheet *sheet)
{
    const auto found = std::find_if(m_sheets.begin(), m_sheets.end(),
                                    [sheet](const auto &s) { return s.get() == sheet; });
    if (found == m_sheets.end())
        return;
    m_deleted.push_back(std::move(*found));
    m_sheets.erase(found);
}

Workbook::Workbook(QString name)
    : m_name(std::move(name))
{
    for (int i = 1; i <= SheetsInNewWorkbook; ++i)
        m_worksheets.add(u"Sheet" + QString::number(i));
}

Workbook &Workbooks::Add()
{
    m_books.push_back(
        std::unique_ptr<Workbook>(new Workbook(u"Book" + QString::number(Count() + 1))));
    return *m_books.back();
}

Workbook &Workbooks::Item(int index) const
{
    if (index < 1 || index > Count())
        throw AppError(errors::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
    return *m_books[static_cast<size_t>(index - 1)];
}

QStringList Application::leaveOpenForUser(const QString &folder, const QString &fileStem,
                                          FileOpener &opener)
{
    QStringList unopened;
    if (m_released)
        return unopened;
    m_released = true;
    if (!m_visible)
        return unopened;
    const QString folderName = QDir::toNativeSeparators(folder);
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        throw AppError(AppErrorNumber::PathFileAccess,
                       u"Can't create a file in the folder " + folderName + u'.');
    }
    for (int i = 1; i <= m_workbooks.Count(); ++i) {
        const QString path = claimFile(folder, fileStem, folderName);
        try {
            writeXlsxFile(m_workbooks.Item(i), path);
        } catch (...) {
            QFile::remove(path);
            throw;
        }
        if (!opener.Open(path))
            unopened.append(path);
    }
    return unopened;
}

} // namespace excel
