#include "tests/support/faultyfilestore.h"

void FaultyFileStore::WriteText(const QString &fileName, const QString &text)
{
    if (m_faultyWrites == 0)
        return m_sound.WriteText(fileName, text);
    if (m_faultyWrites > 0)
        --m_faultyWrites;
    m_faulty.WriteText(fileName, text);
}
