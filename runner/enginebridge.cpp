#include "runner/enginebridge.h"

AppError toAppError(const engine::RegExpError &error)
{
    return AppError(error.number(), toQString(error.description()), error.position());
}

AppError outOfMemoryError()
{
    return AppError(AppErrorNumber::OutOfMemory, QStringLiteral("Out of memory."));
}
