#pragma once
// The AppError for a failed system call, from its errno: the number the program reports for
// that kind of failure and a sentence a user can act on.

#include "support/apperror.h"

#include <QString>

// error: the errno of the failed call on fileName; 0 when the call set none.
AppError systemError(const QString &fileName, int error);
