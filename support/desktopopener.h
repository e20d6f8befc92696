#pragma once
// Opening a file in the desktop's default application for its type (the spreadsheet export
// hands its workbook over this way). Tests replace the opener so that nothing is launched.

#include <QString>

#include <functional>

class DesktopOpener
{
public:
    // Returns true when an application was started for the file.
    using Opener = std::function<bool(const QString &filePath)>;

    static DesktopOpener &instance();

    // Opens filePath (absolute) through the installed opener, else the desktop's own. True when
    // an application was started; whether it can read the file is not known.
    bool Open(const QString &filePath);
    // Replaces how files are opened for the whole process; an empty function restores the
    // desktop's own.
    void setOpener(Opener opener);

private:
    DesktopOpener() = default;

    Opener m_opener;
};
