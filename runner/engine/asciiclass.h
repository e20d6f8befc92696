#pragma once
// The ASCII character tests the pattern and replacement readers share.

namespace engine::detail {

constexpr bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

constexpr bool isOctal(char16_t c)
{
    return c >= u'0' && c <= u'7';
}

constexpr bool isUpper(char16_t c)
{
    return c >= u'A' && c <= u'Z';
}

constexpr bool isLower(char16_t c)
{
    return c >= u'a' && c <= u'z';
}

constexpr bool isLetter(char16_t c)
{
    return isLower(c) || isUpper(c);
}

} // namespace engine::detail
