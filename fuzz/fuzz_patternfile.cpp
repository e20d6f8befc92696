// Random bytes as the UTF-16LE text of a pattern file: parsing never crashes, a text that parses
// is written and read back to the same fields, and writing those fields again gives the same
// text.

#include "document/patternfile.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text[qsizetype(i / 2)] = QChar(char16_t(data[i] | data[i + 1] << 8));

    const patternfile::Parsed parsed = patternfile::parse(text);
    if (parsed.fields.has_value() == !parsed.refusal.isEmpty())
        std::abort();
    if (!parsed.fields)
        return 0;
    // Fields split at NUL can't hold one.
    if (!patternfile::unstorable(*parsed.fields).isEmpty())
        std::abort();
    const QString written = patternfile::serialize(*parsed.fields);
    const patternfile::Parsed back = patternfile::parse(written);
    if (!back.fields || !(*back.fields == *parsed.fields) ||
        patternfile::serialize(*back.fields) != written)
        std::abort();
    return 0;
}
