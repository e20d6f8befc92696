#include "support/textfile.h"

#include "support/apperror.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>

namespace {

// Windows-1252 code points for the bytes 0x80 to 0x9F; the five unassigned bytes map to the
// C1 control of the same value, as Windows does.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeUtf16(const char *data, qsizetype size, bool bigEndian)
{
    QString text(size / 2, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    const auto *in = reinterpret_cast<const unsigned char *>(data);
    for (qsizetype i = 0; i < size / 2; ++i) {
        const char16_t a = in[2 * i], b = in[2 * i + 1];
        out[i] = bigEndian ? char16_t(a << 8 | b) : char16_t(b << 8 | a);
    }
    if (size % 2)
        text += QChar(QChar::ReplacementCharacter);
    return text;
}

QString decodeCp1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        out[i] = byte >= 0x80 && byte < 0xA0 ? Cp1252High[byte - 0x80] : char16_t(byte);
    }
    return text;
}

AppError fileError(const QString &fileName, QFileDevice::FileError error, const QString &detail)
{
    qint32 number = AppErrorNumber::PathFileAccess;
    switch (error) {
    case QFileDevice::PermissionsError:
        number = AppErrorNumber::PermissionDenied;
        break;
    case QFileDevice::ResourceError:
        number = AppErrorNumber::DiskFull;
        break;
    case QFileDevice::ReadError:
    case QFileDevice::WriteError:
        number = AppErrorNumber::DeviceIO;
        break;
    default:
        break;
    }
    return AppError(number, detail.isEmpty() ? QStringLiteral("Can't access ") + fileName : detail);
}

} // namespace

TextFile &TextFile::instance()
{
    static TextFile file;
    return file;
}

QByteArray TextFile::encode(const QString &text)
{
    QByteArray bytes(2 + text.size() * 2, Qt::Uninitialized);
    auto *out = reinterpret_cast<unsigned char *>(bytes.data());
    out[0] = 0xFF;
    out[1] = 0xFE;
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    for (qsizetype i = 0; i < text.size(); ++i) {
        out[2 + 2 * i] = static_cast<unsigned char>(in[i] & 0xFF);
        out[3 + 2 * i] = static_cast<unsigned char>(in[i] >> 8);
    }
    return bytes;
}

QString TextFile::decode(const QByteArray &bytes)
{
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE)
        return decodeUtf16(bytes.constData() + 2, n - 2, false);
    if (n >= 2 && b[0] == 0xFE && b[1] == 0xFF)
        return decodeUtf16(bytes.constData() + 2, n - 2, true);
    if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        return QString::fromUtf8(bytes.constData() + 3, n - 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeCp1252(bytes);
}

void TextFile::WriteText(const QString &fileName, const QString &text)
{
    const QByteArray bytes = encode(text);
    QSaveFile file(fileName);
    if (m_fault == WriteFault::CreateTemporary || !file.open(QIODevice::WriteOnly)) {
        const QString reason = m_fault == WriteFault::CreateTemporary
                                   ? QStringLiteral("Can't create the temporary file.")
                                   : file.errorString();
        throw fileError(fileName, file.error(), reason);
    }
    const qint64 wanted = m_fault == WriteFault::ShortWrite ? bytes.size() / 2 : bytes.size();
    if (file.write(bytes.constData(), wanted) != bytes.size()) {
        const bool full = errno == ENOSPC;
        const QString reason = m_fault == WriteFault::ShortWrite || file.errorString().isEmpty()
                                   ? QStringLiteral("Not all of the text could be written.")
                                   : file.errorString();
        file.cancelWriting();
        throw AppError(full ? AppErrorNumber::DiskFull : AppErrorNumber::DeviceIO, reason);
    }
    if (m_fault == WriteFault::Commit) {
        file.cancelWriting();
        file.commit();
        throw AppError(AppErrorNumber::PathFileAccess,
                       QStringLiteral("Can't replace the file with the new text."));
    }
    if (!file.commit())
        throw fileError(fileName, file.error(), file.errorString());
}

QString TextFile::ReadText(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        throw AppError(AppErrorNumber::FileNotFound, QStringLiteral("File not found."));
    if (info.isDir())
        throw AppError(AppErrorNumber::PathFileAccess,
                       QStringLiteral("The name is a folder, not a file."));
    if (info.size() > MaxReadBytes)
        throw AppError(AppErrorNumber::OutOfMemory,
                       QStringLiteral("The file is too large (%1 bytes; at most %2 are read).")
                           .arg(info.size())
                           .arg(MaxReadBytes));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw fileError(fileName, file.error(), file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw fileError(fileName, file.error(), file.errorString());
    return decode(bytes);
}
