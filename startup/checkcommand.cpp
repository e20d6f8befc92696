#include "startup/checkcommand.h"

#include "document/patternfile.h"
#include "runner/engine/regexp.h"
#include "runner/samplecheck.h"
#include "samples/samplesjson.h"
#include "support/apperror.h"
#include "support/filestore.h"

#include <QTextStream>

namespace {

constexpr int AllPassed = 0;
constexpr int SomeFailed = 1;
constexpr int Unreadable = 2;

// A file that cannot be checked, and why.
struct Unchecked
{
    QString reason;
};

// The pattern, replacement and options of a pattern file.
SampleRunInputs readPatternFile(FileStore &store, const QString &file)
{
    patternfile::Parsed parsed;
    try {
        parsed = patternfile::parse(store.ReadText(file));
    } catch (const AppError &error) {
        throw Unchecked{error.description()};
    }
    if (!parsed.fields)
        throw Unchecked{u"File doesn't contain valid data. " + parsed.refusal};
    const patternfile::Fields &fields = *parsed.fields;
    return {fields.pattern,
            fields.replacement,
            {fields.global, fields.ignoreCase, fields.multiline, fields.ignoreLineBreaks}};
}

// The samples beside file; none when there is no samples file.
QList<Sample> readSamples(FileStore &store, const QString &file)
{
    const QString name = samplesFileName(file);
    try {
        const SamplesParse parse = parseSamples(store.ReadBytes(name));
        if (!parse.ok())
            throw Unchecked{name + u": " + parse.error};
        return parse.samples;
    } catch (const AppError &error) {
        if (error.number() == AppErrorNumber::FileNotFound)
            return {};
        throw Unchecked{name + u": " + error.description()};
    }
}

} // namespace

bool isCheckCommand(const QStringList &arguments)
{
    return !arguments.isEmpty() && arguments.first() == u"--check";
}

int runCheckCommand(const QStringList &files, FileStore &store, QTextStream &out, QTextStream &err)
{
    if (files.isEmpty()) {
        err << "usage: sievewright --check FILE.RegExp [FILE.RegExp ...]\n";
        return Unreadable;
    }
    SampleTotals totals;
    bool unreadable = false;
    for (const QString &file : files) {
        try {
            const SampleRunInputs inputs = readPatternFile(store, file);
            const QList<Sample> samples = readSamples(store, file);
            const engine::RunControl control;
            const std::vector<SampleVerdict> verdicts = CheckSamples(inputs, samples, control);
            for (qsizetype i = 0; i < samples.size(); ++i) {
                const SampleVerdict &verdict = verdicts.at(std::size_t(i));
                if (verdict.passed)
                    continue;
                out << file << ": sample " << (i + 1) << ": expected "
                    << describeExpectation(samples.at(i)) << ", got " << verdict.got << '\n';
            }
            const SampleTotals own = countVerdicts(verdicts);
            totals.passed += own.passed;
            totals.failed += own.failed;
        } catch (const Unchecked &unchecked) {
            err << file << ": can't check the samples: " << unchecked.reason << '\n';
            unreadable = true;
        }
    }
    out << summaryText(totals) << '\n';
    out.flush();
    err.flush();
    return unreadable ? Unreadable : totals.failed > 0 ? SomeFailed : AllPassed;
}
