#pragma once
// The desktop's default application for a file's type, as the program opens files.

#include "support/fileopener.h"

class DesktopOpener : public FileOpener
{
public:
    // False without trying when the desktop names no application for the file's type.
    bool Open(const QString &filePath) override;
};
