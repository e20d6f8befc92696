#pragma once
// A file store whose first writes (of text or bytes) run under a file-size limit; later writes, and
// every read, are the real file store's.

#include "support/textfile.h"

#include <QString>

class LimitedFileStore : public FileStore
{
public:
    // limitedWrites: how many writes run under the limit; -1 for every one.
    explicit LimitedFileStore(qint64 limitBytes, int limitedWrites = -1)
        : m_limit(limitBytes)
        , m_limitedWrites(limitedWrites)
    {}

    void WriteText(const QString &fileName, const QString &text) override;
    QString ReadText(const QString &fileName) override { return m_files.ReadText(fileName); }
    void WriteBytes(const QString &fileName, const QByteArray &bytes) override;
    QByteArray ReadBytes(const QString &fileName) override { return m_files.ReadBytes(fileName); }
    void Remove(const QString &fileName) override { m_files.Remove(fileName); }

private:
    // Runs write under the limit while limited writes remain.
    template<class Write>
    void limited(Write write);

    TextFile m_files;
    qint64 m_limit;
    int m_limitedWrites;
};
