#pragma once
// The text of a pattern file and the fields it holds, with no files and no widgets: CDocument
// reads and writes the text through its file store and calls these to read and build it.
//
// The text holds seven fields joined by NUL: pattern, source text, replacement, then the
// Global, Ignore case, Multiline and Ignore line breaks states as "0" or "1". Six fields are
// read too (Ignore line breaks unchecked); only the single character "1" checks an option.

#include <QString>

#include <optional>

namespace patternfile {

struct Fields
{
    QString pattern;
    QString source;
    QString replacement;
    bool global = false;
    bool ignoreCase = false;
    bool multiline = false;
    bool ignoreLineBreaks = false;

    bool operator==(const Fields &) const = default;
};

// What parse makes of a text: the fields, or why the text is no pattern file.
struct Parsed
{
    std::optional<Fields> fields;
    QString refusal; // empty when fields holds a value
};

Parsed parse(const QString &text);

// Why fields can't be written to a pattern file (a text holding a NUL would split into extra
// fields and never load again); empty when they can.
QString unstorable(const Fields &fields);

// The text of a pattern file holding fields, seven fields always. Expects unstorable(fields) to
// be empty. Throws std::bad_alloc when the text does not fit in memory.
QString serialize(const Fields &fields);

} // namespace patternfile
