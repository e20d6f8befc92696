#include "support/textfile.h"

#include "support/apperror.h"

#include <QFile>
#include <QSaveFile>
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

// The error for a failed system call on fileName, described by its errno.
AppError systemError(const QString &fileName, int error)
{
    switch (error) {
    case ENOENT:
        return AppError(AppErrorNumber::FileNotFound, QStringLiteral("File not found."));
    case EACCES:
    case EPERM:
        return AppError(AppErrorNumber::PermissionDenied, QStringLiteral("Permission denied."));
    case ENOSPC:
    case EDQUOT:
        return AppError(AppErrorNumber::DiskFull, QStringLiteral("The disk is full."));
    case ELOOP:
        return AppError(AppErrorNumber::PathFileAccess,
                        QStringLiteral("The name leads to a loop of symbolic links."));
    case ENOMEM:
        return AppError(AppErrorNumber::OutOfMemory, QStringLiteral("Out of memory."));
    case EIO:
        return AppError(AppErrorNumber::DeviceIO, QString::fromLocal8Bit(std::strerror(error)));
    case 0:
        return AppError(AppErrorNumber::PathFileAccess, QStringLiteral("Can't access ") + fileName);
    default:
        return AppError(AppErrorNumber::PathFileAccess,
                        QString::fromLocal8Bit(std::strerror(error)) + u'.');
    }
}

// The error of a QFileDevice operation that failed with errno set.
AppError fileError(const QString &fileName, QFileDevice::FileError error, int savedErrno,
                   const QString &detail)
{
    if (savedErrno == ENOSPC || savedErrno == EDQUOT || savedErrno == ELOOP)
        return systemError(fileName, savedErrno);
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

AppError tooLarge(qint64 size, qint64 limit)
{
    return AppError(AppErrorNumber::OutOfMemory,
                    QStringLiteral("The file is too large (%1 bytes or more; at most %2 are read).")
                        .arg(size)
                        .arg(limit));
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

// The whole content of a regular file, at most TextFile::MaxReadBytes. Never blocks on a pipe
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
    try {
        writeBytes(fileName, encode(text));
    } catch (const std::bad_alloc &) {
        throw AppError(AppErrorNumber::OutOfMemory,
                       QStringLiteral("There is not enough memory to save the text."));
    }
}

void TextFile::writeBytes(const QString &fileName, const QByteArray &bytes)
{
    // The old file's mode and owner go to the new one: QSaveFile alone would make a read-only
    // file writable when the superuser saves over it.
    struct stat old;
    const QByteArray path = QFile::encodeName(fileName);
    const bool replacing = ::stat(path.constData(), &old) == 0;
    if (!replacing && errno == ELOOP)
        throw systemError(fileName, errno);
    QSaveFile file(fileName);
    if (m_fault == WriteFault::CreateTemporary || !file.open(QIODevice::WriteOnly)) {
        const int saved = errno;
        const QString reason = m_fault == WriteFault::CreateTemporary
                                   ? QStringLiteral("Can't create the temporary file.")
                                   : file.errorString();
        throw fileError(fileName, file.error(), saved, reason);
    }
    if (replacing && S_ISREG(old.st_mode)) {
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid())
            (void)::fchown(file.handle(), old.st_uid, old.st_gid); // kept where allowed
        ::fchmod(file.handle(), old.st_mode & 07777);
    }
    const qint64 wanted = m_fault == WriteFault::ShortWrite ? bytes.size() / 2 : bytes.size();
    errno = 0;
    if (m_fault == WriteFault::DiskFull || file.write(bytes.constData(), wanted) != bytes.size()) {
        const bool full = m_fault == WriteFault::DiskFull || errno == ENOSPC || errno == EDQUOT;
        const QString reason = m_fault == WriteFault::ShortWrite || file.errorString().isEmpty()
                                   ? QStringLiteral("Not all of the text could be written.")
                                   : file.errorString();
        file.cancelWriting();
        if (full)
            throw systemError(fileName, ENOSPC);
        throw AppError(AppErrorNumber::DeviceIO, reason);
    }
    if (m_fault == WriteFault::Commit) {
        file.cancelWriting();
        file.commit();
        throw AppError(AppErrorNumber::PathFileAccess,
                       QStringLiteral("Can't replace the file with the new text."));
    }
    errno = 0;
    if (!file.commit())
        throw fileError(fileName, file.error(), errno, file.errorString());
}

QString TextFile::ReadText(const QString &fileName)
{
    try {
        return decode(readRegularFile(fileName, m_readLimit));
    } catch (const std::bad_alloc &) {
        throw AppError(AppErrorNumber::OutOfMemory,
                       QStringLiteral("There is not enough memory to read the file."));
    }
}

void TextFile::WriteBytes(const QString &fileName, const QByteArray &bytes)
{
    writeBytes(fileName, bytes);
}

QByteArray TextFile::ReadBytes(const QString &fileName)
{
    try {
        return readRegularFile(fileName, m_readLimit);
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
