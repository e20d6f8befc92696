#include "runner/samplecheck.h"

#include "runner/engine/regexp.h"
#include "runner/enginebridge.h"

#include <optional>

namespace {

using engine::MatchCollection;

QString errorText(const engine::RegExpError &error)
{
    return u"error " + QString::number(error.number()) + u": " + toQString(error.description());
}

// A pattern error holds for every sample; a stopped run only for its own.
bool isPatternError(const engine::RegExpError &error)
{
    return error.position() >= 0;
}

QString matchText(const MatchCollection &matches, int match)
{
    return u"match " + QString::number(match) + u" is " +
           quoted(toQString(matches.Item(match - 1).Value()));
}

// The outcome of a successful Execute for one sample, as its verdict.
SampleVerdict judge(const Sample &sample, const MatchCollection &matches,
                    const std::optional<QString> &replaced)
{
    SampleVerdict verdict;
    const int count = matches.Count();
    const int length = int(sample.text.size());
    switch (sample.expect) {
    case Expectation::Match:
    case Expectation::NoMatch:
        verdict.got = count > 0 ? QStringLiteral("match") : QStringLiteral("no match");
        verdict.passed = (count > 0) == (sample.expect == Expectation::Match);
        break;
    case Expectation::Whole:
        if (count == 0) {
            verdict.got = QStringLiteral("no match");
        } else if (matches.Item(0).FirstIndex() == 0 && matches.Item(0).Length() == length) {
            verdict.got = QStringLiteral("whole match");
            verdict.passed = true;
        } else {
            verdict.got = matchText(matches, 1);
        }
        break;
    case Expectation::Count:
        verdict.got = matchCount(count);
        verdict.passed = count == sample.count;
        break;
    case Expectation::MatchText:
        if (sample.match > count) {
            verdict.got = u"only " + matchCount(count);
        } else {
            verdict.got = matchText(matches, sample.match);
            verdict.passed = matches.Item(sample.match - 1).Value() == u16View(sample.value);
        }
        break;
    case Expectation::Group: {
        const QString where = u"group " + QString::number(sample.group) + u" of match " +
                              QString::number(sample.match);
        if (sample.match > count) {
            verdict.got = u"only " + matchCount(count);
        } else if (sample.group > matches.GroupCount()) {
            verdict.got = u"the pattern has " + QString::number(matches.GroupCount()) +
                          (matches.GroupCount() == 1 ? u" group" : u" groups");
        } else {
            const engine::SubMatches groups = matches.Item(sample.match - 1).SubMatches();
            const bool tookPart = groups.Participated(sample.group - 1);
            const QString value = toQString(groups.Item(sample.group - 1));
            verdict.got = where + (tookPart ? QString(u" is " + quoted(value))
                                            : QStringLiteral(" took no part"));
            // A group that took no part reads as the empty text, as in Visual Basic.
            verdict.passed = value == sample.value;
        }
        break;
    }
    case Expectation::Replace:
        verdict.got = u"replace gives " + quoted(*replaced);
        verdict.passed = *replaced == sample.value;
        break;
    }
    return verdict;
}

void keepSpans(SampleVerdict &verdict, const MatchCollection &matches)
{
    const auto offsets = matches.Offsets();
    const std::size_t stride = 2 * std::size_t(matches.GroupCount() + 1);
    verdict.matches.reserve(std::size_t(matches.Count()));
    for (std::size_t at = 0; at + 1 < offsets.size(); at += stride)
        verdict.matches.emplace_back(offsets[at], offsets[at + 1]);
}

} // namespace

std::vector<SampleVerdict> CheckSamples(const SampleRunInputs &inputs, const QList<Sample> &samples,
                                        const engine::RunControl &control)
{
    engine::RegExp regExp;
    regExp.setGlobal(inputs.options.global);
    regExp.setIgnoreCase(inputs.options.ignoreCase);
    regExp.setMultiline(inputs.options.multiline);
    regExp.setPattern(u16View(PreparePattern(inputs.pattern, inputs.options.ignoreLineBreaks)));
    regExp.setRunControl(&control);

    std::vector<SampleVerdict> verdicts;
    verdicts.reserve(std::size_t(samples.size()));
    std::optional<QString> patternError;
    for (const Sample &sample : samples) {
        if (patternError) {
            verdicts.push_back({false, *patternError, true, {}});
            continue;
        }
        try {
            const MatchCollection matches = regExp.Execute(u16View(sample.text));
            std::optional<QString> replaced;
            if (sample.expect == Expectation::Replace)
                replaced =
                    toQString(regExp.Replace(u16View(sample.text), u16View(inputs.replacement)));
            SampleVerdict verdict = judge(sample, matches, replaced);
            keepSpans(verdict, matches);
            verdicts.push_back(std::move(verdict));
        } catch (const engine::RegExpError &error) {
            if (error.number() == engine::errors::Cancelled)
                throw;
            verdicts.push_back({false, errorText(error), true, {}});
            if (isPatternError(error))
                patternError = errorText(error);
        } catch (const std::bad_alloc &) {
            verdicts.push_back({false, outOfMemoryError().description(), true, {}});
        }
    }
    return verdicts;
}

Sample sampleOfOutcome(const SampleRunInputs &inputs, const QString &text)
{
    Sample sample;
    sample.text = text;
    sample.expect = Expectation::Count;
    const engine::RunControl control;
    const SampleVerdict verdict = CheckSamples(inputs, {sample}, control).front();
    const auto &spans = verdict.matches;
    if (verdict.failedToRun)
        sample.expect = Expectation::Match;
    else if (spans.empty())
        sample.expect = Expectation::NoMatch;
    else if (spans.size() == 1 && spans.front() == std::pair<int, int>(0, int(text.size())))
        sample.expect = Expectation::Whole;
    else
        sample.count = int(spans.size());
    return sample;
}

SampleTotals countVerdicts(const std::vector<SampleVerdict> &verdicts)
{
    SampleTotals totals;
    for (const SampleVerdict &verdict : verdicts)
        ++(verdict.passed ? totals.passed : totals.failed);
    return totals;
}

QString summaryText(const SampleTotals &totals)
{
    return QString::number(totals.passed) + u" passed, " + QString::number(totals.failed) +
           u" failed";
}
