#include "tests/spreadsheet/xlsxreader.h"

#include <QFile>
#include <QXmlStreamReader>

#include <zlib.h>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

// The little-endian number of that many bytes at `at`; 0 past the end.
quint32 le(const QByteArray &data, qsizetype at, int bytes)
{
    quint32 value = 0;
    for (int i = bytes - 1; i >= 0 && at >= 0 && at + bytes <= data.size(); --i)
        value = value << 8 | uchar(data.at(at + i));
    return value;
}

// Entry name -> contents, from the central directory; entries that can't be read are left out.
QHash<QString, QByteArray> unzip(const QByteArray &zip)
{
    QHash<QString, QByteArray> files;
    qsizetype end = zip.size() - 22;
    while (end >= 0 && le(zip, end, 4) != 0x06054b50)
        --end;
    qsizetype at = le(zip, end + 16, 4);
    for (int entries = le(zip, end + 10, 2); entries > 0 && le(zip, at, 4) == 0x02014b50;
         --entries) {
        const quint32 packed = le(zip, at + 20, 4), size = le(zip, at + 24, 4);
        const QString name = QString::fromUtf8(zip.mid(at + 46, le(zip, at + 28, 2)));
        const qsizetype local = le(zip, at + 42, 4);
        const qsizetype data = local + 30 + le(zip, local + 26, 2) + le(zip, local + 28, 2);
        const bool deflated = le(zip, at + 10, 2) == 8;
        at += 46 + le(zip, at + 28, 2) + le(zip, at + 30, 2) + le(zip, at + 32, 2);
        QByteArray out = zip.mid(data, packed);
        if (deflated) {
            out = QByteArray(size, Qt::Uninitialized);
            z_stream stream{};
            inflateInit2(&stream, -MAX_WBITS);
            stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zip.constData() + data));
            stream.avail_in = packed;
            stream.next_out = reinterpret_cast<Bytef *>(out.data());
            stream.avail_out = size;
            const bool whole =
                inflate(&stream, Z_FINISH) == Z_STREAM_END && stream.total_out == size;
            inflateEnd(&stream);
            if (!whole)
                continue;
        }
        files.insert(name, out);
    }
    return files;
}

// Calls visit at each start and end element of the XML, with the reader there.
void walk(const QByteArray &data, const std::function<void(QXmlStreamReader &)> &visit)
{
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement || xml.isEndElement())
            visit(xml);
    }
}

QString value(const QXmlStreamReader &xml, const char *attribute)
{
    return xml.attributes().value(QLatin1String(attribute)).toString();
}

// Undoes the "_xHHHH_" escapes, left to right, as a spreadsheet application does.
QString unescape(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        bool ok = false;
        const uint unit = text.mid(i + 2, 4).toUInt(&ok, 16);
        if (ok && text.mid(i, 2) == u"_x" && text.mid(i + 6, 1) == u"_") {
            out += QChar(char16_t(unit));
            i += 6;
        } else {
            out += text[i];
        }
    }
    return out;
}

QStringList readSharedStrings(const QByteArray &data)
{
    QStringList shared;
    QString text;
    walk(data, [&](QXmlStreamReader &xml) {
        // A spreadsheet application reads a line end in the XML as LF, as the XML rules say.
        if (xml.isStartElement() && xml.name() == u"t")
            text += xml.readElementText()
                        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                        .replace(u'\r', u'\n');
        else if (xml.isEndElement() && xml.name() == u"si")
            shared.append(unescape(std::exchange(text, QString())));
    });
    return shared;
}

// The cell formats (cellXfs) by index, as cells without text.
QList<XlsxCell> readFormats(const QByteArray &data)
{
    QList<bool> boldFonts;
    QList<XlsxCell> formats;
    QString section; // "fonts" or "cellXfs"
    walk(data, [&](QXmlStreamReader &xml) {
        const auto name = xml.name();
        if (xml.isEndElement()) {
            if (name == section)
                section.clear();
        } else if (name == u"fonts" || name == u"cellXfs") {
            section = name.toString();
        } else if (section == u"fonts" && name == u"font") {
            boldFonts.append(false);
        } else if (section == u"fonts" && name == u"b") {
            boldFonts.last() = value(xml, "val") != u"0";
        } else if (section == u"cellXfs" && name == u"xf") {
            formats.append(XlsxCell());
            formats.last().bold = boldFonts.value(value(xml, "fontId").toInt());
            formats.last().numberFormat = value(xml, "numFmtId").toInt();
        }
    });
    return formats;
}

void readCells(const QByteArray &data, const QStringList &shared, const QList<XlsxCell> &formats,
               XlsxSheet &sheet)
{
    walk(data, [&](QXmlStreamReader &xml) {
        if (xml.isEndElement())
            return;
        if (xml.name() == u"c") {
            const QString ref = value(xml, "r");
            XlsxCell cell = formats.value(value(xml, "s").toInt());
            cell.type = value(xml, "t");
            while (xml.readNextStartElement()) {
                const bool isValue = xml.name() == u"v";
                cell.formula = cell.formula || xml.name() == u"f";
                const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                if (isValue)
                    cell.text =
                        cell.type == u"s" ? shared.value(text.toInt(), QStringLiteral("?")) : text;
            }
            qsizetype digits = 0;
            int column = 0;
            for (; digits < ref.size() && ref[digits].isLetter(); ++digits)
                column = column * 26 + ref[digits].unicode() - u'A' + 1;
            sheet.lastRow = std::max(sheet.lastRow, ref.mid(digits).toInt());
            sheet.lastColumn = std::max(sheet.lastColumn, column);
            sheet.cells.insert(ref, cell);
        }
    });
}

} // namespace

QString cellReference(int row, int column)
{
    QString letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row);
}

XlsxSheet readXlsx(const QString &path)
{
    XlsxSheet sheet;
    QFile file(path);
    const QHash<QString, QByteArray> files =
        unzip(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    const QString cells = QStringLiteral("xl/worksheets/sheet1.xml");
    walk(files.contains(cells) ? files.value(QStringLiteral("xl/workbook.xml")) : QByteArray(),
         [&](QXmlStreamReader &xml) {
             if (xml.isStartElement() && xml.name() == u"sheet" && ++sheet.sheetCount == 1)
                 sheet.name = value(xml, "name");
         });
    readCells(files.value(cells),
              readSharedStrings(files.value(QStringLiteral("xl/sharedStrings.xml"))),
              readFormats(files.value(QStringLiteral("xl/styles.xml"))), sheet);
    return sheet;
}
