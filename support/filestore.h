#pragma once
// Where the program's text files are read and written. Start-up makes one TextFile and hands it
// to the window's document; tests hand in a store that fails on purpose.

#include <QByteArray>
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
    // The same for files of bytes (the samples beside a pattern file), with the same care:
    // written whole or not at all, the old file's mode kept.
    virtual void WriteBytes(const QString &fileName, const QByteArray &bytes) = 0;
    virtual QByteArray ReadBytes(const QString &fileName) = 0;
    // Removes the file; nothing when there is none. Failures throw AppError.
    virtual void Remove(const QString &fileName) = 0;
};
