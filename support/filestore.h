#pragma once
// Where the program's text files are read and written. Start-up makes one TextFile and hands it
// to the window's document; tests hand in a store that fails on purpose.

#include <QString>

class FileStore
{
public:
    virtual ~FileStore() = default;

    // Replaces the file atomically: on any failure the old file stays as it was. Failures throw
    // AppError with a description.
    virtual void WriteText(const QString &fileName, const QString &text) = 0;
    // The file's whole text; failures throw AppError with a description.
    virtual QString ReadText(const QString &fileName) = 0;
};
