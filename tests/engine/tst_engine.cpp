// The dialect's hard points: each row runs one pattern and compares a compact rendering of the
// outcome. A match renders as index:"value", followed by (group,group,...) where a group that
// took no part is -; matches are separated by blanks; no match is "none"; an error is
// E<number>@<offset>.

#include "runner/engine/regexp.h"

#include <QTest>

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

} // namespace

class tst_Engine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void execute_data();
    void execute();
    void errors_data();
    void errors();
    void replace_data();
    void replace();
    void test_data();
    void test();
    void propertyChangesRecompile();
    void resultOutlivesObject();
    void catastrophicPatternStops();
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
    QTest::newRow("dot matches CR") << "a.c"
                                    << ""
                                    << "a\rc"
                                    << "0:\"a\\u000dc\"";
    QTest::newRow("dot matches U+2028") << "."
                                        << "" << QString(QChar(0x2028)) << "0:\"\\u2028\"";
    QTest::newRow("dot does not match LF") << "a.c"
                                           << ""
                                           << "a\nc"
                                           << "none";
    QTest::newRow("dot takes one half of a pair")
        << "."
        << "g" << QString::fromUtf8("\xF0\x9F\x98\x80") << "0:\"\\ud83d\" 1:\"\\ude00\"";
    // ^ and $
    QTest::newRow("$ not before a final LF") << "a$"
                                             << ""
                                             << "a\n"
                                             << "none";
    QTest::newRow("^ only at the start") << "^b"
                                         << ""
                                         << "a\nb"
                                         << "none";
    QTest::newRow("multiline ^ after CR") << "^b"
                                          << "m"
                                          << "a\rb"
                                          << "2:\"b\"";
    QTest::newRow("multiline ^ after LF") << "^b"
                                          << "m"
                                          << "a\nb"
                                          << "2:\"b\"";
    QTest::newRow("multiline $ before CR") << "a$"
                                           << "m"
                                           << "a\rb"
                                           << "0:\"a\"";
    QTest::newRow("multiline inside CR LF") << "^$"
                                            << "gm"
                                            << "a\r\nb"
                                            << "2:\"\"";
    QTest::newRow("multiline ^ after a final LF") << "^"
                                                  << "gm"
                                                  << "a\n"
                                                  << "0:\"\" 2:\"\"";
    QTest::newRow("multiline ^ after a final CR") << "^"
                                                  << "gm"
                                                  << "a\r"
                                                  << "0:\"\" 2:\"\"";
    QTest::newRow("multiline U+2028 is no break") << "^b"
                                                  << "m" << QString("a") + QChar(0x2028) + "b"
                                                  << "none";
    QTest::newRow("multiline lines without CR") << "^\\w+$"
                                                << "gm"
                                                << "ab\ncd\n\nef"
                                                << "0:\"ab\" 3:\"cd\" 7:\"ef\"";
    QTest::newRow("multiline lines with CR LF") << "^\\w+$"
                                                << "gm"
                                                << "ab\r\ncd\r\n\r\nef"
                                                << "0:\"ab\" 4:\"cd\" 10:\"ef\"";
    // \s \d \w \b
    QTest::newRow("\\s is not U+00A0") << "\\s"
                                       << "" << QString(QChar(0xA0)) << "none";
    QTest::newRow("\\s is not U+FEFF") << "\\s"
                                       << "" << QString(QChar(0xFEFF)) << "none";
    QTest::newRow("\\s is VT and FF") << "\\s+"
                                      << ""
                                      << "x\v\f"
                                      << "1:\"\\u000b\\u000c\"";
    QTest::newRow("\\S matches U+2028") << "\\S"
                                        << "" << QString(QChar(0x2028)) << "0:\"\\u2028\"";
    QTest::newRow("\\w is ASCII") << "\\w+"
                                  << "g"
                                  << QString::fromUtf8("a\xC3\xA9"
                                                       "b")
                                  << "0:\"a\" 2:\"b\"";
    QTest::newRow("\\d is ASCII") << "\\d"
                                  << "" << QString(QChar(0x0663)) << "none";
    QTest::newRow("\\b with a non-ASCII letter")
        << QString::fromUtf8("\\b\xC3\xA9") << "g" << QString::fromUtf8("\xC3\xA9 a\xC3\xA9")
        << "3:\"\\u00e9\"";
    QTest::newRow("\\v is VT") << "\\v"
                               << ""
                               << "\v"
                               << "0:\"\\u000b\"";
    // captures
    QTest::newRow("capture kept from an earlier iteration") << "(?:(a)|b)+"
                                                            << ""
                                                            << "ab"
                                                            << "0:\"ab\"(a)";
    QTest::newRow("nested captures kept") << "(z)((a+)?(b+)?(c))*"
                                          << ""
                                          << "zaacbbbcac"
                                          << "0:\"zaacbbbcac\"(z,ac,a,bbb,c)";
    QTest::newRow("group that took no part") << "(a)|b"
                                             << ""
                                             << "b"
                                             << "0:\"b\"(-)";
    QTest::newRow("reference to an unset group is empty") << "(a)?b\\1"
                                                          << ""
                                                          << "b"
                                                          << "0:\"b\"(-)";
    QTest::newRow("reference inside its own group") << "(a\\1)"
                                                    << ""
                                                    << "aa"
                                                    << "0:\"a\"(a)";
    // back-reference or octal
    QTest::newRow("\\12 with one group") << "(a)\\12"
                                         << ""
                                         << "aa2"
                                         << "0:\"aa2\"(a)";
    QTest::newRow("\\1 before the group is octal") << "\\1(a)"
                                                   << "" << QString(QChar(1)) + "a"
                                                   << "0:\"\\u0001a\"(a)";
    QTest::newRow("\\10 with nine groups") << "(a)(b)(c)(d)(e)(f)(g)(h)(i)\\10"
                                           << ""
                                           << "abcdefghia0"
                                           << "0:\"abcdefghia0\"(a,b,c,d,e,f,g,h,i)";
    QTest::newRow("\\10 with ten groups") << "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)\\10"
                                          << ""
                                          << "abcdefghijj"
                                          << "0:\"abcdefghijj\"(a,b,c,d,e,f,g,h,i,j)";
    QTest::newRow("\\123 with twelve groups is group 12 then 3")
        << "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)\\123"
        << ""
        << "abcdefghijkll3"
        << "0:\"abcdefghijkll3\"(a,b,c,d,e,f,g,h,i,j,k,l)";
    QTest::newRow("\\11 is TAB") << "\\11"
                                 << ""
                                 << "\t"
                                 << "0:\"\\u0009\"";
    QTest::newRow("\\400 is a blank then 0") << "\\400"
                                             << ""
                                             << " 0"
                                             << "0:\" 0\"";
    QTest::newRow("\\377 is U+00FF") << "\\377"
                                     << "" << QString(QChar(0xFF)) << "0:\"\\u00ff\"";
    QTest::newRow("\\8 is 8") << "\\8"
                              << ""
                              << "8"
                              << "0:\"8\"";
    QTest::newRow("\\0011 is \\001 then 1") << "\\0011"
                                            << "" << QString(QChar(1)) + "1"
                                            << "0:\"\\u00011\"";
    QTest::newRow("\\0 is NUL") << "a\\0"
                                << "" << QString("a") + QChar(0) << "0:\"a\\u0000\"";
    // empty iterations
    QTest::newRow("empty iteration rejected") << "(a|b*)*"
                                              << ""
                                              << "a"
                                              << "0:\"a\"(a)";
    QTest::newRow("star of an empty-only group leaves it unset") << "(a*)*"
                                                                 << ""
                                                                 << "b"
                                                                 << "0:\"\"(-)";
    QTest::newRow("plus keeps its first empty iteration") << "(a*)+"
                                                          << ""
                                                          << "b"
                                                          << "0:\"\"()";
    QTest::newRow("quantified lookahead may be skipped") << "(?:(?=(abc)))?a"
                                                         << ""
                                                         << "abc"
                                                         << "0:\"a\"(-)";
    QTest::newRow("choice: minimum of two, empty after a non-empty iteration") << "(a?){2,3}"
                                                                               << ""
                                                                               << "a"
                                                                               << "0:\"a\"(a)";
    // Global iteration
    QTest::newRow("a* over baaac") << "a*"
                                   << "g"
                                   << "baaac"
                                   << "0:\"\" 1:\"aaa\" 4:\"\" 5:\"\"";
    QTest::newRow("no second try after an empty match") << "x*|b"
                                                        << "g"
                                                        << "abc"
                                                        << "0:\"\" 1:\"\" 2:\"\" 3:\"\"";
    QTest::newRow("empty pattern") << ""
                                   << "g"
                                   << "ab"
                                   << "0:\"\" 1:\"\" 2:\"\"";
    QTest::newRow("empty alternative") << "a|"
                                       << "g"
                                       << "ba"
                                       << "0:\"\" 1:\"a\" 2:\"\"";
    QTest::newRow("first match only without Global") << "\\d+"
                                                     << ""
                                                     << "a1b22"
                                                     << "1:\"1\"";
    QTest::newRow("groups in a Global run") << "(\\d+)-(\\d+)"
                                            << "g"
                                            << "a 12-345 b 6-7"
                                            << "2:\"12-345\"(12,345) 11:\"6-7\"(6,7)";
    // escapes
    QTest::newRow("\\c with a digit") << "\\c1"
                                      << ""
                                      << "c1"
                                      << "0:\"c1\"";
    QTest::newRow("\\cJ is LF") << "\\cJ"
                                << ""
                                << "\n"
                                << "0:\"\\u000a\"";
    QTest::newRow("\\cj is LF") << "\\cj"
                                << ""
                                << "\n"
                                << "0:\"\\u000a\"";
    QTest::newRow("\\x with one digit") << "\\x4"
                                        << ""
                                        << "x4"
                                        << "0:\"x4\"";
    QTest::newRow("\\x41") << "\\x41"
                           << ""
                           << "A"
                           << "0:\"A\"";
    QTest::newRow("\\u with three digits") << "\\u12"
                                           << ""
                                           << "u12"
                                           << "0:\"u12\"";
    QTest::newRow("\\u lone surrogate") << "\\ud800"
                                        << "" << QString(QChar(0xD800)) << "0:\"\\ud800\"";
    QTest::newRow("identity escapes") << "\\A\\z\\Q\\E\\K\\G\\h\\R\\e\\a"
                                      << ""
                                      << "AzQEKGhRea"
                                      << "0:\"AzQEKGhRea\"";
    QTest::newRow("\\p{L} is literal") << "\\p{L}"
                                       << ""
                                       << "p{L}"
                                       << "0:\"p{L}\"";
    // braces, brackets
    QTest::newRow("a{ literal") << "a{"
                                << ""
                                << "a{"
                                << "0:\"a{\"";
    QTest::newRow("a{1,2 literal") << "a{1,2"
                                   << ""
                                   << "a{1,2"
                                   << "0:\"a{1,2\"";
    QTest::newRow("a{,5} literal") << "a{,5}"
                                   << ""
                                   << "a{,5}"
                                   << "0:\"a{,5}\"";
    QTest::newRow("a{ 1} literal") << "a{ 1}"
                                   << ""
                                   << "a{ 1}"
                                   << "0:\"a{ 1}\"";
    QTest::newRow("lone } and ]") << "}]"
                                  << ""
                                  << "}]"
                                  << "0:\"}]\"";
    QTest::newRow("count 65535 accepted") << "a{0,65535}b"
                                          << ""
                                          << "ab"
                                          << "0:\"ab\"";
    // classes
    QTest::newRow("[] matches nothing") << "[]a]"
                                        << ""
                                        << "]a]"
                                        << "none";
    QTest::newRow("[^] matches LF") << "[^]"
                                    << ""
                                    << "\n"
                                    << "0:\"\\u000a\"";
    QTest::newRow("class escape before -") << "[\\d-z]+"
                                           << ""
                                           << "1-z"
                                           << "0:\"1-z\"";
    QTest::newRow("class escape after -") << "[a-\\d]+"
                                          << ""
                                          << "a-1"
                                          << "0:\"a-1\"";
    QTest::newRow("- after a range") << "[a-c-e]+"
                                     << ""
                                     << "b-e"
                                     << "0:\"b-e\"";
    QTest::newRow("\\b in a class is backspace, \\B is B") << "[\\b\\B]+"
                                                           << ""
                                                           << "\bB"
                                                           << "0:\"\\u0008B\"";
    QTest::newRow("octal in a class") << "[\\1-\\3]"
                                      << "" << QString(QChar(2)) << "0:\"\\u0002\"";
    QTest::newRow("[ in a class") << "[[:alpha:]]"
                                  << ""
                                  << "a]"
                                  << "0:\"a]\"";
    QTest::newRow("negated class") << "[^a-c]+"
                                   << ""
                                   << "abxyc"
                                   << "2:\"xy\"";
    // IgnoreCase
    QTest::newRow("ignore case non-ASCII literal")
        << QString::fromUtf8("\xC3\xA9") << "gi" << QString::fromUtf8("\xC3\xA9\xC3\x89")
        << "0:\"\\u00e9\" 1:\"\\u00c9\"";
    QTest::newRow("ignore case k is not Kelvin") << "k"
                                                 << "gi" << QString(QChar(0x212A)) + "kK"
                                                 << "1:\"k\" 2:\"K\"";
    QTest::newRow("ignore case s is not long s") << "s+"
                                                 << "i" << QString(QChar(0x17F)) + "sS"
                                                 << "1:\"sS\"";
    QTest::newRow("ignore case range is not Kelvin") << "[a-z]+"
                                                     << "i" << QString(QChar(0x212A)) + "Ks"
                                                     << "1:\"Ks\"";
    QTest::newRow("ignore case dz triple")
        << QString(QChar(0x1C5)) + "+"
        << "i" << QString(QChar(0x1C4)) + QChar(0x1C5) + QChar(0x1C6)
        << "0:\"\\u01c4\\u01c5\\u01c6\"";
    QTest::newRow("ignore case class closed") << QString::fromUtf8("[\xC3\xA0-\xC3\xBF]") << "i"
                                              << QString(QChar(0x178)) << "0:\"\\u0178\"";
    QTest::newRow("ignore case negated class") << "[^a]"
                                               << "gi"
                                               << "aAb"
                                               << "2:\"b\"";
    QTest::newRow("ignore case back-reference ASCII") << "(a)\\1"
                                                      << "i"
                                                      << "aA"
                                                      << "0:\"aA\"(a)";
    QTest::newRow("ignore case back-reference non-ASCII")
        << QString::fromUtf8("(\xC3\xA9)\\1") << "i" << QString::fromUtf8("x\xC3\xA9\xC3\x89")
        << "1:\"\\u00e9\\u00c9\"(\\u00e9)";
    QTest::newRow("ignore case keeps original text") << "[A-Z]+"
                                                     << "i"
                                                     << "aBc"
                                                     << "0:\"aBc\"";
    QTest::newRow("ignore case \\W is not a letter") << "\\W"
                                                     << "i"
                                                     << "aK"
                                                     << "none";
    QTest::newRow("ignore case with multiline") << "^B"
                                                << "im"
                                                << "a\rb"
                                                << "2:\"b\"";
    // lookaheads and lazy forms
    QTest::newRow("lookahead keeps its capture") << "(?=(a))a"
                                                 << ""
                                                 << "a"
                                                 << "0:\"a\"(a)";
    QTest::newRow("negative lookahead capture unset") << "(?!(a))b"
                                                      << ""
                                                      << "b"
                                                      << "0:\"b\"(-)";
    QTest::newRow("optional element in a lookahead") << "(?=a?b)ab"
                                                     << ""
                                                     << "ab"
                                                     << "0:\"ab\"";
    QTest::newRow("quantified lookahead") << "(?=a)*a"
                                          << ""
                                          << "a"
                                          << "0:\"a\"";
    QTest::newRow("lazy plus") << "a+?"
                               << ""
                               << "aaa"
                               << "0:\"a\"";
    QTest::newRow("lazy braces") << "a{2,3}?"
                                 << ""
                                 << "aaa"
                                 << "0:\"aa\"";
    QTest::newRow("first alternative wins") << "a|ab"
                                            << ""
                                            << "ab"
                                            << "0:\"a\"";
    // PCRE2 syntax is never passed through
    QTest::newRow("\\Q..\\E literal letters") << "\\Qa.b\\E"
                                              << ""
                                              << "Qa-bE"
                                              << "0:\"Qa-bE\"";
    QTest::newRow("(*VERB) is a syntax error") << "(*ACCEPT)a"
                                               << ""
                                               << "a"
                                               << "E5018@1";
    QTest::newRow("\\g is g") << "(a)\\g1"
                              << ""
                              << "ag1"
                              << "0:\"ag1\"(a)";
    QTest::newRow("\\k<n> is literal") << "\\k<n>"
                                       << ""
                                       << "k<n>"
                                       << "0:\"k<n>\"";
    QTest::newRow("# and blanks are literal") << "a #b"
                                              << ""
                                              << "a #b"
                                              << "0:\"a #b\"";
}

void tst_Engine::execute()
{
    QFETCH(QString, pattern);
    QFETCH(QString, flags);
    QFETCH(QString, source);
    QFETCH(QString, expected);
    QCOMPARE(::execute(pattern, flags, source), expected);
}

void tst_Engine::errors_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    QTest::newRow("lookbehind") << "(?<=a)b"
                                << "E5017@0";
    QTest::newRow("negative lookbehind") << "x(?<!a)b"
                                         << "E5017@1";
    QTest::newRow("named group") << "(?<n>a)"
                                 << "E5017@0";
    QTest::newRow("P named group") << "(?P<n>a)"
                                   << "E5017@0";
    QTest::newRow("atomic group") << "(?>a)"
                                  << "E5017@0";
    QTest::newRow("inline flag") << "(?i)a"
                                 << "E5017@0";
    QTest::newRow("comment") << "(?#x)"
                             << "E5017@0";
    QTest::newRow("branch reset") << "(?|a)"
                                  << "E5017@0";
    QTest::newRow("conditional") << "(a)(?(1)a)"
                                 << "E5017@3";
    QTest::newRow("(? at the end") << "(?"
                                   << "E5017@0";
    QTest::newRow(") without (") << "ab)"
                                 << "E5017@2";
    QTest::newRow("backslash at the end") << "ab\\"
                                          << "E5017@2";
    QTest::newRow("count above 65535") << "a{65536}"
                                       << "E5017@1";
    QTest::newRow("possessive ++") << "a++"
                                   << "E5018@2";
    QTest::newRow("possessive *+") << "a*+"
                                   << "E5018@2";
    QTest::newRow("possessive {2}+") << "a{2}+"
                                     << "E5018@4";
    QTest::newRow("two quantifiers") << "a**"
                                     << "E5018@2";
    QTest::newRow("lazy then quantifier") << "a+?+"
                                          << "E5018@3";
    QTest::newRow("{1}{2}") << "x{1}{2}"
                            << "E5018@4";
    QTest::newRow("nothing to repeat at the start") << "*a"
                                                    << "E5018@0";
    QTest::newRow("nothing to repeat after |") << "a|?"
                                               << "E5018@2";
    QTest::newRow("nothing to repeat after (") << "(+)"
                                               << "E5018@1";
    QTest::newRow("{1} at the start") << "{1}"
                                      << "E5018@0";
    QTest::newRow("quantified ^") << "^*"
                                  << "E5018@1";
    QTest::newRow("quantified $") << "a$+"
                                  << "E5018@2";
    QTest::newRow("quantified \\b") << "\\b+"
                                    << "E5018@2";
    QTest::newRow("quantified \\B") << "\\B?"
                                    << "E5018@2";
    QTest::newRow("n above m") << "a{3,2}"
                               << "E5018@1";
    QTest::newRow("unclosed class") << "[ab"
                                    << "E5019@3";
    QTest::newRow("class ends in a backslash") << "[a\\"
                                               << "E5019@3";
    QTest::newRow("unclosed group") << "(ab"
                                    << "E5020@3";
    QTest::newRow("unclosed lookahead") << "(?=a"
                                        << "E5020@4";
    QTest::newRow("unclosed inner group") << "((a)"
                                          << "E5020@4";
    QTest::newRow("range out of order") << "[z-a]"
                                        << "E5021@1";
    QTest::newRow("range out of order after a member") << "[xz-a]"
                                                       << "E5021@2";
    QTest::newRow("escaped range out of order") << "[\\x7a-\\x61]"
                                                << "E5021@1";
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

    QTest::newRow("token table") << "(a)(b)?"
                                 << "g"
                                 << "ab a"
                                 << "[$0|$1|$2|$10|$$|$&]"
                                 << "[$0|a|b|a0|$|ab] [$0|a||a0|$|a]";
    QTest::newRow("before and after") << "b"
                                      << ""
                                      << "abc"
                                      << "[$`|$']"
                                      << "a[a|c]c";
    QTest::newRow("dollar at the end") << "b"
                                       << ""
                                       << "abc"
                                       << "$"
                                       << "a$c";
    QTest::newRow("other dollar") << "b"
                                  << ""
                                  << "abc"
                                  << "$x$"
                                  << "a$x$c";
    QTest::newRow("$01 is group 1") << "(b)"
                                    << ""
                                    << "abc"
                                    << "$01"
                                    << "abc";
    QTest::newRow("$00 literal") << "(b)"
                                 << ""
                                 << "abc"
                                 << "$00"
                                 << "a$00c";
    QTest::newRow("$nn picks two digits when the group exists")
        << "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)"
        << ""
        << "abcdefghijk"
        << "$11$10$1"
        << "kja";
    QTest::newRow("$2 beyond the groups") << "(b)"
                                          << ""
                                          << "abc"
                                          << "$2"
                                          << "a$2c";
    QTest::newRow("first only") << "o"
                                << ""
                                << "foo"
                                << "0"
                                << "f0o";
    QTest::newRow("every match") << "o"
                                 << "g"
                                 << "foo"
                                 << "0"
                                 << "f00";
    QTest::newRow("empty matches") << "x*"
                                   << "g"
                                   << "ab"
                                   << "-"
                                   << "-a-b-";
    QTest::newRow("ignore case keeps the source text") << "B"
                                                       << "gi"
                                                       << "abcB"
                                                       << "[$&]"
                                                       << "a[b]c[B]";
    QTest::newRow("no match") << "z"
                              << "g"
                              << "abc"
                              << "!"
                              << "abc";
    QTest::newRow("surrogates kept") << "x"
                                     << "g" << QString("x") + QChar(0xD83D) + QChar(0xDE00) + "x"
                                     << "y" << QString("y") + QChar(0xD83D) + QChar(0xDE00) + "y";
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

void tst_Engine::test_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("expected");

    QTest::newRow("match") << "b+"
                           << ""
                           << "abbc" << true;
    QTest::newRow("no match") << "d"
                              << ""
                              << "abc" << false;
    QTest::newRow("Global ignored") << "c"
                                    << "g"
                                    << "abc" << true;
    QTest::newRow("empty pattern on empty text") << ""
                                                 << ""
                                                 << "" << true;
    QTest::newRow("ignore case") << "ABC"
                                 << "i"
                                 << "xabc" << true;
}

void tst_Engine::test()
{
    QFETCH(QString, pattern);
    QFETCH(QString, flags);
    QFETCH(QString, source);
    QFETCH(bool, expected);
    engine::RegExp re;
    re.setPattern(u16(pattern));
    apply(re, flags);
    QCOMPARE(re.Test(u16(source)), expected);
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

void tst_Engine::catastrophicPatternStops()
{
    engine::RegExp re;
    re.setPattern(u"(a+)+$");
    try {
        const bool matched = re.Test(std::u16string(40, u'a') + u"b");
        QVERIFY(!matched);
    } catch (const engine::RegExpError &e) {
        QCOMPARE(e.number(), engine::errors::TooMuchBacktracking);
        QVERIFY(e.description() == u"The pattern needs too much backtracking for this text.");
        QCOMPARE(e.position(), -1);
    }
    // A long but ordinary run is no failure: deep backtracking state leaves the JIT stack.
    re.setPattern(u"(a|b)*c");
    QVERIFY(re.Test(std::u16string(300'000, u'a') + u"c"));
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
    const engine::MatchCollection matches = re.Execute(std::u16string(100'000, u'a'));
    QCOMPARE(matches.Count(), 100'000);
    const std::size_t boundaries = 100'000 * 3 * 2;
    QVERIFY(matches.offsetBytes() <= boundaries * 8);
}

QTEST_GUILESS_MAIN(tst_Engine)
#include "tst_engine.moc"
