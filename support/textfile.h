#pragma once
// Whole-file text reading and writing. Writing stores UTF-16LE with a byte-order mark, which
// keeps every 16-bit text exactly; reading also takes files written elsewhere (UTF-16BE/LE or
// UTF-8 with a byte-order mark, else UTF-8 when the bytes are valid UTF-8, else Windows-1252).
// Failures throw AppError with a description; TextFile never shows a message itself.

#include "support/filestore.h"

#include <QByteArray>
#include <QString>

class TextFile : public FileStore
{
public:
    // Files larger than this are refused on reading (the cap holds for the bytes read,
    // whatever size the file reports): a text box takes up to 32 Mi characters in a few
    // seconds and about 10 bytes a character. Only regular files are read.
    static constexpr qint64 MaxReadBytes = qint64(32) * 1024 * 1024;

    // Where every write is made to fail, for tests of the failure paths; None in the program.
    enum class WriteFault
    {
        None,
        CreateTemporary,
        ShortWrite,
        DiskFull,
        Commit
    };

    // readLimit: a lower cap than MaxReadBytes, for tests of the cap.
    explicit TextFile(WriteFault fault = WriteFault::None, qint64 readLimit = MaxReadBytes)
        : m_fault(fault)
        , m_readLimit(readLimit)
    {}

    void WriteText(const QString &fileName, const QString &text) override;
    QString ReadText(const QString &fileName) override;
    void WriteBytes(const QString &fileName, const QByteArray &bytes) override;
    QByteArray ReadBytes(const QString &fileName) override;
    void Remove(const QString &fileName) override;

    static QByteArray encode(const QString &text);
    static QString decode(const QByteArray &bytes);

private:
    void writeBytes(const QString &fileName, const QByteArray &bytes);

    const WriteFault m_fault;
    const qint64 m_readLimit;
};
