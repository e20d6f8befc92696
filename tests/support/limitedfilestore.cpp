#include "tests/support/limitedfilestore.h"

#include "tests/support/filesizelimit.h"

void LimitedFileStore::WriteText(const QString &fileName, const QString &text)
{
    if (m_limitedWrites == 0)
        return m_files.WriteText(fileName, text);
    if (m_limitedWrites > 0)
        --m_limitedWrites;
    const FileSizeLimit limit(m_limit);
    m_files.WriteText(fileName, text);
}
