#pragma once
// Whether the result box holds the output of the last Replace as it was written, so that the
// live results may write the next one over it. Any other change of the box (typing, pasting, a
// document filling it) makes it the user's until the next Replace by command.

#include <QObject>

class QPlainTextEdit;

class ReplaceOutput : public QObject
{
    Q_OBJECT

public:
    explicit ReplaceOutput(QPlainTextEdit *resultBox);

    // Runs write, which puts a Replace's output into the box and returns true, or returns
    // false when it left the box as it was (a cancelled run).
    template<typename Write>
    void write(Write &&write)
    {
        m_writing = true;
        const bool written = write();
        m_writing = false;
        m_unedited = written || m_unedited;
    }
    // True while the box holds the last Replace's output unedited.
    bool unedited() const { return m_unedited; }

private:
    bool m_writing = false;
    bool m_unedited = false;
};
