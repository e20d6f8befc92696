#include "support/commandlineargs.h"

void CommandLineArgs::Parse(const QString &text, bool)
{
    m_items.clear();
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && (text[i] == u' ' || text[i] == u'\t'))
            ++i;
        if (i >= n)
            break;
        QString arg;
        bool quoted = false;
        while (i < n && (quoted || (text[i] != u' ' && text[i] != u'\t'))) {
            qsizetype slashes = 0;
            while (i < n && text[i] == u'\\') {
                ++slashes;
                ++i;
            }
            if (i < n && text[i] == u'"') {
                arg += QString(slashes / 2, u'\\');
                if (slashes % 2 == 1) {
                    arg += u'"';
                } else if (quoted && i + 1 < n && text[i + 1] == u'"') {
                    arg += u'"'; // "" inside quotes is a literal quote
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                arg += QString(slashes, u'\\');
                if (i < n && (quoted || (text[i] != u' ' && text[i] != u'\t')))
                    arg += text[i++];
            }
        }
        m_items.append(arg);
    }
}
