#pragma once
// A file store whose first writes fail with a fault; later writes, and every read, go to the
// real file store.

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

private:
    TextFile m_faulty;
    TextFile m_sound;
    int m_faultyWrites;
};
