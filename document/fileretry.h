#pragma once
// The file messages of the document: a message about a file, and an operation offered again
// with Retry and Cancel after each failure.

#include "support/apperror.h"
#include "support/errorreporter.h"
#include "support/messagebox.h"

#include <QString>

class ModalHost;

// A message about a file: the full name, a blank line, then the sentence.
inline QString fileMessage(const QString &fileName, const QString &sentence)
{
    return fileName + u"\r\n\r\n" + sentence;
}

// Runs operation until it succeeds, offering Retry and Cancel with failure after each error.
// True when the operation succeeded, false when the user cancelled.
template<class Operation>
bool retrying(ModalHost &modal, const QString &failure, Operation operation)
{
    for (;;) {
        try {
            operation();
            return true;
        } catch (const AppError &error) {
            const int button = ErrorReporter::instance().ShowError(
                modal, error, MsgBoxStyle::RetryCancelCritical, failure);
            if (button != MsgBoxButton::Retry)
                return false;
        }
    }
}
