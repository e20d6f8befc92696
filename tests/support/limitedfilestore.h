#pragma once
// A file store whose first writes run under a file-size limit; later writes, and every read,
// are the real file store's.

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

private:
    TextFile m_files;
    qint64 m_limit;
    int m_limitedWrites;
};
