#pragma once
// Writes a workbook of the automation objects to a real .xlsx file (libxlsxwriter). Every cell is
// a text cell, never a number or a formula; a cell whose value had the text marker also gets
// the Text number format, so that editing it keeps it text.

#include "runner/spreadsheet/excelapplication.h"

#include <QString>
#include <QStringView>

#include <string>

// Writes book to path (replacing the file). Throws AppError when the file can't be written.
void writeXlsxFile(const excel::Workbook &book, const QString &path);

// The cell text as the .xlsx stores it: UTF-8, where code units that XML cannot carry (control
// characters other than tab and line feed, carriage return, lone surrogates, U+FFFE, U+FFFF)
// become "_xHHHH_", and a text that already reads like such an escape gets its "_" escaped.
// Reading the file back undoes exactly this.
void appendXlsxText(std::string &out, QStringView text);
