#pragma once
// The spreadsheet application's automation objects: Application > Workbooks > Workbook >
// Worksheets > Worksheet > Range (Cells, Range, Rows) > Font, with the calls and values of the
// real ones. The objects hold the workbook in memory; leaveOpenForUser() writes each workbook to
// a fresh .xlsx and opens it in the desktop's spreadsheet application.
// Every failure throws AppError (1004 for a call the application refuses); what was written
// before it stays.

#include "support/apperror.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <map>
#include <memory>
#include <vector>

class FileOpener;

namespace excel {

// Alignment values of the automation interface.
inline constexpr int xlGeneral = 1;
inline constexpr int xlLeft = -4131;
inline constexpr int xlCenter = -4108;
inline constexpr int xlRight = -4152;
inline constexpr int xlTop = -4160;
inline constexpr int xlBottom = -4107;

// Limits of the .xlsx format.
inline constexpr int MaxRows = 1'048'576;
inline constexpr int MaxColumns = 16'384;
inline constexpr int MaxCellLength = 32'767; // UTF-16 code units
inline constexpr double MaxColumnWidth = 255;

namespace errors {
inline constexpr qint32 SubscriptOutOfRange = 9;
inline constexpr qint32 ObjectDefined = 1004; // the application refused the call
} // namespace errors

class Worksheet;
class Worksheets;
class Workbook;

struct CellFormat
{
    int horizontalAlignment = xlGeneral;
    int verticalAlignment = xlBottom;
    bool wrapText = false;
    bool bold = false;
    bool textMarker = false; // the value was given with a leading "'"
    bool operator==(const CellFormat &) const = default;
};

struct Cell
{
    QString text;              // as shown, without the text marker
    unsigned short format = 0; // index into Worksheet::formats()
};

// A rectangle of cells, rows and columns 1-based and inclusive.
struct Area
{
    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;
};

class Range;

class Font
{
public:
    void setBold(bool on);

private:
    friend class Range;
    Font(Worksheet *sheet, Area area)
        : m_sheet(sheet)
        , m_area(area)
    {}
    Worksheet *m_sheet;
    Area m_area;
};

class Range
{
public:
    // Sets every cell of the range. A leading "'" is the text marker: it is not part of the
    // cell's text and marks the cell as text; "" empties the cell. Throws for a text longer
    // than MaxCellLength.
    void setValue(QStringView value);
    void setHorizontalAlignment(int alignment);
    void setVerticalAlignment(int alignment);
    void setWrapText(bool on);
    excel::Font Font() const { return excel::Font(m_sheet, m_area); }
    // Width of every column the range spans, in characters of the standard font (0 to 255).
    void setColumnWidth(double width);
    // The whole rows the range spans.
    Range EntireRow() const;
    // Fits the height of whole rows (or the width of whole columns) to their contents: the rows
    // get the automatic height, which the spreadsheet application computes when it opens the
    // file. Throws unless the range is whole rows or columns.
    void AutoFit();

private:
    friend class Font;
    friend class Worksheet;
    Range(Worksheet *sheet, Area area)
        : m_sheet(sheet)
        , m_area(area)
    {}
    template<class Change>
    void formatCells(const Change &change);

    Worksheet *m_sheet;
    Area m_area;
};

class Worksheet
{
public:
    const QString &Name() const { return m_name; }
    // Throws for an empty name, one over 31 characters, one with : \ / ? * [ ] or a leading or
    // trailing "'", and one that another sheet of the workbook has (case-insensitive).
    void setName(const QString &name);
    // Cell (row, column), both 1-based; throws past MaxRows or MaxColumns.
    excel::Range Cells(int row, int column);
    // "A1" or "A1:G1".
    excel::Range Range(QStringView reference);
    // "1:1" or "3".
    excel::Range Rows(QStringView reference);
    // Removes the sheet from its workbook; throws for the last sheet.
    void Delete();

    // For the file writer: rows 1..rowCount(), each with its cells of columns 1..n; a row
    // with no cells holds nothing.
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    const std::vector<Cell> &row(int row) const { return m_rows[static_cast<size_t>(row - 1)]; }
    const std::vector<CellFormat> &formats() const { return m_formats; }
    // Column (1-based) -> width, for the columns that were given one.
    const std::map<int, double> &columnWidths() const { return m_columnWidths; }

private:
    friend class Range;
    friend class Worksheets;
    Worksheet(Worksheets *owner, QString name)
        : m_owner(owner)
        , m_name(std::move(name))
    {}
    bool hasCell(int row, int column) const;
    Cell &cell(int row, int column);
    unsigned short formatIndex(const CellFormat &format);

    Worksheets *m_owner;
    QString m_name;
    std::vector<std::vector<Cell>> m_rows;
    std::vector<CellFormat> m_formats{CellFormat()};
    std::map<int, double> m_columnWidths;
};

class Worksheets
{
public:
    int Count() const { return static_cast<int>(m_sheets.size()); }
    // Sheet index, 1-based; throws (9) outside 1..Count().
    Worksheet &Item(int index) const;

private:
    friend class Workbook;
    friend class Worksheet;
    Worksheets() = default;
    void add(QString name);
    void remove(const Worksheet *sheet);

    std::vector<std::unique_ptr<Worksheet>> m_sheets;
    // Deleted sheets stay alive so that references to them do not dangle.
    std::vector<std::unique_ptr<Worksheet>> m_deleted;
};

class Workbook
{
public:
    // A new workbook holds this many sheets, "Sheet1" to "Sheet3".
    static constexpr int SheetsInNewWorkbook = 3;

    const QString &Name() const { return m_name; }
    excel::Worksheets &Worksheets() { return m_worksheets; }
    const excel::Worksheets &Worksheets() const { return m_worksheets; }

private:
    friend class Workbooks;
    explicit Workbook(QString name);

    QString m_name;
    excel::Worksheets m_worksheets;
};

class Workbooks
{
public:
    // A new, empty workbook "Book" + n.
    Workbook &Add();
    int Count() const { return static_cast<int>(m_books.size()); }
    Workbook &Item(int index) const; // 1-based

private:
    friend class Application;
    Workbooks() = default;
    std::vector<std::unique_ptr<Workbook>> m_books;
};

class Application
{
public:
    Application() = default;
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    void setVisible(bool on) { m_visible = on; }
    excel::Workbooks &Workbooks() { return m_workbooks; }

    // The program lets go of the application. When it is visible, each workbook is written to a
    // new file "<fileStem>.xlsx" in folder (created if missing; " (2)" and so on are added to a
    // name that is taken) and opened in the desktop's spreadsheet application; an invisible
    // one ends with nothing kept. Throws for a write failure (the broken file is removed).
    // Returns the files written that no application could be started for. Only the first call
    // does anything.
    QStringList leaveOpenForUser(const QString &folder, const QString &fileStem,
                                 FileOpener &opener);

private:
    bool m_visible = false;
    bool m_released = false;
    excel::Workbooks m_workbooks;
};

} // namespace excel
