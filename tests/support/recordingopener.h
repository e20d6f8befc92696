#pragma once
// An opener that starts nothing: it records every file it is asked to open, with the mouse
// pointer shown at that moment, and answers as it was made to.

#include "support/fileopener.h"
#include "support/mousepointer.h"

#include <QList>

class RecordingOpener : public FileOpener
{
public:
    struct Opened
    {
        QString path;
        MousePointer pointer;
    };

    // starts: what every Open answers (whether an application "was started").
    explicit RecordingOpener(bool starts = true)
        : m_starts(starts)
    {}

    bool Open(const QString &filePath) override;
    void setStarts(bool starts) { m_starts = starts; }

    // The files asked for, oldest first.
    const QList<Opened> &opened() const { return m_opened; }

private:
    bool m_starts;
    QList<Opened> m_opened;
};
