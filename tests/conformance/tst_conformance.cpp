// Runs every shared conformance vector through the engine.

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

QString sharedDir()
{
    const QByteArray env = qgetenv("SIEVEWRIGHT_SHARED");
    return env.isEmpty() ? QStringLiteral(SIEVEWRIGHT_SOURCE_DIR "/../shared")
                         : QString::fromLocal8Bit(env);
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

// Compares one match with {"index": n, "captures": [...]}; returns a complaint or "".
QString compareMatch(const engine::Match &m, const JsonValue &expected)
{
    const JsonValue &index = expected.members.at("index");
    const std::vector<JsonValue> &captures = expected.members.at("captures").items;
    if (m.FirstIndex() != static_cast<int>(index.number))
        return QStringLiteral("index %1, expected %2").arg(m.FirstIndex()).arg(index.number);
    if (m.Value() != captures.at(0).text)
        return QStringLiteral("value %1, expected %2").arg(show(m.Value()), show(captures[0].text));
    const engine::SubMatches subs = m.SubMatches();
    if (subs.Count() != static_cast<int>(captures.size()) - 1)
        return QStringLiteral("%1 submatches, expected %2")
            .arg(subs.Count())
            .arg(captures.size() - 1);
    for (int i = 0; i < subs.Count(); ++i) {
        const JsonValue &c = captures[static_cast<std::size_t>(i) + 1];
        const bool unset = c.kind == JsonValue::Kind::Null;
        if (subs.Participated(i) == unset || subs.Item(i) != (unset ? std::u16string() : c.text))
            return QStringLiteral("submatch %1 is %2%3, expected %4")
                .arg(i + 1)
                .arg(show(subs.Item(i)),
                     subs.Participated(i) ? QString() : QStringLiteral(" (no part)"),
                     unset ? QStringLiteral("no part") : show(c.text));
    }
    return {};
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
            QFile f(sharedDir() + "/conformance/" + file);
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
            const std::u16string result = re.Replace(source, text(v, "replacement"));
            QVERIFY2(result == expected.text, qPrintable(pattern + ": " + show(result) +
                                                         ", expected " + show(expected.text)));
        } else if (flag(v, "global")) {
            const engine::MatchCollection matches = re.Execute(source);
            QCOMPARE(matches.Count(), static_cast<int>(expected.items.size()));
            for (int i = 0; i < matches.Count(); ++i) {
                const QString complaint =
                    compareMatch(matches.Item(i), expected.items[static_cast<std::size_t>(i)]);
                QVERIFY2(complaint.isEmpty(),
                         qPrintable(pattern + " match " + QString::number(i) + ": " + complaint));
            }
        } else {
            const engine::MatchCollection matches = re.Execute(source);
            if (expected.kind == JsonValue::Kind::Null) {
                if (matches.Count() != 0)
                    QFAIL(qPrintable(pattern + " matched " + show(matches.Item(0).Value())));
            } else {
                QVERIFY2(matches.Count() == 1, qPrintable(pattern + " did not match"));
                const QString complaint = compareMatch(matches.Item(0), expected);
                QVERIFY2(complaint.isEmpty(), qPrintable(pattern + ": " + complaint));
            }
        }
    } catch (const engine::RegExpError &e) {
        QFAIL(qPrintable(pattern + " failed: " + QString::number(e.number()) + " " +
                         QString::fromStdU16String(e.description())));
    }
}

QTEST_GUILESS_MAIN(tst_Conformance)
#include "tst_conformance.moc"
