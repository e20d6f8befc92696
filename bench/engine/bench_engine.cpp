// The engine against Node.js's regular expressions on the same text and work, in one run.
// Prints a table of median times and ratios (engine / Node; at most 0.8 is the budget): wall
// clock, and the processor time of the process, which a machine shared with other work
// disturbs less.
//   bench_engine [repetitions] [million characters]

#include "bench/engine/workloads.h"
#include "bench/support/timing.h"
#include "runner/engine/regexp.h"
#include "support/heappolicy.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// Lines of words, numbers, addresses and doubled letters; 12 numbers a line.
std::u16string makeText(std::size_t chars, bool crlf)
{
    static const char16_t *const words[] = {u"lorem", u"Ipsum", u"dolor", u"SIT",  u"amet",
                                            u"abc",   u"Feed",  u"cafe",  u"aabb", u"x"};
    std::u16string text;
    text.reserve(chars + 200);
    unsigned seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    while (text.size() < chars) {
        for (int i = 0; i < 12; ++i) {
            text += words[next() % 10];
            text += u' ';
            const unsigned n = next() % 100000;
            for (char c : std::to_string(n))
                text += static_cast<char16_t>(c);
            text += i == 4 ? u" user@host " : u" ";
        }
        text += crlf ? u"\r\n" : u"\n";
        text += u"word\n";
        if (crlf)
            text.insert(text.size() - 1, 1, u'\r');
    }
    text += u" zz123zz";
    return text;
}

void writeUtf16(const std::filesystem::path &path, const std::u16string &text)
{
    std::ofstream out(path, std::ios::binary);
    for (char16_t c : text) {
        const char bytes[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        out.write(bytes, 2);
    }
}

std::string jsonString(const char16_t *s)
{
    std::string out = "\"";
    for (; *s; ++s) {
        if (*s == u'\\' || *s == u'"')
            out += '\\';
        out += static_cast<char>(*s);
    }
    return out + "\"";
}

struct NodeResult
{
    long long count = -1;
    double ms = 0;
    double cpuMs = 0;
};

// The processor time of the whole process so far, in milliseconds.
double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Runs the Node side; empty when node is not there.
std::map<std::string, NodeResult> runNode(const std::u16string &lf, const std::u16string &crlf,
                                          int repetitions)
{
    std::map<std::string, NodeResult> results;
    if (std::system("node --version > /dev/null 2>&1") != 0)
        return results;
    const auto dir = std::filesystem::temp_directory_path() / "sievewright-bench-engine";
    std::filesystem::create_directories(dir);
    writeUtf16(dir / "lf.txt", lf);
    writeUtf16(dir / "crlf.txt", crlf);
    {
        std::ofstream w(dir / "workloads.json");
        w << "[";
        bool first = true;
        for (const Workload &wl : Workloads) {
            w << (first ? "" : ",") << "{\"name\":\"" << wl.name << "\",\"op\":\"" << wl.op
              << "\",\"pattern\":" << jsonString(wl.pattern)
              << ",\"replacement\":" << jsonString(wl.replacement)
              << ",\"global\":" << (wl.global ? "true" : "false")
              << ",\"ignoreCase\":" << (wl.ignoreCase ? "true" : "false")
              << ",\"multiline\":" << (wl.multiline ? "true" : "false")
              << ",\"crlf\":" << (wl.crlf ? "true" : "false") << "}";
            first = false;
        }
        w << "]";
    }
    const std::string command = "node " BENCH_NODE_SCRIPT " '" + (dir / "lf.txt").string() + "' '" +
                                (dir / "crlf.txt").string() + "' " + std::to_string(repetitions) +
                                " < '" + (dir / "workloads.json").string() + "'";
    std::unique_ptr<FILE, int (*)(FILE *)> pipe(popen(command.c_str(), "r"), pclose);
    char line[512];
    while (pipe && std::fgets(line, sizeof line, pipe.get())) {
        char name[128];
        NodeResult r;
        if (std::sscanf(line, "{\"name\":\"%127[^\"]\",\"count\":%lld,\"ms\":%lf,\"cpuMs\":%lf",
                        name, &r.count, &r.ms, &r.cpuMs) == 4)
            results[name] = r;
    }
    std::filesystem::remove_all(dir);
    return results;
}

} // namespace

int main(int argc, char *argv[])
{
    HeapPolicy::apply(); // as the program does
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::size_t chars =
        static_cast<std::size_t>(argc > 2 ? std::max(1, std::atoi(argv[2])) : 10) * 1'000'000;
    const auto lf = std::make_shared<const std::u16string>(makeText(chars, false));
    const auto crlf = std::make_shared<const std::u16string>(makeText(chars, true));
    const auto node = runNode(*lf, *crlf, repetitions);

    std::printf("Text: %zu characters (%.1f MB as UTF-16), median of %d runs\n\n", lf->size(),
                lf->size() * 2 / 1e6, repetitions);
    std::printf("| %-24s | %9s | %10s | %10s | %6s | %10s | %10s | %6s |\n", "workload", "matches",
                "engine ms", "node ms", "ratio", "engine cpu", "node cpu", "ratio");
    std::printf(
        "|%s|%s|%s|%s|%s|%s|%s|%s|\n", std::string(26, '-').c_str(), std::string(11, '-').c_str(),
        std::string(12, '-').c_str(), std::string(12, '-').c_str(), std::string(8, '-').c_str(),
        std::string(12, '-').c_str(), std::string(12, '-').c_str(), std::string(8, '-').c_str());
    for (const Workload &w : Workloads) {
        engine::RegExp re;
        re.setPattern(w.pattern);
        re.setGlobal(w.global);
        re.setIgnoreCase(w.ignoreCase);
        re.setMultiline(w.multiline);
        const auto &source = w.crlf ? crlf : lf;
        long long count = 0;
        const std::string op = w.op;
        std::vector<double> cpu;
        const double ms =
            Timings::of(repetitions, [&] {
                const double cpuStart = processCpuMs();
                if (op == "execute")
                    count = re.Execute(source).Count();
                else if (op == "replace")
                    count = static_cast<long long>(re.Replace(*source, w.replacement).size());
                else
                    count = re.Test(*source) ? 1 : 0;
                cpu.push_back(processCpuMs() - cpuStart);
            }).median();
        const double cpuMs = Timings::median(cpu);
        auto it = node.find(w.name);
        if (it == node.end()) {
            std::printf("| %-24s | %9lld | %10.1f | %10s | %6s | %10.1f | %10s | %6s |\n", w.name,
                        count, ms, "-", "-", cpuMs, "-", "-");
            continue;
        }
        const NodeResult &n = it->second;
        const char *mark = n.count == count ? "" : " (counts differ)";
        std::printf("| %-24s | %9lld | %10.1f | %10.1f | %6.2f | %10.1f | %10.1f | %6.2f |%s\n",
                    w.name, count, ms, n.ms, ms / n.ms, cpuMs, n.cpuMs, cpuMs / n.cpuMs, mark);
    }

    // Catastrophic backtracking answers quickly with a result or the limit failure.
    engine::RegExp bad;
    bad.setPattern(u"(a+)+$");
    const std::u16string victim = std::u16string(40, u'a') + u"b";
    std::string outcome;
    const double badMs = Timings::of(1, [&] {
                             try {
                                 outcome = bad.Test(victim) ? "match" : "no match";
                             } catch (const engine::RegExpError &e) {
                                 outcome = "error " + std::to_string(e.number());
                             }
                         }).median();
    std::printf("\n(a+)+$ on 40 x \"a\" + \"b\": %s in %.1f ms\n", outcome.c_str(), badMs);
    if (node.empty())
        std::printf("(node not found: no comparison)\n");
    return 0;
}
