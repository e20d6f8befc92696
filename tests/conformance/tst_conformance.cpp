// Runs every conformance vector kept in tests/conformance/data through the engine.

#include "runner/engine/regexp.h"
#include "tools/regexp-run/jsonline.h"

#include <QFile>
#include <QTest>

#include <memory>
#include <vector>

namespace {

// Vectors whose expectation assumes a rule this dialect does not have.
struct Skip
{
    const char *id;
    const char *reason;
};
constexpr Skip Skipped[] = {
    {"S15.10.2.11_A1_T5#1", "\\1 before any group is an octal escape here, not a back-reference"},
    {"S15.10.2.11_A1_T7#1", "\\1 before any group is an octal escape here, not a back-reference"},
};

std::vector<JsonObject> &vectors()
{
    static std::vector<JsonObject> all;
    return all;
}

// The vectors kept with the tests, so that a fresh clone runs them on its own.
QString dataDir()
{
    return QStringLiteral(SIEVEWRIGHT_SOURCE_DIR "/tests/conformance/data");
}

std::u16string text(const JsonObject &o, const char *name)
{
    auto it = o.find(name);
    return it == o.end() ? std::u16string() : it->second.text;
}

bool flag(const JsonObject &o, const char *name)
{
    auto it = o.find(name);
    return it != o.end() && it->second.flag;
}

QString show(std::u16string_view s)
{
    std::string out;
    appendJsonString(out, s);
    return QString::fromLatin1(out.c_str());
}

// A match as index:"value"(captures), a capture that took no part as -.
QString rendered(int index, std::u16string_view value, const QStringList &captures)
{
    return QStringLiteral("%1:%2(%3)").arg(index).arg(show(value), captures.join(u','));
}

QString rendered(const engine::Match &m)
{
    QStringList captures;
    const engine::SubMatches subs = m.SubMatches();
    for (int i = 0; i < subs.Count(); ++i)
        captures << (subs.Participated(i) ? show(subs.Item(i)) : QStringLiteral("-"));
    return rendered(m.FirstIndex(), m.Value(), captures);
}

// {"index": n, "captures": [value, group, ...]}, or null for no match.
QString rendered(const JsonValue &expected)
{
    if (expected.kind == JsonValue::Kind::Null)
        return QStringLiteral("none");
    const std::vector<JsonValue> &values = expected.members.at("captures").items;
    QStringList captures;
    for (std::size_t i = 1; i < values.size(); ++i)
        captures << (values[i].kind == JsonValue::Kind::Null ? QStringLiteral("-")
                                                             : show(values[i].text));
    return rendered(int(expected.members.at("index").number), values.at(0).text, captures);
}

} // namespace

class tst_Conformance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void vector_data();
    void vector();
};

void tst_Conformance::vector_data()
{
    QTest::addColumn<int>("record");
    if (vectors().empty()) {
        for (const char *file : {"es3-vectors.jsonl", "es3-more-vectors.jsonl"}) {
            QFile f(dataDir() + "/" + file);
            if (!f.open(QIODevice::ReadOnly))
                QFAIL(qPrintable("cannot read " + f.fileName()));
            while (!f.atEnd()) {
                const QByteArray line = f.readLine().trimmed();
                if (line.isEmpty())
                    continue;
                JsonObject o;
                std::string error;
                if (!parseJsonObject(std::string_view(line.constData(), line.size()), o, error))
                    QFAIL(qPrintable(QString::fromStdString(error) + " in " + f.fileName()));
                vectors().push_back(std::move(o));
            }
        }
    }
    QCOMPARE(vectors().size(), std::size_t(682 + 1329));
    for (std::size_t i = 0; i < vectors().size(); ++i) {
        const std::u16string id = text(vectors()[i], "id");
        QTest::newRow(QString::fromStdU16String(id).toUtf8().constData()) << static_cast<int>(i);
    }
}

void tst_Conformance::vector()
{
    QFETCH(int, record);
    const JsonObject &v = vectors()[static_cast<std::size_t>(record)];
    const QString id = QString::fromStdU16String(text(v, "id"));
    for (const Skip &s : Skipped)
        if (id == QLatin1String(s.id))
            QSKIP(s.reason);

    const std::u16string op = text(v, "op");
    const JsonValue &expected =
        v.count("vbscript_simulated") ? v.at("vbscript_simulated") : v.at("expected");
    engine::RegExp re;
    re.setPattern(text(v, "pattern"));
    re.setGlobal(flag(v, "global"));
    re.setIgnoreCase(flag(v, "ignoreCase"));
    re.setMultiline(flag(v, "multiline"));
    const std::u16string source = text(v, "source");
    const QString pattern = show(re.Pattern());

    if (op == u"error") {
        try {
            re.Test(source);
        } catch (const engine::RegExpError &e) {
            QVERIFY2(e.number() >= engine::errors::SyntaxError &&
                         e.number() <= engine::errors::InvalidRange,
                     qPrintable(pattern + " raised " + QString::number(e.number())));
            return;
        }
        QFAIL(qPrintable(pattern + " was accepted"));
    }

    try {
        if (op == u"test") {
            QCOMPARE(re.Test(source), expected.flag);
        } else if (op == u"replace") {
            QCOMPARE(show(re.Replace(source, text(v, "replacement"))), show(expected.text));
        } else {
            // Global runs expect every match; others the first, or null.
            QStringList matches, wanted;
            for (const engine::Match &m : re.Execute(source))
                matches << rendered(m);
            if (flag(v, "global")) {
                for (const JsonValue &item : expected.items)
                    wanted << rendered(item);
            } else {
                wanted << rendered(expected);
                if (matches.isEmpty())
                    matches << QStringLiteral("none");
            }
            QCOMPARE(matches.join(u' '), wanted.join(u' '));
        }
    } catch (const engine::RegExpError &e) {
        QFAIL(qPrintable(pattern + " failed: " + QString::number(e.number()) + " " +
                         QString::fromStdU16String(e.description())));
    }
}

QTEST_GUILESS_MAIN(tst_Conformance)
#include "tst_conformance.moc"
