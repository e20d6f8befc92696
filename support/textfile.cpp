#include "support/textfile.h"

#include "support/apperror.h"
#include "support/filereplacement.h"
#include "support/systemerror.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

AppError tooLarge(qint64 size, qint64 limit)
{
    return AppError(AppErrorNumber::OutOfMemory,
                    QStringLiteral("The file is too large (%1 bytes or more; at most %2 are read).")
                        .arg(size)
                        .arg(limit));
}

// The bytes that may hold maxChars characters: 3 for one in UTF-8, and a byte-order mark.
qint64 byteLimit(qsizetype maxChars)
{
    return 3 * qint64(maxChars) + 3;
}

// Closes a descriptor when it goes out of scope.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// What a name that is not a regular file is.
QString specialFileKind(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("The name is a folder, not a file.");
    if (S_ISFIFO(mode))
        return QStringLiteral(
            "The name is a pipe (FIFO), not a file; only regular files are read.");
    if (S_ISSOCK(mode))
        return QStringLiteral("The name is a socket, not a file; only regular files are read.");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("The name is a device, not a file; only regular files are read.");
    return QStringLiteral("The name is not a regular file; only regular files are read.");
}

// The whole content of a regular file, at most limit bytes. Never blocks on a pipe
// or device: those are refused before and after opening.
QByteArray readRegularFile(const QString &fileName, qint64 limit)
{
    const QByteArray path = QFile::encodeName(fileName);
    struct stat info;
    if (::stat(path.constData(), &info) != 0)
        throw systemError(fileName, errno);
    if (!S_ISREG(info.st_mode))
        throw AppError(AppErrorNumber::PathFileAccess, specialFileKind(info.st_mode));
    if (info.st_size > limit)
        throw tooLarge(info.st_size, limit);
    const FileDescriptor fd(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        throw systemError(fileName, errno);
    // The name may have been replaced between the two looks.
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        throw AppError(AppErrorNumber::PathFileAccess, specialFileKind(info.st_mode));

    // The size is only a hint: the file may grow while it is read, so the cap holds for the
    // bytes actually read.
    QByteArray bytes(qsizetype(info.st_size) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > limit)
                throw tooLarge(filled, limit);
            bytes.resize(std::min<qsizetype>(filled * 2 + 4096, limit + 1));
        }
        const ssize_t got = ::read(fd.get(), bytes.data() + filled, size_t(bytes.size() - filled));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw systemError(fileName, errno);
        }
        if (got == 0)
            break;
        filled += got;
    }
    if (filled > limit)
        throw tooLarge(filled, limit);
    bytes.truncate(filled);
    return bytes;
}

} // namespace

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
    // What could not be read back is not written.
    checkReadable(text, true);
    try {
        replaceFileContent(fileName, encode(text));
    } catch (const std::bad_alloc &) {
        throw AppError(AppErrorNumber::OutOfMemory,
                       QStringLiteral("There is not enough memory to save the text."));
    }
}

void TextFile::checkReadable(const QString &text, bool writing) const
{
    const QString what = writing ? QStringLiteral("The text is too large to be opened again")
                                 : QStringLiteral("The file is too large");
    if (text.size() > m_maxChars)
        throw AppError(AppErrorNumber::OutOfMemory,
                       QStringLiteral("%1 (%2 characters; at most %3 are read).")
                           .arg(what)
                           .arg(text.size())
                           .arg(m_maxChars));
}

QString TextFile::ReadText(const QString &fileName)
{
    try {
        QString text = decode(readRegularFile(fileName, byteLimit(m_maxChars)));
        checkReadable(text, false);
        return text;
    } catch (const std::bad_alloc &) {
        throw AppError(AppErrorNumber::OutOfMemory,
                       QStringLiteral("There is not enough memory to read the file."));
    }
}

void TextFile::WriteBytes(const QString &fileName, const QByteArray &bytes)
{
    replaceFileContent(fileName, bytes);
}

QByteArray TextFile::ReadBytes(const QString &fileName)
{
    try {
        return readRegularFile(fileName, byteLimit(m_maxChars));
    } catch (const std::bad_alloc &) {
        throw AppError(AppErrorNumber::OutOfMemory,
                       QStringLiteral("There is not enough memory to read the file."));
    }
}

void TextFile::Remove(const QString &fileName)
{
    const QByteArray path = QFile::encodeName(fileName);
    if (::unlink(path.constData()) != 0 && errno != ENOENT)
        throw systemError(fileName, errno);
}
