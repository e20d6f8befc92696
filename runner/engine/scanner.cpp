// The pattern's spans as the parser recognises them, paired brackets and the first error.

#include "runner/engine/scanner.h"

#include "runner/engine/regexp.h"
#include "runner/engine/syntaxtree.h"

namespace engine {
namespace {

class TokenList : public detail::ParseSink
{
public:
    explicit TokenList(std::u16string_view pattern)
        : m_p(pattern)
    {}

    void span(std::size_t start, std::size_t length, TokenKind kind, int group) override
    {
        const int at = static_cast<int>(start);
        if (kind == TokenKind::Literal && !tokens.empty()) {
            Token &last = tokens.back();
            if (last.kind == TokenKind::Literal && last.start + last.length == at) {
                last.length += static_cast<int>(length);
                return;
            }
        }
        Token token{at, static_cast<int>(length), kind, -1, group};
        if (isBracket(token)) {
            const char16_t c = m_p[start];
            if (c == u'(' || c == u'[') {
                m_open.push_back(tokens.size());
            } else if (!m_open.empty()) {
                Token &open = tokens[m_open.back()];
                m_open.pop_back();
                open.partner = at;
                token.partner = open.start;
            }
        }
        tokens.push_back(token);
    }

    // The innermost bracket still open.
    int unclosed() const { return m_open.empty() ? -1 : tokens[m_open.back()].start; }

    std::vector<Token> tokens;

private:
    bool isBracket(const Token &token) const
    {
        if (token.kind != TokenKind::Group && token.kind != TokenKind::CharClass)
            return false;
        const char16_t c = m_p[static_cast<std::size_t>(token.start)];
        return c == u'(' || c == u')' || c == u'[' || c == u']';
    }

    std::u16string_view m_p;
    std::vector<std::size_t> m_open; // indexes of the opening brackets not yet closed
};

} // namespace

ScanResult Scan(std::u16string_view pattern)
{
    TokenList list(pattern);
    ScanResult result;
    try {
        detail::parsePattern(pattern, &list);
    } catch (const RegExpError &error) {
        result.errorNumber = error.number();
        result.errorDescription = error.description();
        result.errorPosition = error.position();
        if (error.number() == errors::ExpectedBracket || error.number() == errors::ExpectedParen)
            result.unclosedBracket = list.unclosed();
    }
    result.tokens = std::move(list.tokens);
    return result;
}

} // namespace engine
