#include "tests/spreadsheet/xlsxreader.h"

#include <QFile>
#include <QXmlStreamReader>

#include <zlib.h>

#include <optional>

namespace {

quint32 le32(const QByteArray &data, qsizetype at)
{
    const auto *p = reinterpret_cast<const uchar *>(data.constData() + at);
    return p[0] | (p[1] << 8) | (p[2] << 16) | (quint32(p[3]) << 24);
}

quint16 le16(const QByteArray &data, qsizetype at)
{
    const auto *p = reinterpret_cast<const uchar *>(data.constData() + at);
    return quint16(p[0] | (p[1] << 8));
}

// Entry name -> contents, from the central directory.
bool unzip(const QByteArray &zip, QHash<QString, QByteArray> &files, QString &error)
{
    qsizetype end = zip.size() - 22;
    while (end >= 0 && le32(zip, end) != 0x06054b50)
        --end;
    if (end < 0) {
        error = u"no end of central directory"_qs;
        return false;
    }
    const int entries = le16(zip, end + 10);
    qsizetype at = le32(zip, end + 16);
    for (int e = 0; e < entries; ++e) {
        if (at + 46 > zip.size() || le32(zip, at) != 0x02014b50) {
            error = u"bad central directory"_qs;
            return false;
        }
        const int method = le16(zip, at + 10);
        const quint32 packed = le32(zip, at + 20);
        const quint32 size = le32(zip, at + 24);
        const int nameLength = le16(zip, at + 28);
        const int extra = le16(zip, at + 30);
        const int comment = le16(zip, at + 32);
        const quint32 local = le32(zip, at + 42);
        const QString name = QString::fromUtf8(zip.mid(at + 46, nameLength));
        at += 46 + nameLength + extra + comment;

        const qsizetype dataAt = local + 30 + le16(zip, local + 26) + le16(zip, local + 28);
        QByteArray out(size, Qt::Uninitialized);
        if (method == 0) {
            out = zip.mid(dataAt, packed);
        } else if (method == 8) {
            z_stream stream{};
            inflateInit2(&stream, -MAX_WBITS);
            stream.next_in =
                reinterpret_cast<Bytef *>(const_cast<char *>(zip.constData() + dataAt));
            stream.avail_in = packed;
            stream.next_out = reinterpret_cast<Bytef *>(out.data());
            stream.avail_out = size;
            const int result = inflate(&stream, Z_FINISH);
            inflateEnd(&stream);
            if (result != Z_STREAM_END || stream.total_out != size) {
                error = u"can't inflate "_qs + name;
                return false;
            }
        } else {
            error = u"unknown method in "_qs + name;
            return false;
        }
        files.insert(name, out);
    }
    return true;
}

// Undoes the "_xHHHH_" escapes, left to right, as a spreadsheet application does.
QString unescape(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && text[i + 6] == u'_') {
            bool ok = false;
            const uint unit = text.mid(i + 2, 4).toUInt(&ok, 16);
            if (ok) {
                out += QChar(char16_t(unit));
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The text of an <si> or <is> element: its <t> children, or those of its <r> runs.
QString stringItem(QXmlStreamReader &xml)
{
    const QString element = xml.name().toString();
    QString text;
    while (xml.readNextStartElement() || (xml.isEndElement() && xml.name() != element)) {
        if (xml.isEndElement())
            continue;
        if (xml.name() == u"t")
            text += xml.readElementText();
        else if (xml.name() != u"r")
            xml.skipCurrentElement();
    }
    return unescape(text);
}

bool parseReference(const QString &ref, int &row, int &column)
{
    column = 0;
    qsizetype i = 0;
    while (i < ref.size() && ref[i].isLetter())
        column = column * 26 + (ref[i++].unicode() - u'A' + 1);
    bool ok = false;
    row = ref.mid(i).toInt(&ok);
    return ok && column > 0;
}

QList<XlsxFormat> readFormats(const QByteArray &data)
{
    QList<XlsxFormat> formats;
    QList<bool> boldFonts;
    QXmlStreamReader xml(data);
    bool inFonts = false, inXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement()) {
            if (xml.name() == u"fonts")
                inFonts = false;
            if (xml.name() == u"cellXfs")
                inXfs = false;
            continue;
        }
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == u"fonts") {
            inFonts = true;
        } else if (name == u"cellXfs") {
            inXfs = true;
        } else if (inFonts && name == u"font") {
            boldFonts.append(false);
        } else if (inFonts && name == u"b") {
            const auto val = xml.attributes().value(u"val"_qs);
            boldFonts.last() = val.isEmpty() || val == u"1" || val == u"true";
        } else if (inXfs && name == u"xf") {
            XlsxFormat format;
            const auto attributes = xml.attributes();
            const int font = attributes.value(u"fontId"_qs).toInt();
            format.bold = font < boldFonts.size() && boldFonts[font];
            format.numberFormat = attributes.value(u"numFmtId"_qs).toInt();
            format.quotePrefix = attributes.value(u"quotePrefix"_qs) == u"1";
            formats.append(format);
        } else if (inXfs && name == u"alignment") {
            const auto attributes = xml.attributes();
            formats.last().horizontal = attributes.value(u"horizontal"_qs).toString();
            formats.last().vertical = attributes.value(u"vertical"_qs).toString();
            formats.last().wrap = attributes.value(u"wrapText"_qs) == u"1";
        }
    }
    if (formats.isEmpty())
        formats.append(XlsxFormat());
    return formats;
}

bool readSheet(const QByteArray &data, const QStringList &shared, const QList<XlsxFormat> &formats,
               XlsxSheet &sheet, QString &error)
{
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        if (name == u"col") {
            const auto a = xml.attributes();
            for (int c = a.value(u"min"_qs).toInt(); c <= a.value(u"max"_qs).toInt(); ++c)
                sheet.columnWidths.insert(c, a.value(u"width"_qs).toDouble());
        } else if (name == u"row") {
            if (xml.attributes().value(u"customHeight"_qs) == u"1")
                sheet.fixedHeightRows.insert(xml.attributes().value(u"r"_qs).toInt());
        } else if (name == u"c") {
            const QString ref = xml.attributes().value(u"r"_qs).toString();
            XlsxCell cell;
            cell.type = xml.attributes().value(u"t"_qs).toString();
            cell.format = formats.value(xml.attributes().value(u"s"_qs).toInt());
            QString value;
            while (xml.readNextStartElement()) {
                if (xml.name() == u"v") {
                    value = xml.readElementText();
                } else if (xml.name() == u"f") {
                    cell.formula = true;
                    xml.skipCurrentElement();
                } else if (xml.name() == u"is") {
                    value = stringItem(xml);
                } else {
                    xml.skipCurrentElement();
                }
            }
            if (cell.type == u"s") {
                const int index = value.toInt();
                if (index < 0 || index >= shared.size()) {
                    error = u"bad shared string index in "_qs + ref;
                    return false;
                }
                cell.text = shared[index];
            } else {
                cell.text = value;
            }
            int row = 0, column = 0;
            if (!parseReference(ref, row, column)) {
                error = u"bad cell reference "_qs + ref;
                return false;
            }
            sheet.lastRow = std::max(sheet.lastRow, row);
            sheet.lastColumn = std::max(sheet.lastColumn, column);
            sheet.cells.insert(ref, cell);
        }
    }
    if (xml.hasError()) {
        error = xml.errorString();
        return false;
    }
    return true;
}

} // namespace

QString cellReference(int row, int column)
{
    QString letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row);
}

bool readXlsx(const QString &path, XlsxBook &book, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    QHash<QString, QByteArray> files;
    if (!unzip(file.readAll(), files, error))
        return false;

    QStringList shared;
    {
        QXmlStreamReader xml(files.value(u"xl/sharedStrings.xml"_qs));
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"si")
                shared.append(stringItem(xml));
        }
    }
    const QList<XlsxFormat> formats = readFormats(files.value(u"xl/styles.xml"_qs));

    QXmlStreamReader workbook(files.value(u"xl/workbook.xml"_qs));
    int index = 0;
    while (!workbook.atEnd()) {
        if (workbook.readNext() != QXmlStreamReader::StartElement || workbook.name() != u"sheet")
            continue;
        XlsxSheet sheet;
        sheet.name = workbook.attributes().value(u"name"_qs).toString();
        const QString part = u"xl/worksheets/sheet"_qs + QString::number(++index) + u".xml"_qs;
        if (!files.contains(part)) {
            error = u"missing "_qs + part;
            return false;
        }
        if (!readSheet(files.value(part), shared, formats, sheet, error))
            return false;
        book.sheets.append(sheet);
    }
    return true;
}
