#include "ui/main/patternreading.h"

#include "runner/u16text.h"
#include "support/errorreporter.h"

#include <algorithm>

namespace {
constexpr char16_t ParagraphSeparator = 0x2029;
constexpr char16_t LineSeparator = 0x2028;
constexpr char16_t PictureCR = 0x240D;
constexpr char16_t PictureLF = 0x240A;

// The document position of each code unit of the pattern.
std::vector<int> documentPositions(const QString &raw, const std::vector<bool> &continues,
                                   bool ignoreLineBreaks)
{
    std::vector<int> at;
    at.reserve(static_cast<std::size_t>(raw.size()));
    std::size_t block = 0;
    for (int i = 0; i < raw.size(); ++i) {
        const char16_t c = raw.at(i).unicode();
        if (c == ParagraphSeparator) {
            ++block;
            const bool continued = block < continues.size() && continues[block];
            if (!continued && !ignoreLineBreaks) {
                at.push_back(i); // CR
                at.push_back(i); // LF
            }
        } else if (c == LineSeparator) {
            // A CR LF inside a block of grouped lines.
            if (!ignoreLineBreaks) {
                at.push_back(i);
                at.push_back(i);
            }
        } else if (!ignoreLineBreaks || (c != PictureCR && c != PictureLF)) {
            at.push_back(i);
        }
    }
    return at;
}

} // namespace

PatternReading readPattern(const QString &pattern, const QString &rawText,
                           const std::vector<bool> &continues, bool ignoreLineBreaks)
{
    PatternReading reading;
    const std::vector<int> at = documentPositions(rawText, continues, ignoreLineBreaks);
    if (at.size() != static_cast<std::size_t>(pattern.size()))
        return reading;
    const engine::ScanResult result = engine::Scan(u16View(pattern));

    // Each token as runs of document positions; a line break inside one gets no colour.
    std::vector<PatternReading::Span> &spans = reading.spans;
    auto add = [&](int from, int to, engine::TokenKind kind) {
        for (int i = from; i < to; ++i) {
            const int p = at[static_cast<std::size_t>(i)];
            if (!spans.empty() && spans.back().kind == kind && spans.back().end == p)
                ++spans.back().end;
            else if (spans.empty() || spans.back().end <= p)
                spans.push_back({p, p + 1, kind});
        }
    };
    for (const engine::Token &t : result.tokens) {
        if (t.kind == engine::TokenKind::IdentityEscape) {
            add(t.start, t.start + 1, t.kind);
            add(t.start + 1, t.start + t.length, engine::TokenKind::Literal);
            continue;
        }
        add(t.start, t.start + t.length, t.kind);
        const char16_t c = pattern.at(t.start).unicode();
        // Group tokens are brackets; of class tokens, "[", "[^" and "]" are.
        if (t.kind == engine::TokenKind::Group ||
            (t.kind == engine::TokenKind::CharClass && (c == u'[' || c == u']')))
            reading.brackets.push_back(
                {at[static_cast<std::size_t>(t.start)],
                 t.partner < 0 ? -1 : at[static_cast<std::size_t>(t.partner)], t.group});
    }

    if (!result.valid()) {
        const AppError error(result.errorNumber, toQString(result.errorDescription),
                             result.errorPosition);
        reading.errorText = ErrorReporter::reportText(error, QString()).trimmed();
        reading.errorNumber = result.errorNumber;
        reading.errorDescription = error.description();
        reading.errorPosition = result.errorPosition;
        std::vector<int> &marks = reading.errorMarks;
        if (!pattern.isEmpty())
            marks.push_back(at[static_cast<std::size_t>(
                std::clamp<int>(result.errorPosition, 0, int(pattern.size()) - 1))]);
        if (result.unclosedBracket >= 0)
            marks.push_back(at[static_cast<std::size_t>(result.unclosedBracket)]);
        std::sort(marks.begin(), marks.end());
        marks.erase(std::unique(marks.begin(), marks.end()), marks.end());
    }
    return reading;
}
