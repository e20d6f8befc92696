#pragma once
// Whole-file text reading and writing. Writing stores UTF-16LE with a byte-order mark, which
// keeps every 16-bit text exactly; reading also takes files written elsewhere (UTF-16BE/LE or
// UTF-8 with a byte-order mark, else UTF-8 when the bytes are valid UTF-8, else Windows-1252).
// Failures throw AppError with a description; TextFile never shows a message itself.

#include <QByteArray>
#include <QString>

class TextFile
{
public:
    // Files larger than this are refused on reading (the cap holds for the bytes read,
    // whatever size the file reports): a text box takes up to 32 Mi characters in a few
    // seconds and about 10 bytes a character. Only regular files are read.
    static constexpr qint64 MaxReadBytes = qint64(32) * 1024 * 1024;

    // Where a write is made to fail, for tests of the callers' failure paths.
    enum class WriteFault
    {
        None,
        CreateTemporary,
        ShortWrite,
        DiskFull,
        Commit
    };

    static TextFile &instance();

    // Replaces the file atomically: on any failure the old file stays as it was.
    void WriteText(const QString &fileName, const QString &text);
    QString ReadText(const QString &fileName);

    static QByteArray encode(const QString &text);
    static QString decode(const QByteArray &bytes);

    void setWriteFault(WriteFault fault) { m_fault = fault; }
    // A lower cap than MaxReadBytes, for tests of the cap.
    void setReadLimit(qint64 bytes) { m_readLimit = bytes; }

private:
    TextFile() = default;
    void writeBytes(const QString &fileName, const QByteArray &bytes);

    WriteFault m_fault = WriteFault::None;
    qint64 m_readLimit = MaxReadBytes;
};
