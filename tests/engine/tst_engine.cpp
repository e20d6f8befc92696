// The dialect's hard points: each row runs one pattern and compares a compact rendering of the
// outcome. A match renders as index:"value", followed by (group,group,...) where a group that
// took no part is -; matches are separated by blanks; no match is "none"; an error is
// E<number>@<offset>.

#include "runner/engine/regexp.h"
#include "runner/engine/wordstart.h"

#include <QTest>

#include <malloc.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <thread>

// The bytes this process holds from operator new: what a run keeps, measured from outside
// the engine.
namespace {
std::atomic<std::int64_t> heapBytes{0};
} // namespace

void *operator new(std::size_t size)
{
    void *p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    heapBytes += std::int64_t(malloc_usable_size(p));
    return p;
}

void operator delete(void *p) noexcept
{
    if (p)
        heapBytes -= std::int64_t(malloc_usable_size(p));
    std::free(p);
}

void operator delete(void *p, std::size_t) noexcept
{
    operator delete(p);
}

using namespace std::literals;

namespace {

QString shown(std::u16string_view s)
{
    QString out;
    for (char16_t c : s) {
        if (c >= 0x20 && c < 0x7F)
            out += QChar(c);
        else
            out += QStringLiteral("\\u%1").arg(int(c), 4, 16, QChar('0'));
    }
    return out;
}

std::u16string u16(const QString &s)
{
    return s.toStdU16String();
}

void apply(engine::RegExp &re, const QString &flags)
{
    re.setGlobal(flags.contains('g'));
    re.setIgnoreCase(flags.contains('i'));
    re.setMultiline(flags.contains('m'));
}

QString render(const engine::MatchCollection &matches)
{
    if (matches.Count() == 0)
        return QStringLiteral("none");
    QStringList parts;
    for (const engine::Match &m : matches) {
        QString part = QStringLiteral("%1:\"%2\"").arg(m.FirstIndex()).arg(shown(m.Value()));
        const engine::SubMatches subs = m.SubMatches();
        if (subs.Count() > 0) {
            QStringList groups;
            for (int i = 0; i < subs.Count(); ++i)
                groups << (subs.Participated(i) ? shown(subs.Item(i)) : QStringLiteral("-"));
            part += '(' + groups.join(',') + ')';
        }
        parts << part;
    }
    return parts.join(' ');
}

QString q(std::u16string_view s)
{
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

// A row of execute_data; UTF-16 literals, so that any code unit can be written.
void row(const char *name, std::u16string_view pattern, const char *flags,
         std::u16string_view source, const char *expected)
{
    QTest::newRow(name) << q(pattern) << QString::fromLatin1(flags) << q(source)
                        << QString::fromLatin1(expected);
}

QString execute(const QString &pattern, const QString &flags, const QString &source)
{
    engine::RegExp re;
    re.setPattern(u16(pattern));
    apply(re, flags);
    try {
        return render(re.Execute(u16(source)));
    } catch (const engine::RegExpError &e) {
        return QStringLiteral("E%1@%2").arg(e.number()).arg(e.position());
    }
}

// Words separated by blanks, hyphens and line breaks, long enough to cross the spans a
// search tries at a time, with doubled words among them.
std::u16string longWords()
{
    const char16_t *const words[] = {u"ab", u"ab", u"c1", u"x", u"_", u"\u00E9a", u"12", u"abC"};
    const char16_t *const gaps[] = {u" ", u" ", u"  ", u"\r\n", u"-"};
    std::u16string text;
    unsigned seed = 7;
    while (text.size() < 40000) {
        seed = seed * 1103515245u + 12345u;
        text += words[(seed >> 16) % 8];
        text += gaps[(seed >> 8) % 5];
    }
    return text;
}

// A pattern whose matches begin at word starts is searched from the non-word character before
// each, or goes on past a failed first run; an empty group after \b turns both off.
void addWordStartRows()
{
    const char16_t *const patterns[] = {u"\\b\\w+",
                                        u"\\b(\\w+)\\s+\\1\\b",
                                        u"\\b[a-c_]+",
                                        u"\\b(?:ab|c\\d)",
                                        u"x\\b\\d",
                                        u"\\b(?:a|b)+\\b",
                                        u"\\b[^ ]+",
                                        u"\\b\\w+\\b",
                                        u"\\b[a-c]+[A-C]",
                                        u"\\b[a-c]+[d-f]",
                                        u"\\b\\d+[a-z_]",
                                        u"\\b(\\w+)\\s*\\1",
                                        u"\\bab|\\b\\d\\w",
                                        u"\\b\\w+?\\s",
                                        u"\\b(\\w)\\w*\\1\\b",
                                        u"\\b(\\w+)\\s+\\1$",
                                        u"\\b\\w+$",
                                        u"\\b\\w+\\s|\\b[a-z]\\d",
                                        u"\\b[A-Z]{2}\\w"};
    const std::u16string text = longWords();
    const std::pair<const char *, std::u16string_view> texts[] = {
        {"words", u"ab ab cd_c1 x1 abx"},
        {"non-ASCII letters", u"\u00E9a \u00E9 b_ b_ \u00E0b\u00E0"},
        {"empty", u""},
        {"one letter", u"a"},
        {"cases and digits", u"abab abC aBc 12x 12 12 ab1 de de"},
        {"line breaks", u"ab ab\r\nde de\rx\nx\n"},
        {"beyond Latin-1", u"_1\u0100a a\u00001 1 \u0100\u0100ab ab"sv},
        {"long", text},
    };
    for (const char16_t *pattern : patterns)
        for (const auto &[name, source] : texts)
            for (const char *flags : {"", "g", "gi", "gm", "gim"}) {
                QString plain = q(pattern);
                plain.replace(QStringLiteral("\\b"), QStringLiteral("\\b(?:)"));
                QTest::addRow("%s on %s, flags \"%s\"", qPrintable(q(pattern)), name, flags)
                    << q(pattern) << plain << QString::fromLatin1(flags) << q(source);
            }
}

} // namespace

class tst_Engine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void execute_data();
    void execute();
    void shortcutsAgree_data();
    void shortcutsAgree();
    void wordStartSearch_data();
    void wordStartSearch();
    void errors_data();
    void errors();
    void replace_data();
    void replace();
    void propertyChangesRecompile();
    void resultOutlivesObject();
    void catastrophicPatternStops_data();
    void catastrophicPatternStops();
    void runStops_data();
    void runStops();
    void replaceResultIsBounded_data();
    void replaceResultIsBounded();
    void deepNestingIsRefused();
    void memoryPerBoundary();
};

void tst_Engine::execute_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expected");

    // . and line breaks
    row("dot matches CR and U+2028, not LF", u"a..", "g", u"a\r\u2028a\nc",
        "0:\"a\\u000d\\u2028\"");
    row("dot takes one half of a pair", u".", "g", u"\U0001F600", "0:\"\\ud83d\" 1:\"\\ude00\"");
    row("$ not before a final LF", u"a$", "", u"a\n", "none");
    row("multiline ^ after CR and after LF", u"^b", "gm", u"a\rb\nb", "2:\"b\" 4:\"b\"");
    row("multiline $ before CR", u"a$", "m", u"a\rb", "0:\"a\"");
    row("multiline inside CR LF", u"^$", "gm", u"a\r\nb", "2:\"\"");
    row("multiline ^ after a final CR or LF", u"^", "gm", u"a\rb\n", "0:\"\" 2:\"\" 4:\"\"");
    row("multiline U+2028 is no break", u"^b", "m", u"a\u2028b", "none");
    row("multiline lines with CR LF", u"^\\w+$", "gm", u"ab\r\ncd\r\n\r\nef",
        "0:\"ab\" 4:\"cd\" 10:\"ef\"");
    // \s \d \w \b \v
    row("\\b with a non-ASCII letter", u"\\b\u00E9", "g", u"\u00E9 a\u00E9", "3:\"\\u00e9\"");
    // captures
    row("capture kept from an earlier iteration", u"(?:(a)|b)+", "", u"ab", "0:\"ab\"(a)");
    row("reference to an unset group is empty", u"(a)?b\\1", "", u"b", "0:\"b\"(-)");
    row("reference inside its own group", u"(a\\1)", "", u"aa", "0:\"a\"(a)");
    // back-reference or octal
    row("\\12 with one group", u"(a)\\12", "", u"aa2", "0:\"aa2\"(a)");
    row("\\1 before the group is octal", u"\\1(a)", "",
        u"\x01"
        u"a",
        "0:\"\\u0001a\"(a)");
    row("\\10 with nine groups", u"(a)(b)(c)(d)(e)(f)(g)(h)(i)\\10", "", u"abcdefghia0",
        "0:\"abcdefghia0\"(a,b,c,d,e,f,g,h,i)");
    row("\\10 with ten groups", u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)\\10", "", u"abcdefghijj",
        "0:\"abcdefghijj\"(a,b,c,d,e,f,g,h,i,j)");
    row("\\123 with twelve groups is group 12 then 3", u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)\\123",
        "", u"abcdefghijkll3", "0:\"abcdefghijkll3\"(a,b,c,d,e,f,g,h,i,j,k,l)");
    row("\\400 is a blank then 0", u"\\400", "", u" 0", "0:\" 0\"");
    row("\\377 is U+00FF", u"\\377", "", u"\u00FF", "0:\"\\u00ff\"");
    row("\\0 is NUL", u"a\\0", "", u"a\0"sv, "0:\"a\\u0000\"");
    // empty iterations and Global runs
    row("empty iteration rejected", u"(a|b*)*", "", u"a", "0:\"a\"(a)");
    row("star of an empty-only group leaves it unset", u"(a*)*", "", u"b", "0:\"\"(-)");
    row("plus keeps its first empty iteration", u"(a*)+", "", u"b", "0:\"\"()");
    row("quantified lookahead may be skipped", u"(?:(?=(abc)))?a", "", u"abc", "0:\"a\"(-)");
    // an iteration may match nothing while the minimum is not met, whatever came before it
    row("minimum of two, empty after a non-empty iteration", u"(a?){2,3}", "", u"a", "0:\"a\"()");
    row("minimum of two, empty alternative second", u"(a|){2,3}", "", u"a", "0:\"a\"()");
    row("minimum of two, lazy, then one more that consumes", u"(?:b?\?){2,3}", "", u"b", "0:\"b\"");
    row("minimum of two, lazy loop", u"(a|){2,3}?$", "", u"aa", "0:\"aa\"(a)");
    row("nested minimum inside a loop", u"((?:b?\?){2,3}c)*", "", u"bcbbc", "0:\"bcbbc\"(bbc)");
    row("nested minimum with a group", u"(?:(a|){2}x?)+", "", u"aaxa", "0:\"aaxa\"()");
    // after an empty iteration below the minimum the loop goes on
    row("plus after an empty first iteration", u"(|a)+", "", u"aa", "0:\"aa\"(a)");
    row("plus, lazy, after an empty first iteration", u"(|a)+?$", "", u"aa", "0:\"aa\"(a)");
    row("plus with a back-reference after it", u"(|a)+\\1", "", u"aaa", "0:\"aaa\"(a)");
    row("plus of a lazy optional", u"(.?\?)+", "", u"ab", "0:\"ab\"(b)");
    row("plus of a lazy count", u"[^b](.{0,2}?)+", "gi", u"Ac1 0 BcAba", "0:\"Ac1 0 BcAba\"(a)");
    row("minimum of two with an empty group kept", u"(?:()|a){2,}", "", u"aaa", "0:\"aaa\"()");
    // groups inside counted loops nested in counted loops keep one number each
    row("nested loops, two groups, empty last pass", u"(?:(a|)(b|)){2,3}", "g", u"abab",
        "0:\"abab\"(a,b) 4:\"\"(,)");
    row("nested loops, inner minimum met by an empty pass", u"(?:((a|)b?){2,3}c){2}", "",
        u"aabcabc", "0:\"aabcabc\"(,)");
    row("nested loops, group kept from an empty pass", u"((?:(a|)|b){2,}x){1,2}", "", u"abxaax",
        "0:\"abxaax\"(aax,a)");
    row("nested loops, lazy inner", u"(?:((a|)){2,3}?b){2}", "", u"aabab", "0:\"aabab\"(,)");
    row("nested loops, two inner loops side by side", u"((a?){2,3}(b|){1,2}){2}", "g", u"aabab",
        "0:\"aabab\"(ab,,b) 5:\"\"(,,)");
    // a repeated back-reference to a group that took no part
    row("reference to an unset group repeated", u"(a)?b\\1{2}", "", u"b", "0:\"b\"(-)");
    row("reference to an unset group repeated lazily", u"(a)?b\\1{2}?", "", u"b", "0:\"b\"(-)");
    row("reference to an unset group counted", u"(a)?b\\1{1,2}c", "", u"bc", "0:\"bc\"(-)");
    row("reference inside its own group repeated", u"(a\\1{2})", "", u"a", "0:\"a\"(a)");
    // {0}: matches the empty text, its groups take no part
    row("{0} over ^ does not anchor", u"(?:a|^){0}b", "", u"xb", "1:\"b\"");
    row("{0} over a lookahead", u"(?:a|(?=x)){0}b", "", u"xb", "1:\"b\"");
    row("{0} group and a reference to it", u"(a){0}b\\1", "", u"b", "0:\"b\"(-)");
    row("a* over baaac", u"a*", "g", u"baaac", "0:\"\" 1:\"aaa\" 4:\"\" 5:\"\"");
    row("no second try after an empty match", u"x*|b", "g", u"abc", "0:\"\" 1:\"\" 2:\"\" 3:\"\"");
    row("empty alternative", u"a|", "g", u"ba", "0:\"\" 1:\"a\" 2:\"\"");
    // escapes
    row("\\c with a digit", u"\\c1", "", u"c1", "0:\"c1\"");
    row("\\cJ and \\cj are LF", u"\\cJ\\cj", "", u"\n\n", "0:\"\\u000a\\u000a\"");
    row("\\x and \\u need all their digits", u"\\x41\\x4\\u0042\\u12", "", u"Ax4Bu12",
        "0:\"Ax4Bu12\"");
    row("\\u lone surrogate", u"\\ud800", "", u"\xD800", "0:\"\\ud800\"");
    row("identity escapes", u"\\A\\z\\Q\\E\\K\\G\\h\\R\\e\\a\\g\\k<n>\\p{L}", "",
        u"AzQEKGhReagk<n>p{L}", "0:\"AzQEKGhReagk<n>p{L}\"");
    row("\\g1 is no back-reference", u"(a)\\g1", "", u"ag1", "0:\"ag1\"(a)");
    row("# and blanks are literal", u"a #b", "", u"a #b", "0:\"a #b\"");
    // braces, brackets
    row("braces that are no quantifier", u"a{b{1,2c{,5}d{ 1}}]e{", "", u"a{b{1,2c{,5}d{ 1}}]e{",
        "0:\"a{b{1,2c{,5}d{ 1}}]e{\"");
    row("count 65535 accepted", u"a{0,65535}b", "", u"ab", "0:\"ab\"");
    row("[] matches nothing", u"[]a]", "", u"]a]", "none");
    row("class escape before and after -", u"[\\d-z]+[a-\\d]+", "", u"1-za-1", "0:\"1-za-1\"");
    row("\\b in a class is backspace, \\B is B", u"[\\b\\B]+", "", u"\bB", "0:\"\\u0008B\"");
    row("[ in a class", u"[[:alpha:]]", "", u"a]", "0:\"a]\"");
    // IgnoreCase
    row("ignore case non-ASCII literal", u"\u00E9", "gi", u"\u00E9\u00C9",
        "0:\"\\u00e9\" 1:\"\\u00c9\"");
    row("ignore case k is not Kelvin", u"k", "gi", u"\u212AkK", "1:\"k\" 2:\"K\"");
    row("ignore case s is not long s", u"s+", "i", u"\u017FsS", "1:\"sS\"");
    row("ignore case dz triple", u"\u01C5+", "i", u"\u01C4\u01C5\u01C6",
        "0:\"\\u01c4\\u01c5\\u01c6\"");
    row("ignore case class closed", u"[\u00E0-\u00FF]", "i", u"\u0178", "0:\"\\u0178\"");
    row("ignore case negated class", u"[^a]", "gi", u"aAb", "2:\"b\"");
    row("ignore case back-reference", u"(\u00E9)\\1", "i", u"x\u00E9\u00C9",
        "1:\"\\u00e9\\u00c9\"(\\u00e9)");
    // lookaheads, lazy forms, order
    row("lookahead keeps its capture", u"(?=(a))a", "", u"a", "0:\"a\"(a)");
    row("negative lookahead capture unset", u"(?!(a))b", "", u"b", "0:\"b\"(-)");
    row("quantified lookahead", u"(?=a)*a", "", u"a", "0:\"a\"");
    row("(*VERB) is a syntax error", u"(*ACCEPT)a", "", u"a", "E5018@1");
}

void tst_Engine::execute()
{
    QFETCH(QString, pattern);
    QFETCH(QString, flags);
    QFETCH(QString, source);
    QFETCH(QString, expected);
    QCOMPARE(::execute(pattern, flags, source), expected);
    if (expected.startsWith('E'))
        return;
    engine::RegExp re; // Test agrees, whatever Global says
    re.setPattern(u16(pattern));
    apply(re, flags);
    QCOMPARE(re.Test(u16(source)), expected != u"none");
}

// A pattern searched only at line starts or with \b as a lookbehind finds what the same
// pattern finds where neither applies: an empty group in front of ^ or after \b turns them off.
void tst_Engine::shortcutsAgree_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QString>("source");

    const std::pair<const char *, std::u16string_view> texts[] = {
        {"no break", u"ab cd"},
        {"LF", u"ab\ncd\n"},
        {"CR", u"ab\rcd\r"},
        {"CR LF", u"ab\r\ncd\r\n"},
        {"breaks first", u"\r\n\n\rab\ncd"},
        {"only breaks", u"\r\n\r\n"},
        {"empty", u""},
    };
    const char16_t *const lineStart[] = {u"^",          u"^$",          u"^\\w+$",
                                         u"^ab|^cd",    u"^(?:ab|cd)$", u"(^\\w)+",
                                         u"^[\\r\\n]+", u"^.*",         u"(?=^c)^\\w"};
    for (const char16_t *pattern : lineStart)
        for (const auto &[name, text] : texts)
            for (const char *flags : {"gm", "gmi"})
                QTest::addRow("%s on %s, %s", qPrintable(q(pattern)), name, flags)
                    << q(pattern) << QStringLiteral("(?:)") + q(pattern)
                    << QString::fromLatin1(flags) << q(text);

    addWordStartRows();
}

void tst_Engine::shortcutsAgree()
{
    QFETCH(QString, pattern);
    QFETCH(QString, plain);
    QFETCH(QString, flags);
    QFETCH(QString, source);
    QCOMPARE(::execute(pattern, flags, source), ::execute(plain, flags, source));
}

// Which patterns are searched after a non-word character, and which go on after a failed run.
void tst_Engine::wordStartSearch_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<QString>("search");

    const QString general = QStringLiteral("general");
    const QString after = QStringLiteral("after a non-word character");
    const QString skipping = QStringLiteral("past a failed run");
    const auto row = [](const char *name, const char *pattern, bool ignoreCase,
                        const QString &search) {
        QTest::newRow(name) << QString::fromLatin1(pattern) << ignoreCase << search;
    };
    row("doubled word", "\\b(\\w+)\\s+\\1\\b", false, skipping);
    row("doubled word, IgnoreCase on folded text", "\\b(\\w+)\\s+\\1\\b", true, general);
    row("whole word, IgnoreCase", "\\b\\w+\\b", true, skipping);
    row("run the next class cannot continue", "\\b[a-c]+[A-C]", false, skipping);
    row("run the next class continues under IgnoreCase", "\\b[a-c]+[A-C]", true, general);
    row("next item may be empty", "\\b(\\w+)\\s*\\1", false, after);
    row("lazy run", "\\b\\w+?\\s", false, after);
    row("lowercase letters under IgnoreCase", "\\b[A-Z]{3}\\w", true, after);
    row("capitals only", "\\b[A-Z][a-z]+", false, general);
    row("alternatives, each may begin with any letter", "\\b\\w+\\s|\\b[a-z]\\d", false, after);
    row("alternatives, one begins with a digit", "\\b\\w+\\s|\\b\\d", false, general);
    row("one alternative without \\b", "\\b\\w+|cd", false, general);
    row("\\b inside a group", "(\\b\\w+)", false, general);
    row("\\b before a non-word class", "\\b[^a]", false, general);
}

void tst_Engine::wordStartSearch()
{
    QFETCH(QString, pattern);
    QFETCH(bool, ignoreCase);
    QFETCH(QString, search);
    const engine::detail::SyntaxTree tree = engine::detail::parsePattern(u16(pattern));
    const engine::detail::CaseMode caseMode = engine::detail::caseModeFor(tree, ignoreCase);
    const QString taken = engine::detail::searchAfterNonWord(tree, caseMode)
                              ? QStringLiteral("after a non-word character")
                          : engine::detail::firstRunDecides(tree, caseMode)
                              ? QStringLiteral("past a failed run")
                              : QStringLiteral("general");
    QCOMPARE(taken, search);
}

void tst_Engine::errors_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    const std::pair<const char *, const char *> rows[] = {
        // 5017: group syntax of other dialects, stray ) or \, counts too large
        {"x(?<!a)b", "E5017@1"},
        {"(?<n>a)", "E5017@0"},
        {"ab)", "E5017@2"},
        {"ab\\", "E5017@2"},
        {"a{65536}", "E5017@1"},
        // 5018: a quantifier with nothing to repeat
        {"a++", "E5018@2"},
        {"a{2}+", "E5018@4"},
        {"*a", "E5018@0"},
        {"^*", "E5018@1"},
        {"a{3,2}", "E5018@1"},
        // 5019 to 5021: unclosed class and group, range out of order
        {"[ab", "E5019@3"},
        {"[a\\", "E5019@3"},
        {"(ab", "E5020@3"},
        {"((a)", "E5020@4"},
        {"[xz-a]", "E5021@2"},
        {"[\\x7a-\\x61]", "E5021@1"}};
    for (const auto &[pattern, expected] : rows)
        QTest::newRow(pattern) << QString::fromLatin1(pattern) << QString::fromLatin1(expected);
}

void tst_Engine::errors()
{
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(::execute(pattern, "", "abc"), expected);
    // Test and Replace check the same way, and setting the pattern never fails.
    engine::RegExp re;
    re.setPattern(u16(pattern));
    QVERIFY_THROWS_EXCEPTION(engine::RegExpError, re.Test(u"abc"));
    QVERIFY_THROWS_EXCEPTION(engine::RegExpError, re.Replace(u"abc", u"x"));
}

void tst_Engine::replace_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");

    const auto add = [](const char *name, std::u16string_view pattern, const char *flags,
                        std::u16string_view source, const char *replacement,
                        std::u16string_view expected) {
        QTest::newRow(name) << q(pattern) << QString::fromLatin1(flags) << q(source)
                            << QString::fromLatin1(replacement) << q(expected);
    };
    add("token table", u"(a)(b)?", "g", u"ab a", "[$0|$1|$2|$10|$$|$&]",
        u"[$0|a|b|a0|$|ab] [$0|a||a0|$|a]");
    add("before and after", u"b", "", u"abc", "[$`|$']", u"a[a|c]c");
    add("$01 is group 1", u"(b)", "", u"abc", "$01", u"abc");
    add("$00 literal", u"(b)", "", u"abc", "$00", u"a$00c");
    add("$nn picks two digits when the group exists", u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)", "",
        u"abcdefghijk", "$11$10$1", u"kja");
    add("$2 beyond the groups", u"(b)", "", u"abc", "$2", u"a$2c");
    add("empty matches", u"x*", "g", u"ab", "-", u"-a-b-");
    add("ignore case keeps the source text", u"B", "gi", u"abcB", "[$&]", u"a[b]c[B]");
    add("surrogates kept", u"x", "g", u"x\U0001F600x", "y", u"y\U0001F600y");
}
void tst_Engine::replace()
{
    QFETCH(QString, pattern);
    QFETCH(QString, flags);
    QFETCH(QString, source);
    QFETCH(QString, replacement);
    QFETCH(QString, expected);
    engine::RegExp re;
    re.setPattern(u16(pattern));
    apply(re, flags);
    QCOMPARE(QString::fromStdU16String(re.Replace(u16(source), u16(replacement))), expected);
}

void tst_Engine::propertyChangesRecompile()
{
    engine::RegExp re;
    re.setPattern(u"^b");
    QCOMPARE(re.Execute(u"a\nb").Count(), 0);
    re.setMultiline(true);
    QCOMPARE(re.Execute(u"a\nb").Count(), 1);
    QCOMPARE(re.Execute(u"a\rb").Count(), 1); // the other line mode, same object
    re.setPattern(u"^B");
    QCOMPARE(re.Execute(u"a\nb").Count(), 0);
    re.setIgnoreCase(true);
    QCOMPARE(re.Execute(u"a\nb").Count(), 1);
    re.setPattern(u"(");
    QVERIFY_THROWS_EXCEPTION(engine::RegExpError, re.Test(u"a"));
    re.setPattern(u"a");
    QVERIFY(re.Test(u"a"));
}

void tst_Engine::resultOutlivesObject()
{
    engine::MatchCollection matches;
    {
        engine::RegExp re;
        re.setGlobal(true);
        re.setPattern(u"(\\w)(\\d)?");
        std::u16string source = u"a1 b";
        matches = re.Execute(source);
        source.assign(4, u'z');
    }
    QCOMPARE(matches.Count(), 2);
    QVERIFY(matches.Item(1).Value() == u"b");
    QVERIFY(matches.Item(0).SubMatches().Item(1) == u"1");
    QVERIFY(!matches.Item(1).SubMatches().Participated(1));
    int seen = 0;
    for (const engine::Match &m : matches)
        seen += m.Length();
    QCOMPARE(seen, 3);
}

void tst_Engine::catastrophicPatternStops_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("outcome"); // 1 match, 0 no match, else the error number

    const QString as = QString(40, u'a');
    QTest::newRow("nested quantifier on a near miss hits the backtracking limit")
        << QStringLiteral("(a+)+$") << as + u'b' << int(engine::errors::TooMuchBacktracking);
    QTest::newRow("the same pattern where it matches answers at once")
        << QStringLiteral("(a+)+$") << as << 1;
    QTest::newRow("the same pattern where it can't start answers at once")
        << QStringLiteral("(a+)+$") << QStringLiteral("bbbb") << 0;
    // Deep backtracking state leaves the JIT stack: a long but ordinary run is no failure.
    QTest::newRow("300,000 alternations deep, then a match")
        << QStringLiteral("(a|b)*c") << QString(300'000, u'a') + u'c' << 1;
    QTest::newRow("300,000 alternations deep, then no match")
        << QStringLiteral("^(a|b)*c") << QString(300'000, u'a') << 0;
}

void tst_Engine::catastrophicPatternStops()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(int, outcome);
    engine::RegExp re;
    re.setPattern(u16(pattern));
    int got = -1;
    try {
        got = re.Test(u16(text)) ? 1 : 0;
    } catch (const engine::RegExpError &e) {
        got = e.number();
        QVERIFY(e.description() == engine::RegExpError::descriptionFor(e.number()));
        QCOMPARE(e.position(), -1);
    }
    QCOMPARE(got, outcome);
}

void tst_Engine::runStops_data()
{
    QTest::addColumn<bool>("test"); // Test: one search over the whole text; else Execute
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("quick"); // "b"s before the "a"s: where spans grow long
    QTest::addColumn<int>("repeats");
    QTest::addColumn<int>("number");
    using namespace engine::errors;
    QTest::newRow("Test cancelled inside its one search") << true << true << 0 << 20 << Cancelled;
    QTest::newRow("Test past the time cap inside its one search")
        << true << false << 0 << 20 << RunTooLong;
    QTest::newRow("Execute cancelled between short searches")
        << false << true << 0 << 20 << Cancelled;
    QTest::newRow("Execute past the time cap") << false << false << 0 << 20 << RunTooLong;
    // Each start position stays under the steps that are looked at alone; a span grown long
    // over the quick stretch must not take them all in one call.
    QTest::newRow("Test cancelled after a quick stretch")
        << true << true << 3'000'000 << 12 << Cancelled;
    QTest::newRow("Test past the time cap after a quick stretch")
        << true << false << 3'000'000 << 12 << RunTooLong;
}

void tst_Engine::runStops()
{
    QFETCH(bool, test);
    QFETCH(bool, cancel);
    QFETCH(int, quick);
    QFETCH(int, repeats);
    QFETCH(int, number);
    // Every search stays under the backtracking limit; the whole run would take a minute.
    engine::RegExp re;
    re.setGlobal(true);
    re.setPattern(u"(a|aa){1," + std::u16string(QString::number(repeats).toStdU16String()) + u"}$");
    const std::u16string source = std::u16string(std::size_t(quick), u'b') +
                                  std::u16string(quick ? 300'000 : 10'000, u'a') + u"b";
    engine::RunControl control;
    control.setTimeLimit(std::chrono::milliseconds(cancel ? 60'000 : 100));
    re.setRunControl(&control);
    std::thread canceller([&] {
        if (cancel) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            control.cancel();
        }
    });
    int stopped = 0; // the error number; 0: the run ended
    try {
        if (test)
            re.Test(source);
        else
            re.Execute(source);
    } catch (const engine::RegExpError &e) {
        stopped = e.number();
        QVERIFY(e.description() == engine::RegExpError::descriptionFor(number));
    }
    canceller.join();
    QCOMPARE(stopped, number);
    // The next run under a fresh control is not affected.
    engine::RunControl fresh;
    re.setRunControl(&fresh);
    re.setPattern(u"a{1,20}b");
    QCOMPARE(re.Execute(source).Count(), 1);
}

void tst_Engine::replaceResultIsBounded_data()
{
    QTest::addColumn<int>("sourceLength");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<int>("limit"); // of the result; 0: the engine's own
    QTest::newRow("every character by 100") << 2'000 << QString(100, u'x') << 100'000;
    QTest::newRow("the text before each match") << 1'000 << QStringLiteral("$`") << 100'000;
    QTest::newRow("the text before each match, the engine's bound")
        << 20'000 << QStringLiteral("$`") << 0;
}

void tst_Engine::replaceResultIsBounded()
{
    QFETCH(int, sourceLength);
    QFETCH(QString, replacement);
    QFETCH(int, limit);
    engine::RegExp re;
    re.setGlobal(true);
    re.setPattern(u".");
    engine::RunControl control;
    if (limit)
        control.setResultLimit(std::size_t(limit));
    re.setRunControl(&control);
    const std::u16string source(std::size_t(sourceLength), u'a');
    try {
        re.Replace(source,
                   std::u16string_view(reinterpret_cast<const char16_t *>(replacement.utf16()),
                                       std::size_t(replacement.size())));
        QFAIL("no bound");
    } catch (const engine::RegExpError &e) {
        QCOMPARE(e.number(), engine::errors::ResultTooLarge);
        QVERIFY(e.description() == u"The result is too large.");
    }
    // A result within the bound is no failure.
    re.setGlobal(false);
    QCOMPARE(re.Replace(source, u"bb").size(), source.size() + 1);
}

void tst_Engine::deepNestingIsRefused()
{
    engine::RegExp re;
    re.setPattern(std::u16string(5000, u'(') + std::u16string(5000, u')'));
    try {
        re.Test(u"a");
        QFAIL("accepted");
    } catch (const engine::RegExpError &e) {
        QCOMPARE(e.number(), engine::errors::EngineFailure);
        QVERIFY(!e.description().empty());
    }
    re.setPattern(std::u16string(200, u'(') + u"a" + std::u16string(200, u')'));
    QCOMPARE(re.Execute(u"a").Item(0).SubMatches().Count(), 200);
}

void tst_Engine::memoryPerBoundary()
{
    engine::RegExp re;
    re.setGlobal(true);
    re.setPattern(u"(a)(b)?");
    re.Execute(u"warm up"); // the pattern compiled, its buffers made
    const std::u16string source(100'000, u'a');
    const std::int64_t before = heapBytes.load();
    const engine::MatchCollection matches = re.Execute(source);
    const std::int64_t held = heapBytes.load() - before;
    QCOMPARE(matches.Count(), 100'000);
    // Match, group 1 and the absent group 2: three pairs of boundaries a match, 4 bytes each,
    // and at most as much again while the store grows.
    const std::int64_t boundaries = 100'000 * 3 * 2;
    QVERIFY2(held >= boundaries * 4 && held <= boundaries * 8,
             qPrintable(QStringLiteral("%1 bytes for %2 boundaries").arg(held).arg(boundaries)));
}

QTEST_GUILESS_MAIN(tst_Engine)
#include "tst_engine.moc"
