#pragma once
// Engine errors as AppError for the error report. The runner's own: the layers above it read
// the engine's texts through runner/u16text.h and report through support/ themselves.

#include "runner/engine/regexp.h"
#include "runner/u16text.h"
#include "support/apperror.h"

AppError toAppError(const engine::RegExpError &error);
// The error for a run that ran out of memory.
AppError outOfMemoryError();
