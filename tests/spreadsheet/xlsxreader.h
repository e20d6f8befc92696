#pragma once
// Reads back what a spreadsheet application would show of an .xlsx: the sheets, their cells'
// texts (escapes undone) and types, cell formats, column widths and fixed row heights. Unzips
// with zlib and parses the XML with QXmlStreamReader; independent of the writer.

#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

struct XlsxFormat
{
    bool bold = false;
    bool wrap = false;
    QString horizontal; // "" for general
    QString vertical;   // "" for bottom
    int numberFormat = 0;
    bool quotePrefix = false;
};

struct XlsxCell
{
    QString text;
    QString type; // "s" shared string, "inlineStr", "str" formula result, "" number, ...
    bool formula = false;
    XlsxFormat format;
};

struct XlsxSheet
{
    QString name;
    QHash<QString, XlsxCell> cells; // by reference, "A1"
    QMap<int, double> columnWidths; // 1-based column -> width
    QSet<int> fixedHeightRows;      // rows with customHeight
    int lastRow = 0;                // highest row holding a cell
    int lastColumn = 0;

    // The cell's text, "" for a missing cell.
    QString text(const QString &reference) const { return cells.value(reference).text; }
    bool has(const QString &reference) const { return cells.contains(reference); }
};

struct XlsxBook
{
    QList<XlsxSheet> sheets;
};

// Reads path; on failure returns false and sets error.
bool readXlsx(const QString &path, XlsxBook &book, QString &error);
// "A1" for (1, 1).
QString cellReference(int row, int column);
