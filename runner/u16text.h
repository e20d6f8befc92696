#pragma once
// Texts between Qt and the engine without copies into the engine: both hold UTF-16 code units.

#include <QString>

#include <cstddef>
#include <string_view>

// A view of the QString's UTF-16 code units; valid while the string lives and is unchanged.
inline std::u16string_view u16View(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()),
            static_cast<std::size_t>(text.size())};
}

inline QString toQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}
