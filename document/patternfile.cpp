#include "document/patternfile.h"

#include <QStringTokenizer>
#include <QStringView>

#include <array>

namespace patternfile {
namespace {

constexpr QChar Separator = QChar(0);
constexpr qsizetype FullFieldCount = 7;
constexpr qsizetype ShortFieldCount = 6;

QString optionField(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

Parsed parse(const QString &text)
{
    Parsed parsed;
    if (text.isEmpty()) {
        parsed.refusal = QStringLiteral("The file is empty.");
        return parsed;
    }
    // Counted before splitting, so that a large file of another kind is not copied in pieces.
    const qsizetype count = text.count(Separator) + 1;
    if (count < ShortFieldCount || count > FullFieldCount) {
        parsed.refusal = QStringLiteral("The file holds %1 fields; a pattern file holds %2 or %3.")
                             .arg(count)
                             .arg(ShortFieldCount)
                             .arg(FullFieldCount);
        return parsed;
    }

    std::array<QStringView, FullFieldCount> field;
    qsizetype n = 0;
    for (QStringView piece : QStringView(text).tokenize(Separator))
        field[std::size_t(n++)] = piece;
    const auto checked = [&](std::size_t i) { return field[i] == u"1"; };

    Fields &fields = parsed.fields.emplace();
    fields.pattern = field[0].toString();
    fields.source = field[1].toString();
    fields.replacement = field[2].toString();
    fields.global = checked(3);
    fields.ignoreCase = checked(4);
    fields.multiline = checked(5);
    fields.ignoreLineBreaks = checked(6); // empty view for a six-field file
    return parsed;
}

QString unstorable(const Fields &fields)
{
    for (const QString *text : {&fields.pattern, &fields.source, &fields.replacement})
        if (text->contains(Separator))
            return QStringLiteral("The pattern, the source text or the replacement contains a "
                                  "NUL character, which a pattern file can't hold.");
    return {};
}

QString serialize(const Fields &fields)
{
    const QString sep(Separator);
    return fields.pattern % sep % fields.source % sep % fields.replacement % sep %
           optionField(fields.global) % sep % optionField(fields.ignoreCase) % sep %
           optionField(fields.multiline) % sep % optionField(fields.ignoreLineBreaks);
}

} // namespace patternfile
