#include "tests/support/recordingopener.h"

bool RecordingOpener::Open(const QString &filePath)
{
    m_opened.append({filePath, mousePointer()});
    return m_starts;
}
