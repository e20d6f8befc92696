#include "tools/regexp-run/jsonline.h"

#include <cstdlib>

namespace {

class Reader
{
public:
    explicit Reader(std::string_view s)
        : m_s(s)
    {}

    bool object(JsonObject &out, std::string &error)
    {
        skip();
        if (m_i >= m_s.size() || m_s[m_i] != '{')
            return fail(error, "expected '{'");
        if (!members(out, 0))
            return fail(error, "malformed object");
        return end(error);
    }

private:
    static constexpr int MaxDepth = 64;

    bool members(JsonObject &out, int depth)
    {
        if (depth > MaxDepth || !take('{'))
            return false;
        skip();
        if (take('}'))
            return true;
        while (true) {
            skip();
            std::u16string key;
            if (!string(key))
                return false;
            skip();
            if (!take(':'))
                return false;
            skip();
            JsonValue v;
            if (!value(v, depth + 1))
                return false;
            std::string name;
            for (char16_t c : key)
                name += static_cast<char>(c < 0x80 ? c : '?');
            out[name] = std::move(v);
            skip();
            if (take(','))
                continue;
            return take('}');
        }
    }

    bool array(std::vector<JsonValue> &out, int depth)
    {
        if (depth > MaxDepth || !take('['))
            return false;
        skip();
        if (take(']'))
            return true;
        while (true) {
            skip();
            JsonValue v;
            if (!value(v, depth + 1))
                return false;
            out.push_back(std::move(v));
            skip();
            if (take(','))
                continue;
            return take(']');
        }
    }

    bool end(std::string &error)
    {
        skip();
        return m_i == m_s.size() || fail(error, "text after the object");
    }
    bool fail(std::string &error, const char *what)
    {
        error = std::string(what) + " at byte " + std::to_string(m_i + 1);
        return false;
    }
    void skip()
    {
        while (m_i < m_s.size() &&
               (m_s[m_i] == ' ' || m_s[m_i] == '\t' || m_s[m_i] == '\r' || m_s[m_i] == '\n'))
            ++m_i;
    }
    bool take(char c)
    {
        if (m_i < m_s.size() && m_s[m_i] == c) {
            ++m_i;
            return true;
        }
        return false;
    }
    bool literal(std::string_view word)
    {
        if (m_s.substr(m_i, word.size()) != word)
            return false;
        m_i += word.size();
        return true;
    }
    bool value(JsonValue &v, int depth)
    {
        if (m_i >= m_s.size())
            return false;
        const char c = m_s[m_i];
        if (c == '{') {
            v.kind = JsonValue::Kind::Object;
            return members(v.members, depth);
        }
        if (c == '[') {
            v.kind = JsonValue::Kind::Array;
            return array(v.items, depth);
        }
        if (c == '"') {
            v.kind = JsonValue::Kind::String;
            return string(v.text);
        }
        if (literal("true")) {
            v.kind = JsonValue::Kind::Bool;
            v.flag = true;
            return true;
        }
        if (literal("false")) {
            v.kind = JsonValue::Kind::Bool;
            return true;
        }
        if (literal("null"))
            return true;
        if (c == '-' || (c >= '0' && c <= '9')) {
            std::string digits;
            while (m_i < m_s.size() &&
                   std::string_view("+-.eE0123456789").find(m_s[m_i]) != std::string_view::npos)
                digits += m_s[m_i++];
            char *endp = nullptr;
            v.kind = JsonValue::Kind::Number;
            v.number = std::strtod(digits.c_str(), &endp);
            return endp && *endp == 0;
        }
        return false;
    }
    static int hex(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }
    // A string; \uXXXX goes straight to one code unit, other bytes are read as UTF-8.
    bool string(std::u16string &out)
    {
        if (!take('"'))
            return false;
        while (m_i < m_s.size()) {
            const auto c = static_cast<unsigned char>(m_s[m_i++]);
            if (c == '"')
                return true;
            if (c == '\\') {
                if (m_i >= m_s.size())
                    return false;
                const char e = m_s[m_i++];
                switch (e) {
                case '"':
                case '\\':
                case '/':
                    out += static_cast<char16_t>(e);
                    break;
                case 'b':
                    out += u'\b';
                    break;
                case 'f':
                    out += u'\f';
                    break;
                case 'n':
                    out += u'\n';
                    break;
                case 'r':
                    out += u'\r';
                    break;
                case 't':
                    out += u'\t';
                    break;
                case 'u': {
                    if (m_i + 4 > m_s.size())
                        return false;
                    int v = 0;
                    for (int k = 0; k < 4; ++k) {
                        const int h = hex(m_s[m_i++]);
                        if (h < 0)
                            return false;
                        v = v * 16 + h;
                    }
                    out += static_cast<char16_t>(v);
                    break;
                }
                default:
                    return false;
                }
                continue;
            }
            if (c < 0x20)
                return false;
            if (c < 0x80) {
                out += static_cast<char16_t>(c);
                continue;
            }
            // UTF-8 sequence
            int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
            if (extra < 0 || m_i + static_cast<std::size_t>(extra) > m_s.size())
                return false;
            char32_t cp = c & (0x3F >> extra);
            for (int k = 0; k < extra; ++k) {
                const auto b = static_cast<unsigned char>(m_s[m_i++]);
                if ((b & 0xC0) != 0x80)
                    return false;
                cp = (cp << 6) | (b & 0x3F);
            }
            if (cp >= 0x10000) {
                cp -= 0x10000;
                out += static_cast<char16_t>(0xD800 + (cp >> 10));
                out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
            } else {
                out += static_cast<char16_t>(cp);
            }
        }
        return false;
    }

    std::string_view m_s;
    std::size_t m_i = 0;
};

} // namespace

bool parseJsonObject(std::string_view line, JsonObject &object, std::string &error)
{
    return Reader(line).object(object, error);
}

void appendJsonString(std::string &out, std::u16string_view s)
{
    static constexpr char digits[] = "0123456789abcdef";
    out += '"';
    for (char16_t c : s) {
        if (c == u'"' || c == u'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c <= 0x7E) {
            out += static_cast<char>(c);
        } else {
            out += "\\u";
            out += digits[(c >> 12) & 0xF];
            out += digits[(c >> 8) & 0xF];
            out += digits[(c >> 4) & 0xF];
            out += digits[c & 0xF];
        }
    }
    out += '"';
}
