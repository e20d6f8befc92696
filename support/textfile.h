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
    // Files of more characters than this are refused on reading, and texts of more are refused
    // on writing (so whatever is written can be read back), whatever the encoding: the text
    // boxes take that many in a few seconds at about 10 bytes a character. The bytes read are
    // capped too (3 for a character at most, as in UTF-8), whatever size the file reports.
    // Only regular files are read.
    static constexpr qsizetype MaxChars = qsizetype(16) * 1024 * 1024;

    // A lower cap, for tests of the cap.
    explicit TextFile(qsizetype maxChars = MaxChars)
        : m_maxChars(maxChars)
    {}

    void WriteText(const QString &fileName, const QString &text) override;
    QString ReadText(const QString &fileName) override;
    void WriteBytes(const QString &fileName, const QByteArray &bytes) override;
    QByteArray ReadBytes(const QString &fileName) override;
    void Remove(const QString &fileName) override;

    static QByteArray encode(const QString &text);
    static QString decode(const QByteArray &bytes);

private:
    // Throws the AppError that names the cap text is over, if any.
    void checkReadable(const QString &text, bool writing) const;

    const qsizetype m_maxChars;
};
