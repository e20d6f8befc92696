#include "samples/samplesjson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QSet>

#include <cmath>
#include <limits>

namespace {

constexpr int FileVersion = 1;

const QString KeyText = QStringLiteral("text");
const QString KeyExpect = QStringLiteral("expect");
const QString KeyMatch = QStringLiteral("match");
const QString KeyGroup = QStringLiteral("group");
const QString KeyValue = QStringLiteral("value");
const QString KeyNote = QStringLiteral("note");

// A refusal of the document, with its reason.
struct Refusal
{
    QString reason;
};

bool needsTextValue(Expectation expect)
{
    return expect == Expectation::MatchText || expect == Expectation::Group ||
           expect == Expectation::Replace;
}

QString jsonString(QStringView text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                          QChar::isLowSurrogate(text[i + 1].unicode());
        if (pair) {
            out += text[i];
            out += text[++i];
        } else if (c == u'"' || c == u'\\') {
            out += u'\\';
            out += QChar(c);
        } else if (c == u'\n') {
            out += u"\\n";
        } else if (c == u'\r') {
            out += u"\\r";
        } else if (c == u'\t') {
            out += u"\\t";
        } else if (c < 0x20 || QChar::isSurrogate(c) || c == 0x2028 || c == 0x2029) {
            // Control characters, lone surrogates and the two separators that end a line in
            // some readers go as escapes, so UTF-8 can carry every code unit.
            out += QStringLiteral("\\u%1").arg(int(c), 4, 16, QLatin1Char('0'));
        } else {
            out += QChar(c);
        }
    }
    out += u'"';
    return out;
}

QString sampleLine(const Sample &sample)
{
    QString line = u"{\"text\": " + jsonString(sample.text) + u", \"expect\": " +
                   jsonString(expectationName(sample.expect));
    if (sample.expect == Expectation::MatchText || sample.expect == Expectation::Group)
        line += u", \"match\": " + QString::number(sample.match);
    if (sample.expect == Expectation::Group)
        line += u", \"group\": " + QString::number(sample.group);
    if (sample.expect == Expectation::Count)
        line += u", \"value\": " + QString::number(sample.count);
    if (needsTextValue(sample.expect))
        line += u", \"value\": " + jsonString(sample.value);
    if (!sample.note.isEmpty())
        line += u", \"note\": " + jsonString(sample.note);
    return line + u'}';
}

// Line and column (from 1) of a byte offset, counting characters, for a parse error.
QString placeOf(const QByteArray &json, qsizetype offset)
{
    const QByteArray before = json.left(offset);
    const qsizetype lineStart = before.lastIndexOf('\n') + 1;
    const qsizetype line = before.count('\n') + 1;
    const qsizetype column = QString::fromUtf8(before.mid(lineStart)).size() + 1;
    return u"line " + QString::number(line) + u", column " + QString::number(column);
}

// A whole number of at least least, or a refusal naming what.
int wholeNumber(const QJsonValue &value, int least, const QString &what)
{
    const double number = value.toDouble(std::nan(""));
    if (!value.isDouble() || std::floor(number) != number || number < least ||
        number > std::numeric_limits<int>::max())
        throw Refusal{u"\"" + what + u"\" must be a whole number of at least " +
                      QString::number(least) + u'.'};
    return int(number);
}

QString text(const QJsonValue &value, const QString &what)
{
    if (!value.isString())
        throw Refusal{u"\"" + what + u"\" must be a text in double quotes."};
    return value.toString();
}

Sample readSample(const QJsonValue &entry)
{
    if (!entry.isObject())
        throw Refusal{QStringLiteral("a sample must be an object in braces.")};
    const QJsonObject object = entry.toObject();
    static const QSet<QString> known{KeyText, KeyExpect, KeyMatch, KeyGroup, KeyValue, KeyNote};
    for (const QString &key : object.keys())
        if (!known.contains(key))
            throw Refusal{u"unknown key \"" + key + u"\"."};
    for (const QString &key : {KeyText, KeyExpect})
        if (!object.contains(key))
            throw Refusal{u"\"" + key + u"\" is missing."};

    Sample sample;
    sample.text = text(object.value(KeyText), KeyText);
    const QString name = text(object.value(KeyExpect), KeyExpect);
    const std::optional<Expectation> expect = expectationFromName(name);
    if (!expect)
        throw Refusal{u"unknown \"expect\" \"" + name + u"\"."};
    sample.expect = *expect;

    const bool needsValue = needsTextValue(sample.expect) || sample.expect == Expectation::Count;
    if (needsValue && !object.contains(KeyValue))
        throw Refusal{u"\"value\" is missing for \"" + name + u"\"."};
    if (sample.expect == Expectation::Group && !object.contains(KeyGroup))
        throw Refusal{QStringLiteral("\"group\" is missing for \"group\".")};
    if (sample.expect == Expectation::Count)
        sample.count = wholeNumber(object.value(KeyValue), 0, KeyValue);
    if (needsTextValue(sample.expect))
        sample.value = text(object.value(KeyValue), KeyValue);
    if (object.contains(KeyMatch))
        sample.match = wholeNumber(object.value(KeyMatch), 1, KeyMatch);
    if (object.contains(KeyGroup))
        sample.group = wholeNumber(object.value(KeyGroup), 1, KeyGroup);
    if (object.contains(KeyNote))
        sample.note = text(object.value(KeyNote), KeyNote);
    return sample;
}

QList<Sample> readDocument(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw Refusal{placeOf(json, error.offset) + u": " + error.errorString() + u'.'};
    if (!document.isObject())
        throw Refusal{QStringLiteral("the document must be an object in braces.")};
    const QJsonObject top = document.object();
    if (!top.contains(u"version"))
        throw Refusal{QStringLiteral("\"version\" is missing.")};
    if (top.value(u"version").toDouble() != FileVersion)
        throw Refusal{u"version " + top.value(u"version").toVariant().toString() +
                      u" is not one this program reads (it reads version 1)."};
    if (!top.value(u"samples").isArray())
        throw Refusal{QStringLiteral("\"samples\" must be a list in brackets.")};

    const QJsonArray entries = top.value(u"samples").toArray();
    QList<Sample> samples;
    samples.reserve(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        try {
            samples.append(readSample(entries.at(i)));
        } catch (const Refusal &refusal) {
            throw Refusal{u"sample " + QString::number(i + 1) + u": " + refusal.reason};
        }
    }
    return samples;
}

} // namespace

QString samplesFileName(const QString &patternFileName)
{
    return patternFileName + u".samples";
}

SamplesParse parseSamples(const QByteArray &json)
{
    // A byte-order mark, which some editors put before UTF-8, is not an error.
    const QByteArray body = json.startsWith("\xEF\xBB\xBF") ? json.mid(3) : json;
    try {
        return {readDocument(body), {}};
    } catch (const Refusal &refusal) {
        return {{}, refusal.reason};
    }
}

QByteArray writeSamples(const QList<Sample> &samples)
{
    QString document = QStringLiteral("{\"version\": 1, \"samples\": [");
    for (qsizetype i = 0; i < samples.size(); ++i)
        document += (i == 0 ? u"\n  " : u",\n  ") + sampleLine(samples.at(i));
    document += u"]}\n";
    return document.toUtf8();
}
