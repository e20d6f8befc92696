#pragma once
// The process-wide error report: a modal box with the caller's message, then what went wrong.

#include "support/apperror.h"

#include <QString>

class ModalHost;

class ErrorReporter
{
public:
    static ErrorReporter &instance();

    // Shows through host: message, a blank line, the error's description, its number and (for
    // pattern errors) its 1-based position in the pattern. style 16: OK; style 21: Retry and
    // Cancel. Returns the button code (4 for Retry).
    int ShowError(ModalHost &host, const AppError &error, int style, const QString &message);

    // The text that ShowError puts in the box.
    static QString reportText(const AppError &error, const QString &message);

private:
    ErrorReporter() = default;
};
