// Export of 100,000 matches with 2 submatches each to a finished .xlsx (budget: 3 s).
// Prints a table; the file is written to the temporary folder and nothing is opened.

#include "bench/support/timing.h"
#include "runner/spreadsheet/exportmatches.h"
#include "support/heappolicy.h"
#include "support/modalhost.h"
#include "tests/support/recordingopener.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// count matches "kN=vN" of the pattern (k\d+)=(v\d+), each with its two groups.
engine::MatchCollection keyValueMatches(int count)
{
    auto data = std::make_shared<engine::detail::MatchData>();
    data->groupCount = 2;
    std::u16string source;
    for (int i = 0; i < count; ++i) {
        const std::u16string number = QString::number(i).toStdU16String();
        const auto start = static_cast<std::int32_t>(source.size());
        source += u'k' + number;
        const auto equals = static_cast<std::int32_t>(source.size());
        source += u'=';
        source += u'v' + number;
        const auto end = static_cast<std::int32_t>(source.size());
        source += u"; ";
        data->offsets.insert(data->offsets.end(), {start, end, start, equals, equals + 1, end});
    }
    data->source = std::make_shared<const std::u16string>(std::move(source));
    return engine::MatchCollection(std::move(data));
}

} // namespace

int main(int argc, char **argv)
{
    HeapPolicy::apply(); // as the program does
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    qputenv("TMPDIR", QFile::encodeName(scratch.path()));
    // The exports go to the cache folder: the scratch one, never the user's.
    qputenv("XDG_CACHE_HOME", QFile::encodeName(scratch.path()));
    RecordingOpener opener;
    ModalHost modal;

    const int matches = 100'000;
    const engine::MatchCollection collection = keyValueMatches(matches);
    qint64 bytes = 0;
    const Timings timings = Timings::of(
        5, [&] { ExportMatchesToExcel(collection, opener, modal); }, {},
        [&] {
            const QString opened =
                opener.opened().isEmpty() ? QString() : opener.opened().constLast().path;
            bytes = QFileInfo(opened).size();
            QFile::remove(opened);
        });
    const double median = timings.median() / 1000;
    std::printf("| Work | Matches | Cells | File (bytes) | Best (s) | Median (s) | Budget (s) |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    std::printf("| Export to .xlsx | %d | %d | %lld | %.3f | %.3f | 3.0 |\n", matches,
                matches * 3 + 7, static_cast<long long>(bytes), timings.best() / 1000, median);
    return median <= 3.0 && bytes > 0 ? 0 : 1;
}
