#include "samples/sample.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<Expectation, QStringView>, 7> Names = {{
    {Expectation::Match, u"match"},
    {Expectation::NoMatch, u"no match"},
    {Expectation::Whole, u"whole"},
    {Expectation::Count, u"count"},
    {Expectation::MatchText, u"match text"},
    {Expectation::Group, u"group"},
    {Expectation::Replace, u"replace"},
}};

} // namespace

QStringView expectationName(Expectation expect)
{
    for (const auto &[kind, name] : Names)
        if (kind == expect)
            return name;
    return {};
}

std::optional<Expectation> expectationFromName(QStringView name)
{
    for (const auto &[kind, known] : Names)
        if (known == name)
            return kind;
    return std::nullopt;
}

const QList<Expectation> &allExpectations()
{
    static const QList<Expectation> all = [] {
        QList<Expectation> kinds;
        for (const auto &entry : Names)
            kinds.append(entry.first);
        return kinds;
    }();
    return all;
}

QString matchCount(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 match") : QString::number(count) + u" matches";
}

QString visibleText(QStringView text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            shown += u'\u21B5';
        } else if (c == u'\n') {
            shown += u'\u21B5';
        } else if (c == u'\t') {
            shown += u'\u2192';
        } else if (c == QChar(0)) {
            shown += u'\u2400';
        } else {
            shown += c;
        }
    }
    return shown;
}

QString quoted(QStringView text)
{
    return u'"' + visibleText(text) + u'"';
}

QString describeExpectation(const Sample &sample, TextMarks marks)
{
    const auto quoted = [marks](QStringView text) {
        return marks == TextMarks::Visible ? ::quoted(text) : QString(u'"' + text + u'"');
    };
    switch (sample.expect) {
    case Expectation::Match:
        return QStringLiteral("match");
    case Expectation::NoMatch:
        return QStringLiteral("no match");
    case Expectation::Whole:
        return QStringLiteral("whole match");
    case Expectation::Count:
        return matchCount(sample.count);
    case Expectation::MatchText:
        return u"match " + QString::number(sample.match) + u" is " + quoted(sample.value);
    case Expectation::Group:
        return u"group " + QString::number(sample.group) + u" of match " +
               QString::number(sample.match) + u" is " + quoted(sample.value);
    case Expectation::Replace:
        return u"replace gives " + quoted(sample.value);
    }
    return {};
}
