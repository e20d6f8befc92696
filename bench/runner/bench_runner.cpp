// Execute from the runner's call to a filled results tree, against the engine's own Execute on
// the same 10-million-character source with 1,000,000 matches. Prints a table.
//   bench_runner [repetitions]

#include "bench/support/timing.h"
#include "runner/modregexp.h"
#include "runner/u16text.h"
#include "support/backgroundrun.h"
#include "support/heappolicy.h"
#include "support/modalhost.h"
#include "tests/support/plainresultstree.h"
#include "ui/main/treewidgetresults.h"

#include <QApplication>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

int main(int argc, char *argv[])
{
    HeapPolicy::apply(); // as the program does
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 5;

    const QString source = QStringLiteral("abcdef 12 ").repeated(1'000'000);
    const QString pattern = QStringLiteral("(\\d)(\\d)");

    int count = 0;
    const double engineMs = Timings::of(repetitions, [&] {
                                engine::RegExp regExp;
                                regExp.setGlobal(true);
                                regExp.setPattern(u16View(pattern));
                                count = regExp.Execute(u16View(source)).Count();
                            }).median();
    ModalHost modal;
    PlainResultsTree plain;
    const double plainMs =
        Timings::of(repetitions, [&] {
            RunRegExp(modal, plain, pattern, source, {true}, RunCommand::Execute);
        }).median();
    QTreeWidget widget;
    TreeWidgetResults results(&widget, [](const QString &) { return QIcon(); });
    const double widgetMs =
        Timings::of(repetitions, [&] {
            RunRegExp(modal, results, pattern, source, {true}, RunCommand::Execute);
        }).median();

    std::printf(
        "Execute, Global, pattern (\\d)(\\d), %lld characters, %d matches, median of %d\n\n",
        static_cast<long long>(source.size()), count, repetitions);
    std::printf("| %-36s | %9s | %9s |\n", "work", "ms", "ratio");
    std::printf("|%s|%s|%s|\n", std::string(38, '-').c_str(), std::string(11, '-').c_str(),
                std::string(11, '-').c_str());
    std::printf("| %-36s | %9.1f | %9.2f |\n", "engine Execute", engineMs, 1.0);
    std::printf("| %-36s | %9.1f | %9.2f |\n", "RunRegExp into a plain tree", plainMs,
                plainMs / engineMs);
    std::printf("| %-36s | %9.1f | %9.2f |\n", "RunRegExp into the tree widget", widgetMs,
                widgetMs / engineMs);
    std::printf("\nroot nodes in the tree widget: %d\n", widget.topLevelItemCount());

    // Test on a short text, alone and on the worker thread as the Test button runs it.
    engine::RegExp shortTest;
    shortTest.setPattern(u16View(pattern));
    const std::u16string shortText = u"abcdef 12 ";
    bool matched = false;
    const double aloneMs = Timings::of(1001, [&] { matched = shortTest.Test(shortText); }).median();
    const double workerMs =
        Timings::of(1001, [&] {
            BackgroundRun::instance().run([&] { matched = shortTest.Test(shortText); }, [] {});
        }).median();
    std::printf("\nTest on \"abcdef 12 \", median of 1001: %s\n\n",
                matched ? "Match." : "No match.");
    std::printf("| %-36s | %9s |\n", "work", "ms");
    std::printf("|%s|%s|\n", std::string(38, '-').c_str(), std::string(11, '-').c_str());
    std::printf("| %-36s | %9.4f |\n", "engine Test", aloneMs);
    std::printf("| %-36s | %9.4f |\n", "engine Test on the worker thread", workerMs);
    return 0;
}
