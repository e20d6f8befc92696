// Lint: the warnings each pattern must give (code and span), none on ordinary patterns, and the
// backtracking alarm against the engine's own step counts.

#include "runner/engine/lint.h"
#include "runner/engine/regexp.h"

#include <QStringList>
#include <QTest>

namespace {

std::u16string u16(const QString &s)
{
    return s.toStdU16String();
}

// "code@start+length" for each warning, joined by " ".
QString summary(const engine::LintResult &lint)
{
    QStringList out;
    for (const engine::Warning &w : lint.warnings)
        out << QStringLiteral("%1@%2+%3")
                   .arg(QString::fromStdString(w.code))
                   .arg(w.start)
                   .arg(w.length);
    return out.join(u' ');
}

// Steps of the attempt at the start of the attack repeated n times, as the engine counts them;
// 0 when over StepLimit.
constexpr std::uint32_t StepLimit = 5'000'000;
std::uint64_t attemptSteps(const QString &pattern, const engine::Attack &attack, int n)
{
    engine::RegExp re;
    re.setPattern(u16(pattern));
    return re.StepsAt(attack.text(n), 0, StepLimit);
}

} // namespace

class tst_Lint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void warnings_data();
    void warnings();
    void ordinaryPatternsGiveNone_data();
    void ordinaryPatternsGiveNone();
    void replacementDoesWhatWasMeant_data();
    void replacementDoesWhatWasMeant();
    void backtrackingConfirmedBySteps_data();
    void backtrackingConfirmedBySteps();
    void invalidPatternKeepsTheRunsError();
    void cancelledLintGivesNoBacktracking();
};

void tst_Lint::warnings_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<bool>("multiline");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const QString &p, const char *expected,
                        bool ignoreCase = false, bool multiline = false) {
        QTest::newRow(name) << p << ignoreCase << multiline << QString::fromLatin1(expected);
    };
    // Escapes of other dialects: plain letters here.
    row("\\A is a letter", QStringLiteral(R"~(\Aabc)~"), "foreign-escape@0+2");
    row("\\Z is a letter", QStringLiteral(R"~(abc\Z)~"), "foreign-escape@3+2");
    row("\\z is a letter", QStringLiteral(R"~(abc\z)~"), "foreign-escape@3+2");
    row("\\z under Multiline", QStringLiteral(R"~(abc\z)~"), "foreign-escape@3+2", false, true);
    row("\\G is a letter", QStringLiteral(R"~(\Gx)~"), "foreign-escape@0+2");
    row("\\h is a letter", QStringLiteral(R"~(a\hb)~"), "foreign-escape@1+2");
    row("\\H is a letter", QStringLiteral(R"~(a\Hb)~"), "foreign-escape@1+2");
    row("\\R is a letter", QStringLiteral(R"~(a\Rb)~"), "foreign-escape@1+2");
    row("\\K is a letter", QStringLiteral(R"~(foo\Kbar)~"), "foreign-escape@3+2");
    row("\\e is a letter", QStringLiteral(R"~(\e\[0m)~"), "foreign-escape@0+2");
    row("\\a is a letter", QStringLiteral(R"~(x\a)~"), "foreign-escape@1+2");
    row("\\Q and \\E are letters", QStringLiteral(R"~(\Qa.b\E)~"),
        "foreign-escape@0+2 foreign-escape@5+2");
    row("\\p{L} is p and text", QStringLiteral(R"~(\p{L}+)~"), "foreign-escape@0+5");
    row("\\P{Lu} is P and text", QStringLiteral(R"~(x\P{Lu})~"), "foreign-escape@1+6");
    row("\\p without braces", QStringLiteral(R"~(\pL)~"), "foreign-escape@0+2");
    row("\\x{41} is x repeated", QStringLiteral(R"~(\x{41})~"), "foreign-escape@0+6");
    row("\\x{e9} is x and text", QStringLiteral(R"~(caf\x{e9})~"), "foreign-escape@3+6");
    row("\\z inside a class", QStringLiteral(R"~([\z])~"), "foreign-escape@1+2");
    row("two foreign escapes", QStringLiteral(R"~(\A\d+\z)~"),
        "foreign-escape@0+2 foreign-escape@5+2");
    // Group syntax of other dialects: errors here.
    row("named group", QStringLiteral("(?<year>\\d{4})"), "foreign-group@0+8");
    row("named group after text", QStringLiteral("ab(?<x>c)"), "foreign-group@2+5");
    row("P named group", QStringLiteral("(?P<year>\\d+)"), "foreign-group@0+9");
    row("P named reference", QStringLiteral("(a)(?P=x)"), "foreign-group@3+4");
    row("lookbehind", QStringLiteral("(?<=\\$)\\d+"), "foreign-group@0+4");
    row("negative lookbehind", QStringLiteral("a(?<!b)c"), "foreign-group@1+4");
    row("atomic group", QStringLiteral("(?>a+)b"), "foreign-group@0+3");
    row("comment group", QStringLiteral("a(?#note)b"), "foreign-group@1+8");
    row("inline ignore case", QStringLiteral("(?i)abc"), "foreign-group@0+4");
    row("inline options", QStringLiteral("(?ms)^a.b"), "foreign-group@0+5");
    row("scoped options", QStringLiteral("(?i:ab)c"), "foreign-group@0+4");
    row("branch reset", QStringLiteral("(?|a|b)"), "foreign-group@0+3");
    row("conditional", QStringLiteral("(a)?(?(1)b|c)"), "foreign-group@4+3");
    row("warnings before the error kept", QStringLiteral(R"~(\A(?<n>a))~"),
        "foreign-escape@0+2 foreign-group@2+5");
    row("unknown group syntax gives none", QStringLiteral("(?~a)"), "");
    // POSIX classes.
    row("posix alpha", QStringLiteral("[[:alpha:]]+"), "posix-class@0+11");
    row("posix digit negated", QStringLiteral("[^[:digit:]]"), "posix-class@0+12");
    row("posix space", QStringLiteral("a[[:space:]]b"), "posix-class@1+11");
    row("posix unknown name is a plain class", QStringLiteral("[[:foo:]]"),
        "repeated-member@5+1 repeated-member@6+1");
    // Possessive quantifiers.
    row("possessive plus", QStringLiteral("a++b"), "possessive@2+1");
    row("possessive star", QStringLiteral("\\d*+"), "possessive@3+1");
    row("possessive question", QStringLiteral("x?+"), "possessive@2+1");
    row("possessive counted", QStringLiteral("a{2}+"), "possessive@4+1");
    row("double star is no possessive", QStringLiteral("a**"), "");
    // Decimal escapes.
    row("octal in a class", QStringLiteral(R"~((a)[\1])~"), "octal-in-class@4+2");
    row("octal 12 in a class", QStringLiteral(R"~([\12])~"), "octal-in-class@1+3");
    row("\\1 before its group is octal", QStringLiteral(R"~(\1(a))~"), "digit-escape@0+2");
    row("\\12 with one group", QStringLiteral(R"~((a)\12)~"), "digit-escape@3+3");
    row("\\8 is the digit", QStringLiteral(R"~(a\8)~"), "digit-escape@1+2");
    row("\\9 is the digit", QStringLiteral(R"~((a)\9)~"), "digit-escape@3+2");
    row("\\11 with no group is a tab", QStringLiteral(R"~(a\11b)~"), "digit-escape@1+3");
    row("\\0 is NUL, no warning", QStringLiteral(R"~(a\0b)~"), "");
    row("\\1 after its group, no warning", QStringLiteral(R"~((a)\1)~"), "");
    row("\\12 with twelve groups, no warning",
        QStringLiteral(R"~((a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)\12)~"), "");
    // Braces.
    row("{,3} is literal", QStringLiteral("a{,3}"), "brace-literal@1+4");
    row("{,10} is literal", QStringLiteral("\\d{,10}$"), "brace-literal@2+5");
    row("{,} is not a bound", QStringLiteral("a{,}"), "");
    // ASCII-only \w and \b next to non-ASCII letters.
    row("\\w beside é", QStringLiteral("caf\u00E9\\w+"), "ascii-word@4+2");
    row("\\b beside ü", QStringLiteral("\\b\u00FCber\\b"), "ascii-word@0+2 ascii-word@6+2");
    row("\\W beside é in a class", QStringLiteral("[\u00E9\\W]"), "ascii-word@2+2");
    row("\\w beside a range of letters", QStringLiteral("[\u00C0-\u00FF]\\w"), "ascii-word@5+2");
    row("\\w beside no letter", QStringLiteral("\u20AC\\w+"), "");
    // Back-references that are always empty.
    row("reference inside its own group", QStringLiteral(R"~((a\1))~"), "empty-backreference@2+2");
    row("reference inside an outer group", QStringLiteral(R"~((a(b)\1))~"),
        "empty-backreference@5+2");
    // Wide ranges.
    row("A-z", QStringLiteral("[A-z]+"), "wide-range@1+3");
    row("a-zA-z", QStringLiteral("[a-zA-z]"), "wide-range@4+3");
    row("B-y", QStringLiteral("[B-y]"), "wide-range@1+3");
    // Escapes that change nothing.
    row("\\y is y", QStringLiteral(R"~(\y)~"), "useless-escape@0+2");
    row("\\q in a class", QStringLiteral(R"~([\q])~"), "useless-escape@1+2");
    row("\\c without a letter", QStringLiteral(R"~(\c1)~"), "useless-escape@0+2");
    row("\\B in a class is B", QStringLiteral(R"~([\B])~"), "useless-escape@1+2");
    // Repeated class members.
    row("a twice", QStringLiteral("[aba]"), "repeated-member@3+1");
    row("range covers a member", QStringLiteral("[a-zq]"), "repeated-member@4+1");
    row("\\w covers _", QStringLiteral(R"~([\w_])~"), "repeated-member@3+1");
    row("\\d covers 0-9", QStringLiteral(R"~([\d0-9])~"), "repeated-member@3+3");
    row("\\s covers space", QStringLiteral(R"~([\s ])~"), "repeated-member@3+1");
    // Empty alternatives.
    row("empty last alternative", QStringLiteral("a|"), "empty-alternative@1+1");
    row("empty first alternative", QStringLiteral("|a"), "empty-alternative@0+1");
    row("empty middle alternative", QStringLiteral("(a||b)"), "empty-alternative@2+1");
    row("empty alternative in a group", QStringLiteral("x(y|)"), "empty-alternative@3+1");
    // Quantifiers that repeat nothing.
    row("{1} changes nothing", QStringLiteral("ab{1}"), "useless-quantifier@2+3");
    row("{1,1} changes nothing", QStringLiteral("a{1,1}"), "useless-quantifier@1+5");
    row("{0} removes its atom", QStringLiteral("ab{0}c"), "useless-quantifier@1+4");
    row("lookahead repeated", QStringLiteral("(?=a)*a"), "useless-quantifier@5+1");
    row("empty group repeated", QStringLiteral("()+a"), "useless-quantifier@2+1");
    // Backtracking that grows with the text.
    row("nested plus", QStringLiteral("(a+)+$"), "backtracking@0+5");
    row("overlapping alternatives", QStringLiteral("(a|aa)+$"), "backtracking@0+7");
    row("words and optional spaces", QStringLiteral(R"~((\w+\s?)*$)~"), "backtracking@0+9");
    row("two loops in a loop", QStringLiteral("(x+x+)+y"), "backtracking@0+7");
    row("adjacent digit loops", QStringLiteral(R"~(\d+\d+x)~"), "backtracking@0+6");
    row("nested star with prefix", QStringLiteral("^x(a*)*b"), "backtracking@2+5");
    row("nested under Ignore case", QStringLiteral("(A+)+$"), "backtracking@0+5", true);
    row("dot loops", QStringLiteral("(.*)*=$"), "backtracking@0+5");
    row("several warnings in order", QStringLiteral(R"~(\A[A-z]|a{,2})~"),
        "foreign-escape@0+2 wide-range@3+3 brace-literal@9+4");
}

void tst_Lint::warnings()
{
    QFETCH(QString, pattern);
    QFETCH(bool, ignoreCase);
    QFETCH(bool, multiline);
    QFETCH(QString, expected);
    const engine::LintResult lint = engine::Lint(u16(pattern), {ignoreCase, multiline});
    QCOMPARE(summary(lint), expected);
    for (const engine::Warning &w : lint.warnings) {
        QVERIFY2(!w.text.empty(), w.code.c_str());
        QVERIFY(w.start >= 0 && w.start + w.length <= pattern.size());
    }
}

void tst_Lint::ordinaryPatternsGiveNone_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<bool>("multiline");
    static const char *const Plain[] = {
        // addresses and the web
        R"~(^[\w.+-]+@[\w-]+\.[\w.-]+$)~",
        R"~(^[a-zA-Z0-9._%+-]+@[a-zA-Z0-9.-]+\.[a-zA-Z]{2,}$)~",
        R"~(\b[A-Za-z0-9._%+-]+@[A-Za-z0-9.-]+\.[A-Za-z]{2,6}\b)~",
        R"~(^https?://[^\s/$.?#].[^\s]*$)~",
        R"~(https?://([\w-]+\.)+[\w-]+(/[\w- ./?%&=]*)?)~",
        R"~(^(\d{1,3})\.(\d{1,3})\.(\d{1,3})\.(\d{1,3})$)~",
        R"~(\b(?:\d{1,3}\.){3}\d{1,3}\b)~",
        R"~(^([0-9A-Fa-f]{2}[:-]){5}[0-9A-Fa-f]{2}$)~",
        R"~(^[a-z0-9-]+(\.[a-z0-9-]+)*\.[a-z]{2,}$)~",
        R"~(<a\s+href="([^"]*)")~",
        R"~(<(\w+)[^>]*>)~",
        R"~(</?[a-z][a-z0-9]*[^<>]*>)~",
        R"~(^www\.[a-z]+\.com$)~",
        R"~(^ftp://[^/]+/)~",
        R"~(\?([^=&]+)=([^&]*))~",
        R"~(#[0-9a-fA-F]{6}\b)~",
        R"~(^\+?\d{1,3}[- ]?\(?\d{3}\)?[- ]?\d{3}[- ]?\d{4}$)~",
        R"~(^\(\d{3}\) \d{3}-\d{4}$)~",
        R"~(^\d{5}(-\d{4})?$)~",
        R"~(^[A-Z]{1,2}\d[A-Z\d]? ?\d[A-Z]{2}$)~",
        // dates and times
        R"~(^\d{4}-\d{2}-\d{2}$)~",
        R"~(^(\d{4})-(0[1-9]|1[0-2])-(0[1-9]|[12]\d|3[01])$)~",
        R"~(\b(\d{1,2})/(\d{1,2})/(\d{4})\b)~",
        R"~(^(0?[1-9]|[12][0-9]|3[01])[./-](0?[1-9]|1[012])[./-](19|20)\d\d$)~",
        R"~(^([01]\d|2[0-3]):[0-5]\d$)~",
        R"~(^([01]?\d|2[0-3]):([0-5]\d):([0-5]\d)$)~",
        R"~(\d{2}:\d{2}:\d{2}\.\d{3})~",
        R"~(^\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}(\.\d+)?(Z|[+-]\d{2}:\d{2})?$)~",
        R"~((Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) \d{1,2}, \d{4})~",
        R"~(^(Mon|Tue|Wed|Thu|Fri|Sat|Sun)day$)~",
        R"~(\b\d{1,2}(st|nd|rd|th)\b)~",
        R"~(^[12]\d{3}$)~",
        R"~((\d+) days? ago)~",
        R"~(^(\d+)h(\d+)m$)~",
        R"~(\d{8})~",
        // numbers
        R"~(^\d+$)~",
        R"~(^-?\d+$)~",
        R"~(^[+-]?\d+(\.\d+)?$)~",
        R"~(^[+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?$)~",
        R"~(\d+\.\d+)~",
        R"~(^\d{1,3}(,\d{3})*(\.\d{2})?$)~",
        R"~(^\$\d+(\.\d{2})?$)~",
        R"~(^0x[0-9a-fA-F]+$)~",
        R"~(^[01]+$)~",
        R"~(^[0-7]+$)~",
        R"~(\b\d+%)~",
        R"~(^(100|[1-9]?\d)$)~",
        R"~(^\d*[13579]$)~",
        R"~(^-?\d*\.\d+$)~",
        R"~(\d+(?=px))~",
        R"~(\d+(?!\d|px))~",
        R"~(^[1-9]\d*$)~",
        R"~(^\d{4}\s?\d{4}\s?\d{4}\s?\d{4}$)~",
        R"~(^\d{3}-\d{2}-\d{4}$)~",
        R"~(^[A-Z]{2}\d{2}[A-Z0-9]{1,30}$)~",
        R"~(^(\d{1,2}\.){2}\d{1,4}$)~",
        R"~(\d+\s*[x*]\s*\d+)~",
        // identifiers and code
        R"~(^[A-Za-z_]\w*$)~",
        R"~(^[a-z][a-z0-9_]{2,15}$)~",
        R"~(\b[A-Z][a-z]+\b)~",
        R"~(\b[A-Z]{2,}\b)~",
        R"~(^[a-z]+(-[a-z]+)*$)~",
        R"~(^[a-z]+([A-Z][a-z]*)*$)~",
        R"~(\bfunction\s+(\w+)\s*\()~",
        R"~(\bDim\s+(\w+)\s+As\s+(\w+))~",
        R"~(^\s*'.*$)~",
        R"~(//.*$)~",
        R"~(/\*[\s\S]*?\*/)~",
        R"~("([^"\\]|\\.)*")~",
        R"~('[^']*')~",
        R"~(\$\{(\w+)\})~",
        R"~(%(\w+)%)~",
        R"~(\{(\d+)\})~",
        R"~(\b(if|then|else|end)\b)~",
        R"~(^#include\s+<([^>]+)>)~",
        R"~(^\s*(public|private)\s+(sub|function)\s+(\w+))~",
        R"~(^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$)~",
        R"~(^v?(\d+)\.(\d+)\.(\d+)(-[\w.]+)?$)~",
        R"~(^[A-Z][A-Z0-9]*_[A-Z0-9_]*$)~",
        R"~(\b[a-f0-9]{40}\b)~",
        R"~(^[\w-]+\.(jpg|png|gif)$)~",
        R"~(^(.+)\\([^\\]+)$)~",
        R"~(^[A-Za-z]:\\)~",
        R"~(\.([^.\\/]+)$)~",
        R"~(^(\.\./)+)~",
        R"~(\s+$)~",
        R"~(^\s+)~",
        R"~(\s{2,})~",
        R"~(\t)~",
        R"~(\r\n)~",
        R"~([\r\n]+)~",
        // CSV and records
        R"~(^[^,]*,)~",
        R"~(([^,]*),([^,]*),([^,]*))~",
        R"~(,(?=(?:[^"]*"[^"]*")*[^"]*$))~",
        R"~("[^"]*"|[^,]+)~",
        R"~(^([^;]*);)~",
        R"~([^\t]+)~",
        R"~(^(\w+)=(.*)$)~",
        R"~(^\[(\w+)\]$)~",
        R"~(^([^:]+):\s*(.*)$)~",
        R"~(^(\w+)\s*:\s*(\d+)$)~",
        R"~(\|)~",
        R"~(^"(.*)"$)~",
        R"~(^(?:[^,]*,){3}([^,]*))~",
        R"~(^\s*$)~",
        R"~(^(\S+)\s+(\S+)\s+(\S+)$)~",
        // log lines
        R"~(^(\d{4}-\d{2}-\d{2}) (\d{2}:\d{2}:\d{2}) (\w+) (.*)$)~",
        R"~(^\[(\w+)\] (.*)$)~",
        R"~(\b(ERROR|WARN|INFO|DEBUG)\b)~",
        R"~(^(\S+) \S+ \S+ \[([^\]]+)\] "(\w+) ([^ "]+) [^"]*" (\d{3}) (\d+|-))~",
        R"~(\bpid=(\d+)\b)~",
        R"~(took (\d+) ?ms)~",
        R"~(^(\w{3} \d{1,2} \d{2}:\d{2}:\d{2}) (\S+) (\w+)(\[\d+\])?: (.*)$)~",
        R"~(Exception: (.+)$)~",
        R"~(at line (\d+), column (\d+))~",
        R"~(^\s+at )~",
        R"~(user=(\w+) ip=([\d.]+))~",
        R"~(status (?:200|301|404|500))~",
        R"~(^-{3,}$)~",
        R"~(^={3,}\s*$)~",
        R"~(^(>+) )~",
        // words and text
        R"~(\bcolou?r\b)~",
        R"~(\b(\w+)\s+\1\b)~",
        R"~(^(\w+) (\w+)$)~",
        R"~(\bthe\b)~",
        R"~([aeiou])~",
        R"~([^aeiou\W])~",
        R"~(\b\w{5}\b)~",
        R"~(\w+ing\b)~",
        R"~(^[A-Z])~",
        R"~([.!?]\s+[A-Z])~",
        R"~(\b(Mr|Mrs|Ms|Dr)\.\s)~",
        R"~(^.{1,80}$)~",
        R"~(.{80,})~",
        R"~(^(.)(.).?\2\1$)~",
        R"~(([a-z])\1)~",
        R"~(\bre(?:do|make|write)\b)~",
        R"~(^(?:yes|no)$)~",
        R"~(gr[ae]y)~",
        R"~(\bcat(?!alog))~",
        R"~(^\W+|\W+$)~",
        R"~(a.c)~",
        R"~(a\.c)~",
        R"~(\(\d+\))~",
        R"~(\[[^\]]*\])~",
        R"~(x*|b)~",
        R"~(^$)~",
        R"~(\bsub\b.*?\bend sub\b)~",
        R"~(<!--[\s\S]*?-->)~",
        R"~(^\*\s+(.*)$)~",
        R"~(^(#{1,6})\s+(.+)$)~",
        R"~(\*\*([^*]+)\*\*)~",
        R"~(\[([^\]]+)\]\(([^)]+)\))~",
        R"~(^[A-Z][a-z]+, [A-Z][a-z]+$)~",
        R"~(\b[A-Z]\.)~",
        R"~(-?\b\d+\b)~",
        R"~(\x41\u0042\t)~",
        R"~(\cM\cJ)~",
        R"~(\/\-\.)~",
    };
    for (const char *p : Plain)
        QTest::newRow(p) << QString::fromUtf8(p) << false << false;
    QTest::newRow("name with Ignore case")
        << QStringLiteral(R"~(^[a-z]+ [a-z]+$)~") << true << false;
    QTest::newRow("lines with Multiline") << QStringLiteral(R"~(^\s*(\w+)\s*$)~") << false << true;
    QTest::newRow("keyword, both options")
        << QStringLiteral(R"~(^select\b.*\bfrom\b)~") << true << true;
    QTest::newRow("log line, Multiline") << QStringLiteral(R"~(^ERROR: (.*)$)~") << false << true;
    QTest::newRow("é with a class, Ignore case") << QStringLiteral("caf[e\u00E9]") << true << false;
}

void tst_Lint::ordinaryPatternsGiveNone()
{
    QFETCH(QString, pattern);
    QFETCH(bool, ignoreCase);
    QFETCH(bool, multiline);
    const engine::LintResult lint = engine::Lint(u16(pattern), {ignoreCase, multiline});
    QCOMPARE(lint.errorNumber, 0);
    QCOMPARE(summary(lint), QString());
}

// The replacement, put in place of the span, gives a pattern that matches what the user meant
// (checked by running it) and warns no more at that place.
void tst_Lint::replacementDoesWhatWasMeant_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("fixed");
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("matches");
    QTest::newRow("\\z becomes $")
        << QStringLiteral(R"~(abc\z)~") << QStringLiteral("abc$") << QStringLiteral("xabc") << true;
    QTest::newRow("\\A becomes ^")
        << QStringLiteral(R"~(\Aab)~") << QStringLiteral("^ab") << QStringLiteral("ab") << true;
    QTest::newRow("\\x{41} becomes \\u0041")
        << QStringLiteral(R"~(\x{41})~") << QStringLiteral(R"~(\u0041)~") << QStringLiteral("A")
        << true;
    QTest::newRow("named group becomes a group")
        << QStringLiteral(R"~((?<y>\d+)-)~") << QStringLiteral(R"~((\d+)-)~")
        << QStringLiteral("12-") << true;
    QTest::newRow("posix alpha becomes a range")
        << QStringLiteral("[[:alpha:]]+") << QStringLiteral("[A-Za-z]+") << QStringLiteral("Ab")
        << true;
    QTest::newRow("{,3} becomes {0,3}")
        << QStringLiteral("^a{,3}$") << QStringLiteral("^a{0,3}$") << QStringLiteral("aa") << true;
    QTest::newRow("A-z loses the six between")
        << QStringLiteral("^[A-z]$") << QStringLiteral("^[A-Za-z]$") << QStringLiteral("_")
        << false;
    QTest::newRow("possessive loses its +")
        << QStringLiteral("a++b") << QStringLiteral("a+b") << QStringLiteral("aab") << true;
    QTest::newRow("inline (?i) removed")
        << QStringLiteral("(?i)ab") << QStringLiteral("ab") << QStringLiteral("ab") << true;
    QTest::newRow("comment removed")
        << QStringLiteral("a(?#x)b") << QStringLiteral("ab") << QStringLiteral("ab") << true;
}

void tst_Lint::replacementDoesWhatWasMeant()
{
    QFETCH(QString, pattern);
    QFETCH(QString, fixed);
    QFETCH(QString, source);
    QFETCH(bool, matches);
    const engine::LintResult lint = engine::Lint(u16(pattern));
    QVERIFY(!lint.warnings.empty());
    const engine::Warning &w = lint.warnings.front();
    QVERIFY(w.replacement.has_value());
    QString applied = pattern;
    applied.replace(w.start, w.length, QString::fromStdU16String(*w.replacement));
    QCOMPARE(applied, fixed);
    engine::RegExp re;
    re.setPattern(u16(applied));
    QCOMPARE(re.Test(u16(source)), matches);
    for (const engine::Warning &after : engine::Lint(u16(applied)).warnings)
        QVERIFY(after.start != w.start || after.code != w.code);
}

void tst_Lint::backtrackingConfirmedBySteps_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("flagged");
    QTest::addColumn<bool>("exponential");
    QTest::newRow("(a+)+$") << QStringLiteral("(a+)+$") << true << true;
    QTest::newRow("(a|aa)+$") << QStringLiteral("(a|aa)+$") << true << true;
    QTest::newRow("(\\w+\\s?)*$") << QStringLiteral(R"~((\w+\s?)*$)~") << true << true;
    QTest::newRow("(x+x+)+y") << QStringLiteral("(x+x+)+y") << true << true;
    QTest::newRow("\\d+\\d+x") << QStringLiteral(R"~(\d+\d+x)~") << true << false;
    QTest::newRow("a+b+ not flagged") << QStringLiteral("a+b+") << false << false;
    QTest::newRow("(ab)+ not flagged") << QStringLiteral("(ab)+") << false << false;
    QTest::newRow("\\d+\\.\\d+ not flagged") << QStringLiteral(R"~(\d+\.\d+)~") << false << false;
    QTest::newRow("^[^,]*, not flagged") << QStringLiteral("^[^,]*,") << false << false;
    QTest::newRow("(a|b)+$ not flagged") << QStringLiteral("(a|b)+$") << false << false;
    QTest::newRow("(ab+)+ not flagged") << QStringLiteral("(ab+)+c") << false << false;
    QTest::newRow("suspect that matches is not flagged")
        << QStringLiteral("(a+)+") << false << false;
}

// Every flagged pattern's attack, run through the engine at growing lengths, takes steps that
// grow faster than the text; the figures in the warning are the engine's.
void tst_Lint::backtrackingConfirmedBySteps()
{
    QFETCH(QString, pattern);
    QFETCH(bool, flagged);
    QFETCH(bool, exponential);
    const engine::LintResult lint = engine::Lint(u16(pattern));
    const engine::Warning *found = nullptr;
    for (const engine::Warning &w : lint.warnings)
        if (w.code == "backtracking")
            found = &w;
    QCOMPARE(found != nullptr, flagged);
    if (!found)
        return;
    QVERIFY(found->attack.has_value());
    QCOMPARE(found->exponential, exponential);
    QCOMPARE(found->repeats.size(), std::size_t(3));
    const engine::Attack &attack = *found->attack;
    const int n = found->repeats[0];
    const std::uint64_t shorter = attemptSteps(pattern, attack, n);
    const std::uint64_t longer = attemptSteps(pattern, attack, 3 * n);
    QVERIFY(shorter > 0);
    // Three times the text, more than four and a half times the steps (0: over the limit).
    QVERIFY2(longer == 0 || longer * 2 > 9 * shorter,
             qPrintable(QStringLiteral("%1 then %2").arg(shorter).arg(longer)));
    // The warning's own figure, measured the same way (each to within an eighth).
    if (found->steps[0] != 0)
        QVERIFY(std::max(found->steps[0], shorter) - std::min(found->steps[0], shorter) <=
                shorter / 4);
}

void tst_Lint::invalidPatternKeepsTheRunsError()
{
    const engine::LintResult lint = engine::Lint(u"ab(?<=x)c");
    engine::RegExp re;
    re.setPattern(u"ab(?<=x)c");
    try {
        re.Test(u"abc");
        QFAIL("the pattern should be invalid");
    } catch (const engine::RegExpError &e) {
        QCOMPARE(lint.errorNumber, e.number());
        QCOMPARE(lint.errorPosition, e.position());
        QVERIFY(lint.errorDescription == e.description());
    }
    QCOMPARE(summary(lint), QStringLiteral("foreign-group@2+4"));
}

void tst_Lint::cancelledLintGivesNoBacktracking()
{
    engine::RunControl control;
    control.cancel();
    const engine::LintResult lint = engine::Lint(u"(a+)+$\\z", {}, &control);
    QCOMPARE(summary(lint), QStringLiteral("foreign-escape@6+2"));
}

QTEST_GUILESS_MAIN(tst_Lint)
#include "tst_lint.moc"
