#include "tests/support/limitedfilestore.h"

#include "tests/support/filesizelimit.h"

template<class Write>
void LimitedFileStore::limited(Write write)
{
    if (m_limitedWrites == 0)
        return write();
    if (m_limitedWrites > 0)
        --m_limitedWrites;
    const FileSizeLimit limit(m_limit);
    write();
}

void LimitedFileStore::WriteText(const QString &fileName, const QString &text)
{
    limited([&] { m_files.WriteText(fileName, text); });
}

void LimitedFileStore::WriteBytes(const QString &fileName, const QByteArray &bytes)
{
    limited([&] { m_files.WriteBytes(fileName, bytes); });
}
