#include "tests/support/vbliteral.h"

namespace {

class Reader
{
public:
    explicit Reader(const QString &text)
        : m_text(text)
    {}

    std::optional<QString> expression()
    {
        QString value;
        skipSpace();
        if (!operand(value))
            return std::nullopt;
        for (;;) {
            skipSpace();
            if (atEnd())
                return value;
            if (m_text.at(m_pos) != u'&') {
                fail(QStringLiteral("expected & or the end"));
                return std::nullopt;
            }
            ++m_pos;
            if (!requireBlankBefore(m_pos - 1))
                return std::nullopt;
            skipSpace();
            if (!operand(value))
                return std::nullopt;
        }
    }

    QString error;

private:
    bool atEnd() const { return m_pos >= m_text.size(); }

    bool fail(const QString &why)
    {
        if (error.isEmpty())
            error = why + u" at " + QString::number(m_pos);
        return false;
    }

    // Visual Basic reads "a&b" as a type suffix; the generator must put blanks around &.
    bool requireBlankBefore(qsizetype ampersand)
    {
        if (ampersand == 0 || m_text.at(ampersand - 1) != u' ')
            return fail(QStringLiteral("& without a blank before it"));
        return true;
    }

    // Blanks, tabs and line continuations: " _" then CR LF; the underscore must follow a blank.
    void skipSpace()
    {
        for (;;) {
            while (!atEnd() && (m_text.at(m_pos) == u' ' || m_text.at(m_pos) == u'\t'))
                ++m_pos;
            if (!atEnd() && m_text.at(m_pos) == u'_' && m_pos > 0 && m_text.at(m_pos - 1) == u' ' &&
                m_text.mid(m_pos + 1, 2) == u"\r\n") {
                m_pos += 3;
                continue;
            }
            return;
        }
    }

    bool operand(QString &value)
    {
        if (atEnd())
            return fail(QStringLiteral("expected an operand"));
        if (m_text.at(m_pos) == u'"')
            return quoted(value);
        qsizetype end = m_pos;
        while (end < m_text.size() && m_text.at(end).isLetterOrNumber())
            ++end;
        const QString word = m_text.mid(m_pos, end - m_pos);
        if (word == u"vbTab")
            value += u'\t';
        else if (word == u"vbCrLf")
            value += u"\r\n";
        else if (word == u"vbCr")
            value += u'\r';
        else if (word == u"vbLf")
            value += u'\n';
        else
            return fail(u"unknown operand \"" + word + u'"');
        m_pos = end;
        return true;
    }

    // A quoted piece may hold any character but a single double quote; "" stands for one.
    bool quoted(QString &value)
    {
        ++m_pos;
        for (;;) {
            if (atEnd())
                return fail(QStringLiteral("unterminated string"));
            const QChar ch = m_text.at(m_pos++);
            if (ch != u'"') {
                value += ch;
                continue;
            }
            if (!atEnd() && m_text.at(m_pos) == u'"') {
                value += u'"';
                ++m_pos;
                continue;
            }
            return true;
        }
    }

    const QString &m_text;
    qsizetype m_pos = 0;
};

} // namespace

std::optional<QString> evaluateVbStringExpression(const QString &expression, QString *error)
{
    Reader reader(expression);
    std::optional<QString> value = reader.expression();
    if (error)
        *error = reader.error;
    return value;
}
