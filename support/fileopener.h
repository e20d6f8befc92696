#pragma once
// Opening a file in an application outside the program (the spreadsheet export hands its
// workbook over this way, and the read-me goes to the desktop's viewer). Start-up hands the
// desktop's own opener down; tests hand in one that starts nothing.

#include <QString>

class FileOpener
{
public:
    virtual ~FileOpener() = default;

    // Opens filePath (absolute). True when an application was started for the file; whether it
    // can read the file is not known.
    virtual bool Open(const QString &filePath) = 0;
};
