#include "tests/support/faultyfilestore.h"

void FaultyFileStore::WriteText(const QString &fileName, const QString &text)
{
    store().WriteText(fileName, text);
}

void FaultyFileStore::WriteBytes(const QString &fileName, const QByteArray &bytes)
{
    store().WriteBytes(fileName, bytes);
}

TextFile &FaultyFileStore::store()
{
    if (m_faultyWrites == 0)
        return m_sound;
    if (m_faultyWrites > 0)
        --m_faultyWrites;
    return m_faulty;
}
