#include "runner/engine/foreignsyntax.h"

#include <array>

namespace engine::detail {
namespace {

struct EscapeNote
{
    char16_t letter;
    const char16_t *elsewhere;
    const char16_t *advice;
    const char16_t *replacement; // null: none
    bool replacementNeedsNoMultiline;
};

constexpr std::array<EscapeNote, 13> EscapeNotes{{
    {u'A', u"the start of the text", u"use ^ without Multiline", u"^", true},
    {u'Z', u"the end of the text", u"use $ without Multiline", u"$", true},
    {u'z', u"the end of the text", u"use $ without Multiline", u"$", true},
    {u'G', u"where the last match ended", u"this dialect has no such anchor", nullptr, false},
    {u'h', u"a space or tab", u"use [ \\t]", u"[ \\t]", false},
    {u'H', u"anything but a space or tab", u"use [^ \\t]", u"[^ \\t]", false},
    {u'R', u"any line break", u"use (?:\\r\\n|\\n|\\r)", u"(?:\\r\\n|\\n|\\r)", false},
    {u'K', u"\"forget what matched so far\"", u"capture the wanted part in a group instead",
     nullptr, false},
    {u'e', u"the escape character", u"use \\x1B", u"\\x1B", false},
    {u'a', u"the bell character", u"use \\x07", u"\\x07", false},
    {u'Q', u"the start of quoted text", u"escape each special character with \\ instead", nullptr,
     false},
    {u'E', u"the end of quoted text", u"escape each special character with \\ instead", nullptr,
     false},
    {u'p', u"a Unicode property", u"list the characters in a class, such as [A-Za-z]", nullptr,
     false},
}};

std::u16string hex(unsigned value, int digits)
{
    static constexpr char16_t Digits[] = u"0123456789ABCDEF";
    std::u16string out(static_cast<std::size_t>(digits), u'0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4)
        out[static_cast<std::size_t>(i)] = Digits[value & 15];
    return out;
}

// The length of "{...}" at `at` (letters, digits, "_", "=", "^", "-", "&" inside), or 0.
std::size_t bracedLength(std::u16string_view p, std::size_t at)
{
    if (at >= p.size() || p[at] != u'{')
        return 0;
    for (std::size_t i = at + 1; i < p.size() && i < at + 40; ++i) {
        const char16_t c = p[i];
        if (c == u'}')
            return i > at + 1 ? i + 1 - at : 0;
        const bool word = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                          (c >= u'0' && c <= u'9') || c == u'_' || c == u'=' || c == u'^' ||
                          c == u'-' || c == u'&' || c == u' ';
        if (!word)
            return 0;
    }
    return 0;
}

std::optional<ForeignConstruct> hexInBraces(std::u16string_view p, std::size_t at)
{
    const std::size_t braces = bracedLength(p, at + 2);
    if (braces == 0 || braces > 6)
        return std::nullopt;
    unsigned value = 0;
    for (std::size_t i = at + 3; i < at + 1 + braces; ++i) {
        const char16_t c = p[i];
        const int d = c >= u'0' && c <= u'9'   ? c - u'0'
                      : c >= u'a' && c <= u'f' ? c - u'a' + 10
                      : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                               : -1;
        if (d < 0)
            return std::nullopt;
        value = value * 16 + static_cast<unsigned>(d);
    }
    ForeignConstruct f;
    f.span = TextSpan{static_cast<int>(at), static_cast<int>(2 + braces)};
    f.here = u"the letter x and then " + std::u16string(p.substr(at + 2, braces));
    f.elsewhere = u"a character by its code";
    if (value <= 0xFFFF) {
        f.replacement = u"\\u" + hex(value, 4);
        f.advice = u"use " + *f.replacement;
    } else {
        f.advice = u"write the character as its surrogate pair \\uD8xx\\uDCxx";
    }
    return f;
}

// "(?<name>" or "(?P<name>": the length up to and with ">", or 0.
std::size_t namedGroupLength(std::u16string_view p, std::size_t nameStart)
{
    for (std::size_t i = nameStart; i < p.size() && i < nameStart + 64; ++i) {
        const char16_t c = p[i];
        if (c == u'>')
            return i > nameStart ? i + 1 : 0;
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
              c == u'_'))
            return 0;
    }
    return 0;
}

ForeignConstruct group(std::size_t at, std::size_t end, const char16_t *elsewhere,
                       const char16_t *advice, const char16_t *replacement)
{
    ForeignConstruct f;
    f.span = TextSpan{static_cast<int>(at), static_cast<int>(end - at)};
    f.here = u"a syntax error";
    f.elsewhere = elsewhere;
    f.advice = advice;
    if (replacement)
        f.replacement = replacement;
    return f;
}

bool isInlineFlag(char16_t c)
{
    return c == u'i' || c == u'm' || c == u's' || c == u'x' || c == u'n' || c == u'U' ||
           c == u'J' || c == u'-';
}

} // namespace

std::u16string codeName(char16_t c)
{
    return u"U+" + hex(c, 4);
}

std::u16string shownChar(char16_t c)
{
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || (c >= 0xD800 && c < 0xE000))
        return codeName(c);
    return std::u16string(1, c);
}

std::optional<ForeignConstruct> foreignEscape(std::u16string_view p, int at,
                                              const ReadOptions &options)
{
    const auto i = static_cast<std::size_t>(at);
    if (i + 1 >= p.size() || p[i] != u'\\')
        return std::nullopt;
    const char16_t letter = p[i + 1];
    if (letter == u'x')
        return hexInBraces(p, i);
    const char16_t key = letter == u'P' ? u'p' : letter;
    for (const EscapeNote &note : EscapeNotes) {
        if (note.letter != key)
            continue;
        ForeignConstruct f;
        f.span = TextSpan{at, 2};
        f.here = u"the letter " + std::u16string(1, letter);
        if (key == u'p') {
            const std::size_t braces = bracedLength(p, i + 2);
            f.span.length += static_cast<int>(braces);
            if (braces > 0)
                f.here += u" and then " + std::u16string(p.substr(i + 2, braces));
            f.elsewhere = letter == u'p' ? u"a Unicode property" : u"not a Unicode property";
        } else {
            f.elsewhere = note.elsewhere;
        }
        f.advice = note.advice;
        if (note.replacement && !(note.replacementNeedsNoMultiline && options.multiline))
            f.replacement = note.replacement;
        if (note.replacementNeedsNoMultiline && options.multiline)
            f.advice = u"with Multiline on this dialect has no such anchor";
        return f;
    }
    return std::nullopt;
}

std::optional<ForeignConstruct> foreignGroup(std::u16string_view p, int at)
{
    const auto i = static_cast<std::size_t>(at);
    if (i + 2 >= p.size() || p[i] != u'(' || p[i + 1] != u'?')
        return std::nullopt;
    const char16_t c = p[i + 2];
    const auto rest = [&](std::size_t k) { return i + k < p.size() ? p[i + k] : char16_t(0); };
    if (c == u'<' && (rest(3) == u'=' || rest(3) == u'!'))
        return group(i, i + 4, rest(3) == u'=' ? u"a lookbehind" : u"a negative lookbehind",
                     u"this dialect has no lookbehind: capture the text before in a group",
                     nullptr);
    if (c == u'<' || c == u'\'') {
        if (const std::size_t end = namedGroupLength(p, i + 3))
            return group(i, end, u"a named group",
                         u"use a numbered group ( ) and refer to it by number", u"(");
    }
    if (c == u'P' && rest(3) == u'<') {
        if (const std::size_t end = namedGroupLength(p, i + 4))
            return group(i, end, u"a named group",
                         u"use a numbered group ( ) and refer to it by number", u"(");
    }
    if (c == u'P' && (rest(3) == u'=' || rest(3) == u'>'))
        return group(i, i + 4, u"a reference to a named group", u"use \\1 and the like", nullptr);
    if (c == u'>')
        return group(i, i + 3, u"an atomic group",
                     u"use (?: ) (it backtracks) or (?=( ))\\1 for the same effect", u"(?:");
    if (c == u'#') {
        const std::size_t close = p.find(u')', i);
        return group(i, close == std::u16string_view::npos ? p.size() : close + 1, u"a comment",
                     u"remove it", u"");
    }
    if (c == u'|')
        return group(i, i + 3, u"a branch reset group", u"use (?: )", u"(?:");
    if (c == u'(')
        return group(i, i + 3, u"a conditional", u"write the alternatives out with |", nullptr);
    std::size_t k = i + 2;
    while (k < p.size() && isInlineFlag(p[k]))
        ++k;
    if (k > i + 2 && k < p.size() && (p[k] == u')' || p[k] == u':')) {
        const bool scoped = p[k] == u':';
        const std::u16string flags(p.substr(i + 2, k - i - 2));
        const bool onlyCase = flags == u"i";
        ForeignConstruct f =
            group(i, k + 1, scoped ? u"options for a group" : u"inline options",
                  onlyCase ? u"set Ignore case instead" : u"set the options of the run instead",
                  scoped ? u"(?:" : u"");
        return f;
    }
    return std::nullopt;
}

} // namespace engine::detail
