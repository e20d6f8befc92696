#include "runner/samplescode.h"

#include <QStringList>

#include <algorithm>

namespace {

QString boolWord(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString number(int value)
{
    return QString::number(value);
}

// The statements that set OK for one sample whose text is in T.
QStringList checkLines(const Sample &sample)
{
    const QString match = u"MC(" + number(sample.match - 1) + u')';
    const QString value = MakeStringLiteral(sample.value);
    switch (sample.expect) {
    case Expectation::Match:
        return {QStringLiteral("OK = RE.Test(T)")};
    case Expectation::NoMatch:
        return {QStringLiteral("OK = Not RE.Test(T)")};
    case Expectation::Whole:
        return {QStringLiteral("Set MC = RE.Execute(T)"), QStringLiteral("OK = False"),
                QStringLiteral("If MC.Count > 0 Then OK = (MC(0).FirstIndex = 0 And "
                               "MC(0).Length = Len(T))")};
    case Expectation::Count:
        return {QStringLiteral("Set MC = RE.Execute(T)"),
                u"OK = (MC.Count = " + number(sample.count) + u')'};
    case Expectation::MatchText:
        return {QStringLiteral("Set MC = RE.Execute(T)"), QStringLiteral("OK = False"),
                u"If MC.Count >= " + number(sample.match) + u" Then OK = (" + match + u".Value = " +
                    value + u')'};
    case Expectation::Group:
        return {QStringLiteral("Set MC = RE.Execute(T)"), QStringLiteral("OK = False"),
                u"If MC.Count >= " + number(sample.match) + u" Then If " + match +
                    u".SubMatches.Count >= " + number(sample.group) + u" Then OK = (" + match +
                    u".SubMatches(" + number(sample.group - 1) + u") = " + value + u')'};
    case Expectation::Replace:
        return {u"OK = (RE.Replace(T, ReplaceVar) = " + value + u')'};
    }
    return {};
}

} // namespace

QString BuildSamplesSnippet(const CodeInputs &inputs, const QList<Sample> &samples)
{
    const bool replaces = std::any_of(samples.begin(), samples.end(), [](const Sample &s) {
        return s.expect == Expectation::Replace;
    });
    QStringList lines{QStringLiteral("Sub CheckSamples()")};
    auto add = [&lines](const QString &line) { lines.append(u"  " + line); };

    add(QStringLiteral("Dim RE As RegExp"));
    add(QStringLiteral("Dim MC As MatchCollection"));
    add(QStringLiteral("Dim T As String"));
    if (replaces)
        add(QStringLiteral("Dim ReplaceVar As String"));
    add(QStringLiteral("Dim OK As Boolean"));
    add(QStringLiteral("Dim Passed As Long"));
    add(QStringLiteral("Dim Failed As Long"));
    add({});
    add(QStringLiteral("Set RE = New RegExp"));
    add({});
    add(u"RE.Global = " + boolWord(inputs.options.global));
    add(u"RE.IgnoreCase = " + boolWord(inputs.options.ignoreCase));
    add(u"RE.MultiLine = " + boolWord(inputs.options.multiline));
    add({});
    add(u"RE.Pattern = " +
        MakeStringLiteral(PreparePattern(inputs.pattern, inputs.options.ignoreLineBreaks)));
    add({});
    if (replaces) {
        add(u"ReplaceVar = " + MakeStringLiteral(inputs.replacement));
        add({});
    }
    for (qsizetype i = 0; i < samples.size(); ++i) {
        const Sample &sample = samples.at(i);
        add(u"T = " + MakeStringLiteral(sample.text));
        for (const QString &line : checkLines(sample))
            add(line);
        add(QStringLiteral("If OK Then"));
        add(QStringLiteral("  Passed = Passed + 1"));
        add(QStringLiteral("Else"));
        add(QStringLiteral("  Failed = Failed + 1"));
        add(u"  Debug.Print " +
            MakeStringLiteral(u"Sample " + QString::number(i + 1) + u" failed: expected " +
                              describeExpectation(sample, TextMarks::Raw)));
        add(QStringLiteral("End If"));
        add({});
    }
    add(QStringLiteral("Debug.Print Passed & \" passed, \" & Failed & \" failed\""));
    lines.append(QStringLiteral("End Sub"));
    return lines.join(u"\r\n");
}
