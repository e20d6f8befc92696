// Random UTF-16 text through MakeStringLiteral: the Visual Basic expression it gives reads
// back to exactly the text, and no line break is left in it but after a line continuation.
//
// Input: bytes mapped mostly onto the characters the generator treats specially; a byte of
// 0xF0 or more takes the next byte too and gives any code unit, lone surrogates included.

#include "runner/codegenerator.h"
#include "tests/support/vbliteral.h"

#include <cstdint>
#include <cstdlib>

namespace {

constexpr char16_t Alphabet[] = u"\"\t\r\n &_ab";
const QString Continuation = QStringLiteral(" & _\r\n");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QString text;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] < 0xF0 || i + 1 >= size)
            text += QChar(Alphabet[data[i] % (sizeof(Alphabet) / sizeof(char16_t) - 1)]);
        else {
            text += QChar(static_cast<char16_t>(((data[i] & 0x0F) << 12) | (data[i + 1] << 4) |
                                                (data[i + 1] >> 4)));
            ++i;
        }
    }
    const QString literal = MakeStringLiteral(text);
    const std::optional<QString> value = evaluateVbStringExpression(literal);
    if (!value || *value != text)
        std::abort();
    QString rest = literal;
    rest.remove(Continuation);
    if (rest.contains(u'\r') || rest.contains(u'\n'))
        std::abort();
    return 0;
}
