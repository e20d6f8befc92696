// Traces: the outcome is Execute's, the steps stand for the pattern the user typed, the counts
// add up, the limit and cancel stop it.

#include "runner/engine/regexp.h"
#include "runner/engine/trace.h"

#include <QTest>

#include <numeric>
#include <random>

namespace {

std::u16string u16(const QString &s)
{
    return s.toStdU16String();
}

// Random patterns over a small alphabet, with every construct the translation treats apart.
class PatternMaker
{
public:
    explicit PatternMaker(unsigned seed)
        : m_random(seed)
    {}

    std::u16string pattern()
    {
        m_groups = 0;
        return disjunction(0);
    }

    std::u16string text()
    {
        static constexpr char16_t alphabet[] = u"aabbAB \n";
        std::u16string out;
        const int length = pick(12);
        for (int i = 0; i < length; ++i)
            out += alphabet[pick(8)];
        return out;
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

private:
    std::u16string disjunction(int depth)
    {
        std::u16string out = sequence(depth);
        while (pick(5) == 0) {
            out += u'|';
            out += sequence(depth);
        }
        return out;
    }

    std::u16string sequence(int depth)
    {
        std::u16string out;
        const int terms = 1 + pick(3);
        for (int i = 0; i < terms; ++i)
            out += term(depth);
        return out;
    }

    std::u16string term(int depth)
    {
        static const std::u16string anchors[] = {u"^", u"$", u"\\b", u"\\B"};
        static const std::u16string quantifiers[] = {u"*",   u"+",     u"?",     u"{0}",
                                                     u"{2}", u"{1,3}", u"{0,2}", u"{2,}"};
        const int kind = pick(depth < 3 ? 14 : 9);
        if (kind == 7)
            return anchors[pick(4)];
        if (kind == 8)
            return {};
        std::u16string atom = this->atom(kind, depth);
        if (pick(3) == 0)
            return atom;
        atom += quantifiers[pick(8)];
        if (pick(3) == 0)
            atom += u'?';
        return atom;
    }

    // A quantifiable atom of the kind picked.
    std::u16string atom(int kind, int depth)
    {
        switch (kind) {
        case 3:
            return u"b";
        case 4:
            return pick(2) ? u"[ab]" : u"\\w";
        case 5:
            return u".";
        case 6:
            if (m_groups)
                return {u'\\', char16_t(u'1' + pick(m_groups))};
            return u"a";
        case 9:
        case 10:
            if (m_groups < 9) {
                ++m_groups;
                return wrapped(u"(", depth);
            }
            return wrapped(u"(?:", depth);
        case 11:
            return wrapped(u"(?:", depth);
        case 12:
            return wrapped(u"(?=", depth);
        case 13:
            return wrapped(u"(?!", depth);
        default:
            return u"a";
        }
    }

    std::u16string wrapped(std::u16string_view open, int depth)
    {
        std::u16string out(open);
        out += disjunction(depth + 1);
        out += u')';
        return out;
    }

    std::mt19937 m_random;
    int m_groups = 0;
};

std::vector<std::int32_t> boundsOf(const engine::MatchCollection &matches, int index)
{
    const std::size_t pairs = 2 * static_cast<std::size_t>(matches.GroupCount() + 1);
    const auto all = matches.Offsets().subspan(pairs * static_cast<std::size_t>(index), pairs);
    return {all.begin(), all.end()};
}

// The parts that took steps, as the pattern text each stands for ("<end>" for the end).
QString partsWithSteps(const QString &pattern, const engine::TraceResult &trace)
{
    QStringList out;
    for (const engine::TracePart &part : trace.parts) {
        if (part.steps == 0)
            continue;
        out << (part.start == pattern.size() && part.length == 0
                    ? QStringLiteral("<end>")
                    : pattern.mid(part.start, part.length));
    }
    return out.join(' ');
}

// Each step as kind letter, the part's text, "@" position, and "+" when the part matched.
QString stepsShown(const QString &pattern, const engine::TraceResult &trace)
{
    static const char kinds[] = "STBMN";
    QStringList out;
    for (const engine::TraceStep &step : trace.records) {
        const engine::TracePart &part = trace.parts[static_cast<std::size_t>(step.part())];
        out << QStringLiteral("%1%2@%3%4")
                   .arg(QChar(kinds[static_cast<int>(step.kind())]))
                   .arg(pattern.mid(part.start, part.length))
                   .arg(step.position())
                   .arg(step.matched() ? QStringLiteral("+") : QString());
    }
    return out.join(' ');
}

} // namespace

class tst_Trace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void outcomeIsExecutes();
    void partsOfEachKind_data();
    void partsOfEachKind();
    void stepsTold_data();
    void stepsTold();
    void limitStopsAndKeepsSteps();
    void cancelStops();
    void millionStepsAreCompact();
    void navigation();
    void stepsOfRunFollowExecute();
};

// Thousands of generated patterns and texts, every option: the match a trace finds from each
// start position of Execute's Global loop is Execute's, and its counts add up.
void tst_Trace::outcomeIsExecutes()
{
    PatternMaker maker(20261209);
    int compared = 0;
    for (int i = 0; i < 4000; ++i) {
        const std::u16string pattern = maker.pattern();
        const std::u16string text = maker.text();
        const int flags = maker.pick(4);
        engine::RegExp re;
        re.setPattern(pattern);
        re.setGlobal(true);
        re.setIgnoreCase(flags & 1);
        re.setMultiline(flags & 2);
        engine::MatchCollection matches;
        try {
            matches = re.Execute(text);
        } catch (const engine::RegExpError &) {
            continue; // an invalid pattern: no run to compare
        }
        const engine::TraceOptions options{(flags & 1) != 0, (flags & 2) != 0, true};
        std::size_t from = 0;
        for (int m = 0; m <= matches.Count(); ++m) {
            const engine::TraceResult trace = engine::Trace(pattern, options, text, from);
            const auto context = qPrintable(QStringLiteral("/%1/%2 on \"%3\" from %4")
                                                .arg(QString::fromStdU16String(pattern))
                                                .arg(flags)
                                                .arg(QString::fromStdU16String(text))
                                                .arg(from));
            QVERIFY2(!trace.stopped, context);
            QVERIFY2(trace.bounds ==
                         (m < matches.Count() ? boundsOf(matches, m) : std::vector<std::int32_t>{}),
                     context);
            const std::uint64_t sum = std::accumulate(
                trace.parts.begin(), trace.parts.end(), std::uint64_t(0),
                [](std::uint64_t s, const engine::TracePart &p) { return s + p.steps; });
            QVERIFY2(sum == trace.steps && trace.records.size() == trace.steps, context);
            ++compared;
            if (m == matches.Count())
                break;
            from = engine::SearchStartOf(matches, m + 1);
            if (from > text.size())
                break;
        }
    }
    QVERIFY(compared > 4000);
}

void tst_Trace::partsOfEachKind_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("parts");

    QTest::newRow("literals one by one") << "ab"
                                         << "ab"
                                         << "a b <end>";
    QTest::newRow("classes and escapes") << "[ab]\\d.\\x41"
                                         << "a1xA"
                                         << "[ab] \\d . \\x41 <end>";
    QTest::newRow("group brackets") << "(a)(?:b)"
                                    << "ab"
                                    << "( a ) (?: b ) <end>";
    QTest::newRow("alternative's end is the group's end") << "(a|b)c"
                                                          << "bc"
                                                          << "( a b ) c <end>";
    QTest::newRow("top-level alternatives end at the end") << "a|b"
                                                           << "b"
                                                           << "a b <end>";
    QTest::newRow("back-reference") << "(a)\\1"
                                    << "aa"
                                    << "( a ) \\1 <end>";
    QTest::newRow("lookaheads") << "(?=a)(?!b)a"
                                << "a"
                                << "(?= a ) (?! b a <end>";
    QTest::newRow("anchors") << "^a\\b$"
                             << "a"
                             << "^ a \\b $ <end>";
    QTest::newRow("multiline anchors on a CR text") << "^a$"
                                                    << "\ra"
                                                    << "^ a $ <end>";
    QTest::newRow("single-item loop") << "a+b"
                                      << "aab"
                                      << "a+ b <end>";
    QTest::newRow("{0} part dropped") << "xa{0}y"
                                      << "xy"
                                      << "x y <end>";
    QTest::newRow("group under {0} dropped, its reference empty") << "(a){0}b\\1"
                                                                  << "b"
                                                                  << "b <end>";
    QTest::newRow("empty-iteration loop expanded: quantifier") << "(?:a|)*b"
                                                               << "ab"
                                                               << "(?: a ) * b <end>";
    QTest::newRow("counted loop with groups expanded") << "(a?){2,3}b"
                                                       << "ab"
                                                       << "( a? ) {2,3} b <end>";
    QTest::newRow("lazy loop") << "a*?b"
                               << "ab"
                               << "a*? b <end>";
}

void tst_Trace::partsOfEachKind()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(QString, parts);
    const engine::TraceResult trace =
        engine::Trace(u16(pattern), {false, true, true}, u16(text), 0);
    QVERIFY(trace.found());
    QCOMPARE(partsWithSteps(pattern, trace), parts);
}

void tst_Trace::stepsTold_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<QString>("steps");

    // S start, T try after a match, B retry after a backtrack, M match, N no match.
    QTest::newRow("loop gives back, then next start")
        << "a+b"
        << "aac" << false << "Sa+@0+ Tb@2 Bb@1 Sa+@1+ Tb@2 Sa+@2 Sa+@3 N@3";
    QTest::newRow("match") << "ab"
                           << "xab" << false << "Sa@0 Sa@1+ Tb@2+ M@3";
    QTest::newRow("back-reference under Ignore case")
        << "(a)\\1"
        << "aA" << true << "S(@0+ Ta@0+ T)@1+ T\\1@1+ M@2";
}

void tst_Trace::stepsTold()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, ignoreCase);
    QFETCH(QString, steps);
    const engine::TraceResult trace =
        engine::Trace(u16(pattern), {ignoreCase, false, true}, u16(text), 0);
    QCOMPARE(stepsShown(pattern, trace), steps);
}

void tst_Trace::limitStopsAndKeepsSteps()
{
    const std::u16string text = std::u16string(22, u'a') + u'b';
    const engine::TraceResult trace = engine::Trace(u"(a|aa){1,20}$", {}, text, 0, 5000);
    QVERIFY(trace.stopped);
    QVERIFY(!trace.found());
    QCOMPARE(trace.steps, std::uint64_t(5000));
    QCOMPARE(trace.records.size(), std::size_t(5000));
}

void tst_Trace::cancelStops()
{
    engine::RunControl control;
    control.cancel();
    try {
        engine::Trace(u"(a|aa){1,20}$", {}, std::u16string(22, u'a') + u'b', 0,
                      engine::limits::TraceSteps, &control);
        QFAIL("a cancelled trace went on");
    } catch (const engine::RegExpError &e) {
        QCOMPARE(e.number(), engine::errors::Cancelled);
    }
}

void tst_Trace::millionStepsAreCompact()
{
    const engine::TraceResult trace =
        engine::Trace(u"(a|aa){1,20}$", {}, std::u16string(24, u'a') + u'b', 0);
    QVERIFY(trace.stopped);
    QCOMPARE(trace.steps, engine::limits::TraceSteps);
    QVERIFY(trace.recordBytes() <= 32u * 1024 * 1024);
}

void tst_Trace::navigation()
{
    // Sa+@0 Tb@2 Bb@1 Sa+@1 Tb@2 Sa+@2 Sa+@3 N@3
    const engine::TraceResult trace = engine::Trace(u"a+b", {}, u"aac", 0);
    QCOMPARE(trace.nextOf(0, engine::StepKind::Backtrack), 2LL);
    QCOMPARE(trace.nextOf(2, engine::StepKind::Backtrack), -1LL);
    QCOMPARE(trace.nextAttempt(0), 3LL);
    QCOMPARE(trace.nextAttempt(6), -1LL);
    QCOMPARE(trace.attemptStart(2), 0);
    QCOMPARE(trace.attemptStart(4), 1);
    QCOMPARE(trace.attemptStart(7), 3);
}

void tst_Trace::stepsOfRunFollowExecute()
{
    const std::u16string text = u"aab ab b aaab";
    const engine::RunSteps run = engine::StepsOfRun(u"a+b", {}, text, true);
    QCOMPARE(run.perMatch.size(), std::size_t(3));
    // Each match's search, traced alone from where the run searched, takes as many steps.
    QCOMPARE(run.perMatch[0], engine::Trace(u"a+b", {}, text, 0).steps);
    QCOMPARE(run.perMatch[1], engine::Trace(u"a+b", {}, text, 3).steps);
    QVERIFY(run.total > run.perMatch[0] + run.perMatch[1] + run.perMatch[2]);
}

QTEST_APPLESS_MAIN(tst_Trace)
#include "tst_trace.moc"
