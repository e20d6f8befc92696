#pragma once
// Between the Qt side and the engine: texts without copies into the engine, engine errors as
// AppError for the error report.

#include "runner/engine/regexp.h"
#include "support/apperror.h"

#include <QString>

#include <string>
#include <string_view>

// A view of the QString's UTF-16 code units; valid while the string lives and is unchanged.
inline std::u16string_view u16View(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), static_cast<size_t>(text.size())};
}

inline QString toQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

AppError toAppError(const engine::RegExpError &error);
// The error for a run that ran out of memory.
AppError outOfMemoryError();
