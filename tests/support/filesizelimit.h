#pragma once
// The kernel's limit on the size of files this process writes (RLIMIT_FSIZE), lowered for a
// scope: a write past it fails with EFBIG (SIGXFSZ is ignored meanwhile), as on a full disk.

#include <QtGlobal>

#include <signal.h>
#include <sys/resource.h>

class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    struct rlimit m_old;
    struct sigaction m_oldAction;
};
