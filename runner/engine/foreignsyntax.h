#pragma once
// Constructs that other regular-expression dialects give a meaning and this one reads
// differently: escapes that are plain letters here (\z, \p{L}, \x{41}) and group syntax that is
// an error here ((?<name>, (?<=, (?i)). Explain words its lines with them; Lint warns with them.

#include "runner/engine/patternmap.h"
#include "runner/engine/readoptions.h"

#include <optional>
#include <string>
#include <string_view>

namespace engine::detail {

struct ForeignConstruct
{
    TextSpan span;
    std::u16string here;      // what it is in this dialect ("the letter z")
    std::u16string elsewhere; // what it means in other dialects ("the end of the text")
    std::u16string advice;    // what to write here instead
    std::optional<std::u16string> replacement;
};

// The construct an identity escape at `at` (its backslash) starts, if it is one of another
// dialect's escapes; the span may reach past the escape (\p{L}, \x{41}).
std::optional<ForeignConstruct> foreignEscape(std::u16string_view pattern, int at,
                                              const ReadOptions &options);

// The group syntax of another dialect starting at the "(" at `at`, if any.
std::optional<ForeignConstruct> foreignGroup(std::u16string_view pattern, int at);

// "U+00E9"
std::u16string codeName(char16_t c);
// A character as shown in a line of text: "é", or its code where it does not print.
std::u16string shownChar(char16_t c);

} // namespace engine::detail
