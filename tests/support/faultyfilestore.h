#pragma once
// A file store whose first writes (of text or bytes) fail with a fault; later writes, and every
// read, go to the real file store.

#include "support/textfile.h"

class FaultyFileStore : public FileStore
{
public:
    // faultyWrites: how many writes fail; -1 for every one.
    explicit FaultyFileStore(TextFile::WriteFault fault, int faultyWrites = -1)
        : m_faulty(fault)
        , m_faultyWrites(faultyWrites)
    {}

    void WriteText(const QString &fileName, const QString &text) override;
    QString ReadText(const QString &fileName) override { return m_sound.ReadText(fileName); }
    void WriteBytes(const QString &fileName, const QByteArray &bytes) override;
    QByteArray ReadBytes(const QString &fileName) override { return m_sound.ReadBytes(fileName); }
    void Remove(const QString &fileName) override { m_sound.Remove(fileName); }

private:
    // The store for the next write: the faulty one while faulty writes remain.
    TextFile &store();

    TextFile m_faulty;
    TextFile m_sound;
    int m_faultyWrites;
};
