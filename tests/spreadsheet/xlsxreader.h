#pragma once
// Reads back what a spreadsheet application would show of an .xlsx: the first sheet's cells
// (texts with their escapes undone, types, bold and number formats).
// Unzips with zlib and parses the XML with QXmlStreamReader; independent of the writer.

#include <QHash>
#include <QString>

struct XlsxCell
{
    QString text;
    QString type; // "s" shared string, "str" formula result, "" number, ...
    bool formula = false;
    // The cell's format.
    bool bold = false;
    int numberFormat = 0;
};

struct XlsxSheet
{
    int sheetCount = 0; // in the workbook; 0 when it can't be read
    QString name;
    QHash<QString, XlsxCell> cells; // by reference, "A1"
    int lastRow = 0;                // highest row holding a cell
    int lastColumn = 0;

    // The cell's text, "" for a missing cell.
    QString text(const QString &reference) const { return cells.value(reference).text; }
    bool has(const QString &reference) const { return cells.contains(reference); }
};

// The first sheet of the workbook at path.
XlsxSheet readXlsx(const QString &path);
// "A1" for (1, 1).
QString cellReference(int row, int column);
