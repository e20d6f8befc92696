#include "support/filereplacement.h"

#include "support/apperror.h"
#include "support/systemerror.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A failure of a step after which errno tells why; the full disk and the file size limit keep
// their own sentences.
AppError stepError(const QString &fileName, const QString &step, int error)
{
    if (error == ENOSPC || error == EDQUOT || error == EFBIG || error == 0)
        return systemError(fileName, error);
    const AppError plain = systemError(fileName, error);
    return AppError(plain.number(), step + u": " + reason(error) + u'.');
}

// The new file beside the old one: removed again unless it was renamed into place.
class NewFile
{
public:
    explicit NewFile(QByteArray pattern)
        : m_path(std::move(pattern))
        , m_fd(::mkostemp(m_path.data(), O_CLOEXEC))
        , m_created(m_fd >= 0)
    {}
    ~NewFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (m_created && !m_placed)
            ::unlink(m_path.constData());
    }
    NewFile(const NewFile &) = delete;
    NewFile &operator=(const NewFile &) = delete;

    bool created() const { return m_created; }
    int fd() const { return m_fd; }
    const QByteArray &path() const { return m_path; }
    // Closes the descriptor; false with errno set when the close reports a failure.
    bool close()
    {
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0;
    }
    void placed() { m_placed = true; }

private:
    QByteArray m_path;
    int m_fd;
    const bool m_created;
    bool m_placed = false;
};

// Gives the new file the old one's extended attributes (ACLs among them), where allowed.
void copyAttributes(const QByteArray &from, int to)
{
    const ssize_t size = ::listxattr(from.constData(), nullptr, 0);
    if (size <= 0)
        return;
    QByteArray names(size, Qt::Uninitialized);
    const ssize_t got = ::listxattr(from.constData(), names.data(), size_t(names.size()));
    if (got <= 0)
        return;
    for (const QByteArray &name : names.left(got).split('\0')) {
        if (name.isEmpty())
            continue;
        const ssize_t length = ::getxattr(from.constData(), name.constData(), nullptr, 0);
        if (length < 0)
            continue;
        QByteArray value(length, Qt::Uninitialized);
        const ssize_t read =
            ::getxattr(from.constData(), name.constData(), value.data(), size_t(value.size()));
        if (read >= 0)
            (void)::fsetxattr(to, name.constData(), value.constData(), size_t(read), 0);
    }
}

// The mode a file created now gets: 0666 less the process's mask.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void writeAll(const QString &fileName, int fd, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const size_t chunk = size_t(std::min<qint64>(bytes.size() - done, qint64(1) << 30));
        const ssize_t wrote = ::write(fd, bytes.constData() + done, chunk);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote < 0)
            throw stepError(fileName, QStringLiteral("Writing the text failed"), errno);
        if (wrote == 0)
            throw AppError(AppErrorNumber::DeviceIO,
                           QStringLiteral("Only %1 of %2 bytes could be written.")
                               .arg(done)
                               .arg(bytes.size()));
        done += wrote;
    }
}

} // namespace

void replaceFileContent(const QString &fileName, const QByteArray &bytes)
{
    QByteArray path = QFile::encodeName(fileName);
    struct stat old;
    const bool replacing = ::stat(path.constData(), &old) == 0;
    if (!replacing && errno == ELOOP)
        throw systemError(fileName, errno);
    if (replacing && S_ISDIR(old.st_mode))
        throw systemError(fileName, EISDIR);
    if (replacing) {
        // Through a symbolic link, the file it leads to is replaced, not the link.
        const QString target = QFileInfo(fileName).canonicalFilePath();
        if (!target.isEmpty())
            path = QFile::encodeName(target);
    }

    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder =
        slash < 0 ? QByteArray(".") : path.left(std::max<qsizetype>(slash, 1));
    NewFile file(folder + "/.sievewright-XXXXXX");
    if (!file.created())
        throw stepError(fileName, QStringLiteral("Can't create the new file beside it"), errno);

    if (replacing && S_ISREG(old.st_mode)) {
        copyAttributes(path, file.fd());
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid())
            (void)::fchown(file.fd(), old.st_uid, old.st_gid); // kept where allowed
        (void)::fchmod(file.fd(), old.st_mode & 07777);
    } else {
        (void)::fchmod(file.fd(), newFileMode());
    }

    writeAll(fileName, file.fd(), bytes);
    if (::fsync(file.fd()) != 0)
        throw stepError(fileName, QStringLiteral("The text could not be flushed to the disk"),
                        errno);
    struct stat written;
    if (::fstat(file.fd(), &written) != 0)
        throw stepError(fileName, QStringLiteral("The new file can't be checked"), errno);
    if (written.st_size != bytes.size())
        throw AppError(AppErrorNumber::DeviceIO,
                       QStringLiteral("The new file holds %1 bytes instead of %2.")
                           .arg(qint64(written.st_size))
                           .arg(bytes.size()));
    if (!file.close())
        throw stepError(fileName, QStringLiteral("The new file could not be closed"), errno);
    if (::rename(file.path().constData(), path.constData()) != 0)
        throw stepError(fileName, QStringLiteral("Can't replace the file with the new text"),
                        errno);
    file.placed();

    // The rename itself reaches the disk with the folder; the file is in place either way.
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
}
