#include "support/systemerror.h"

#include <cerrno>
#include <cstring>

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
    case EFBIG:
        return AppError(AppErrorNumber::DiskFull,
                        QStringLiteral("The file would be larger than the system lets this "
                                       "program write (file size limit)."));
    case ELOOP:
        return AppError(AppErrorNumber::PathFileAccess,
                        QStringLiteral("The name leads to a loop of symbolic links."));
    case EISDIR:
        return AppError(AppErrorNumber::PathFileAccess,
                        QStringLiteral("The name is a folder, not a file."));
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
