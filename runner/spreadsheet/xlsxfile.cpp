#include "runner/spreadsheet/xlsxfile.h"

#include <QDir>
#include <QFile>

#include <xlsxwriter.h>

#include <cstdio>
#include <vector>

namespace {

// The text format of the built-in number formats ("@").
constexpr uint8_t TextNumberFormat = 49;

bool isHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

void appendEscape(std::string &out, char16_t unit)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "_x%04X_", static_cast<unsigned>(unit));
    out += buffer;
}

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

QString cellName(int row, int column)
{
    QString letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row);
}

[[noreturn]] void failed(const QString &path, const QString &what, lxw_error error)
{
    const qint32 number = error == LXW_ERROR_MEMORY_MALLOC_FAILED ? AppErrorNumber::OutOfMemory
                                                                  : AppErrorNumber::PathFileAccess;
    throw AppError(number, u"Can't write " + QDir::toNativeSeparators(path) + u" (" + what +
                               u"): " + QString::fromUtf8(lxw_strerror(error)));
}

// Owns the libxlsxwriter workbook until it is closed.
struct XlsxWorkbook
{
    lxw_workbook *book = nullptr;
    ~XlsxWorkbook()
    {
        if (book)
            workbook_close(book); // only after a failure; the file is removed by the caller
    }
};

lxw_format *makeFormat(lxw_workbook *book, const excel::CellFormat &format)
{
    if (format == excel::CellFormat())
        return nullptr;
    lxw_format *result = workbook_add_format(book);
    if (!result)
        return nullptr;
    switch (format.horizontalAlignment) {
    case excel::xlLeft:
        format_set_align(result, LXW_ALIGN_LEFT);
        break;
    case excel::xlCenter:
        format_set_align(result, LXW_ALIGN_CENTER);
        break;
    case excel::xlRight:
        format_set_align(result, LXW_ALIGN_RIGHT);
        break;
    default:
        break;
    }
    switch (format.verticalAlignment) {
    case excel::xlTop:
        format_set_align(result, LXW_ALIGN_VERTICAL_TOP);
        break;
    case excel::xlCenter:
        format_set_align(result, LXW_ALIGN_VERTICAL_CENTER);
        break;
    default:
        break;
    }
    if (format.wrapText)
        format_set_text_wrap(result);
    if (format.bold)
        format_set_bold(result);
    if (format.textMarker)
        format_set_num_format_index(result, TextNumberFormat);
    return result;
}

void writeSheet(lxw_workbook *book, const excel::Worksheet &sheet, const QString &path)
{
    lxw_worksheet *out = workbook_add_worksheet(book, sheet.Name().toUtf8().constData());
    if (!out)
        failed(path, u"sheet " + sheet.Name(), LXW_ERROR_MEMORY_MALLOC_FAILED);

    std::vector<lxw_format *> formats;
    formats.reserve(sheet.formats().size());
    for (const excel::CellFormat &format : sheet.formats()) {
        lxw_format *made = makeFormat(book, format);
        if (!made && !(format == excel::CellFormat()))
            failed(path, QStringLiteral("formats"), LXW_ERROR_MEMORY_MALLOC_FAILED);
        formats.push_back(made);
    }

    for (const auto &[column, width] : sheet.columnWidths()) {
        const auto col = static_cast<lxw_col_t>(column - 1);
        const lxw_error error = worksheet_set_column(out, col, col, width, nullptr);
        if (error != LXW_NO_ERROR)
            failed(path, QStringLiteral("column widths"), error);
    }

    std::string text;
    for (int r = 1; r <= sheet.rowCount(); ++r) {
        const std::vector<excel::Cell> &cells = sheet.row(r);
        for (size_t c = 0; c < cells.size(); ++c) {
            const excel::Cell &cell = cells[c];
            lxw_format *format = formats[cell.format];
            const auto row = static_cast<lxw_row_t>(r - 1);
            const auto col = static_cast<lxw_col_t>(c);
            lxw_error error = LXW_NO_ERROR;
            if (!cell.text.isEmpty()) {
                text.clear();
                appendXlsxText(text, cell.text);
                error = worksheet_write_string(out, row, col, text.c_str(), format);
            } else if (format) {
                error = worksheet_write_blank(out, row, col, format);
            }
            if (error != LXW_NO_ERROR)
                failed(path, u"cell " + cellName(r, static_cast<int>(c) + 1), error);
        }
    }
}

} // namespace

void appendXlsxText(std::string &out, QStringView text)
{
    const qsizetype n = text.size();
    const char16_t *p = text.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = p[i];
        if (u < 0x20) {
            if (u == u'\t' || u == u'\n')
                out += static_cast<char>(u);
            else
                appendEscape(out, u); // includes CR, which XML readers turn into LF
        } else if (u == u'_' && i + 6 < n && p[i + 1] == u'x' && isHexDigit(p[i + 2]) &&
                   isHexDigit(p[i + 3]) && isHexDigit(p[i + 4]) && isHexDigit(p[i + 5]) &&
                   p[i + 6] == u'_') {
            appendEscape(out, u);
        } else if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
            appendUtf8(out, QChar::surrogateToUcs4(u, p[i + 1]));
            ++i;
        } else if (QChar::isSurrogate(u) || u == 0xFFFE || u == 0xFFFF) {
            appendEscape(out, u);
        } else {
            appendUtf8(out, u);
        }
    }
}

void writeXlsxFile(const excel::Workbook &book, const QString &path)
{
    const QByteArray fileName = QFile::encodeName(path);
    QByteArray tempDir = QFile::encodeName(QDir::tempPath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE;
    options.tmpdir = tempDir.data();
    options.use_zip64 = LXW_FALSE;

    XlsxWorkbook out;
    out.book = workbook_new_opt(fileName.constData(), &options);
    if (!out.book)
        failed(path, QStringLiteral("workbook"), LXW_ERROR_MEMORY_MALLOC_FAILED);
    for (int i = 1; i <= book.Worksheets().Count(); ++i)
        writeSheet(out.book, book.Worksheets().Item(i), path);
    lxw_workbook *closing = out.book;
    out.book = nullptr;
    const lxw_error error = workbook_close(closing);
    if (error != LXW_NO_ERROR)
        failed(path, QStringLiteral("file"), error);
}
