// Lint's checks of the spans as the parser read them.

#include "runner/engine/asciiclass.h"
#include "runner/engine/foreignsyntax.h"
#include "runner/engine/lintchecks.h"
#include "runner/engine/regexp.h"

#include <array>

namespace engine::detail {
namespace {

struct PosixClass
{
    const char16_t *name;
    const char16_t *members;
};

constexpr std::array<PosixClass, 13> PosixClasses{{
    {u"alpha", u"A-Za-z"},
    {u"digit", u"0-9"},
    {u"alnum", u"A-Za-z0-9"},
    {u"upper", u"A-Z"},
    {u"lower", u"a-z"},
    {u"space", u"\\s"},
    {u"blank", u" \\t"},
    {u"xdigit", u"0-9A-Fa-f"},
    {u"word", u"\\w"},
    {u"punct", u"!-/:-@[-`{-~"},
    {u"cntrl", u"\\x00-\\x1F\\x7F"},
    {u"print", u"\\x20-\\x7E"},
    {u"graph", u"\\x21-\\x7E"},
}};

class SpanChecks
{
public:
    explicit SpanChecks(LintContext &context)
        : c(context)
    {}

    void run()
    {
        bool inClass = false;
        for (const Token &t : c.map.tokens) {
            const TextSpan span{t.start, t.length};
            const std::u16string_view s = c.text(span);
            switch (t.kind) {
            case TokenKind::CharClass:
                if (s[0] == u'[') {
                    inClass = true;
                    posixClass(span);
                } else if (s == u"]") {
                    inClass = false;
                }
                break;
            case TokenKind::IdentityEscape:
                identityEscape(span, inClass);
                break;
            case TokenKind::Escape:
                octalEscape(span, inClass);
                break;
            case TokenKind::BackReference:
                backReferenceThenDigit(span);
                break;
            case TokenKind::Literal:
                if (!inClass && s == u"{")
                    braceWithoutMinimum(t.start);
                break;
            default:
                break;
            }
        }
        if (!c.map.valid())
            atError();
    }

private:
    void identityEscape(const TextSpan &span, bool inClass)
    {
        const char16_t ch = c.pattern[static_cast<std::size_t>(span.start) + 1];
        if (auto f = foreignEscape(c.pattern, span.start, c.options)) {
            Warning &w = c.warn("foreign-escape", f->span,
                                std::u16string(c.text(f->span)) + u" is " + f->here +
                                    u" here, not " + f->elsewhere + u": " + f->advice);
            if (!inClass)
                w.replacement = f->replacement;
            return;
        }
        if (ch == u'8' || ch == u'9') {
            c.warn("digit-escape", span,
                   u"\\" + std::u16string(1, ch) + u" is the digit " + ch + u" here: fewer than " +
                       ch + u" groups open to its left");
            return;
        }
        if (isLetter(ch)) {
            Warning &w = c.warn("useless-escape", span,
                                u"\\" + std::u16string(1, ch) + u" is just the letter " + ch +
                                    u" here: the backslash changes nothing");
            w.replacement = std::u16string(1, ch);
        }
    }

    void octalEscape(const TextSpan &span, bool inClass)
    {
        const std::u16string_view s = c.text(span);
        if (s.size() < 2 || s[1] < u'1' || s[1] > u'7')
            return;
        const char16_t code = c.pattern[static_cast<std::size_t>(span.start) + 1];
        std::u16string value;
        int v = 0;
        for (std::size_t i = 1; i < s.size(); ++i)
            v = v * 8 + (s[i] - u'0');
        value = codeName(static_cast<char16_t>(v));
        if (inClass) {
            c.warn("octal-in-class", span,
                   std::u16string(s) + u" in a class is the octal code " + value +
                       u" here, never a back-reference");
            return;
        }
        c.warn("digit-escape", span,
               std::u16string(s) + u" is the octal code " + value +
                   u" here, not a back-reference: no group " + std::u16string(1, code) +
                   u" opens to its left");
    }

    void backReferenceThenDigit(const TextSpan &span)
    {
        const auto end = static_cast<std::size_t>(span.end());
        if (span.length != 2 || end >= c.pattern.size() || !isDigit(c.pattern[end]))
            return;
        const std::u16string_view s = c.pattern.substr(static_cast<std::size_t>(span.start), 3);
        c.warn("digit-escape", TextSpan{span.start, 3},
               std::u16string(s) + u" is a back-reference to group " + s[1] +
                   u" and then the digit " + s[2] + u" here: fewer than " +
                   std::u16string(s.substr(1)) + u" groups open to its left");
    }

    // "{,n}" is literal text here.
    void braceWithoutMinimum(int at)
    {
        const auto i = static_cast<std::size_t>(at);
        std::size_t k = i + 1;
        if (k >= c.pattern.size() || c.pattern[k] != u',')
            return;
        ++k;
        const std::size_t digits = k;
        while (k < c.pattern.size() && isDigit(c.pattern[k]))
            ++k;
        if (k == digits || k >= c.pattern.size() || c.pattern[k] != u'}')
            return;
        const std::u16string max(c.pattern.substr(digits, k - digits));
        Warning &w = c.warn("brace-literal", TextSpan{at, static_cast<int>(k + 1 - i)},
                            u"{," + max + u"} is literal text here: write {0," + max + u"}");
        w.replacement = u"{0," + max + u"}";
    }

    // "[[:alpha:]]" is a class of "[:alph" and then "]" here.
    void posixClass(const TextSpan &open)
    {
        const std::u16string_view p = c.pattern;
        std::size_t i = static_cast<std::size_t>(open.end());
        if (p.substr(i, 2) != u"[:")
            return;
        const std::size_t name = i + 2;
        std::size_t k = name;
        while (k < p.size() && p[k] >= u'a' && p[k] <= u'z')
            ++k;
        if (p.substr(k, 3) != u":]]")
            return;
        const std::u16string_view word = p.substr(name, k - name);
        const bool negate = open.length == 2;
        const TextSpan span{open.start, static_cast<int>(k + 3) - open.start};
        for (const PosixClass &pc : PosixClasses) {
            if (word != pc.name)
                continue;
            const std::u16string replacement =
                u"[" + std::u16string(negate ? u"^" : u"") + pc.members + u"]";
            Warning &w = c.warn("posix-class", span,
                                std::u16string(c.text(span)) +
                                    u" is a class of its letters and then \"]\" here; this "
                                    u"dialect has no POSIX classes: write " +
                                    replacement);
            w.replacement = replacement;
            return;
        }
    }

    void atError()
    {
        const int at = c.map.errorPosition;
        const auto i = static_cast<std::size_t>(at);
        if (at < 0 || i >= c.pattern.size())
            return;
        if (c.map.errorNumber == errors::SyntaxError) {
            if (auto f = foreignGroup(c.pattern, at)) {
                Warning &w = c.warn("foreign-group", f->span,
                                    std::u16string(c.text(f->span)) + u" is " + f->here +
                                        u" here (elsewhere " + f->elsewhere + u"): " + f->advice);
                w.replacement = f->replacement;
            }
            return;
        }
        const char16_t q = c.pattern[i];
        if (c.map.errorNumber == errors::UnexpectedQuantifier && q == u'+' &&
            !c.map.tokens.empty() && c.map.tokens.back().kind == TokenKind::Quantifier &&
            c.map.tokens.back().start + c.map.tokens.back().length == at) {
            Warning &w = c.warn("possessive", TextSpan{at, 1},
                                u"a possessive quantifier is an error here: without the last + it "
                                u"backtracks");
            w.replacement = u"";
        }
    }

    LintContext &c;
};

} // namespace

void checkSpans(LintContext &context)
{
    SpanChecks(context).run();
}

} // namespace engine::detail
