#include "ui/main/replaceoutput.h"

#include <QPlainTextEdit>

ReplaceOutput::ReplaceOutput(QPlainTextEdit *resultBox)
    : QObject(resultBox)
{
    connect(resultBox, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_writing)
            m_unedited = false;
    });
}
