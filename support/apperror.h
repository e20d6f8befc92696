#pragma once
// The error that support calls, file operations and the engine adapter throw. Callers catch it
// at the points where a failure is looked at and report it through ErrorReporter.

#include <QString>

#include <exception>

class AppError : public std::exception
{
public:
    // position: offset in the pattern (UTF-16 code units) for pattern errors, else -1.
    AppError(qint32 number, QString description, qint32 position = -1);

    qint32 number() const { return m_number; }
    const QString &description() const { return m_description; }
    qint32 position() const { return m_position; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    qint32 m_number;
    QString m_description;
    qint32 m_position;
    QByteArray m_what;
};

// Error numbers for failures that do not come from the engine.
namespace AppErrorNumber {
inline constexpr qint32 FileNotFound = 53;
inline constexpr qint32 PermissionDenied = 70;
inline constexpr qint32 PathFileAccess = 75;
inline constexpr qint32 DiskFull = 61;
inline constexpr qint32 DeviceIO = 57;
inline constexpr qint32 OutOfMemory = 7;
} // namespace AppErrorNumber
