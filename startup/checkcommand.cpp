#include "startup/checkcommand.h"

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

// The pattern, replacement and options of a pattern file: seven fields joined by NUL (six in
// older files), the check boxes "1" when checked.
SampleRunInputs readPatternFile(FileStore &store, const QString &file)
{
    QStringList fields;
    try {
        const QString content = store.ReadText(file);
        fields = content.isEmpty() ? QStringList() : content.split(QChar(0));
    } catch (const AppError &error) {
        throw Unchecked{error.description()};
    }
    if (fields.size() < 6 || fields.size() > 7)
        throw Unchecked{QStringLiteral("File doesn't contain valid data.")};
    const auto checked = [&fields](qsizetype field) {
        return field < fields.size() && fields.at(field) == u"1";
    };
    return {fields.at(0), fields.at(2), {checked(3), checked(4), checked(5), checked(6)}};
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
