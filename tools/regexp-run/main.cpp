// regexp-run: the engine on the command line. Reads JSON Lines on standard input, one
// operation a line, and writes one JSON line per input line, in order.

#include "runner/engine/regexp.h"
#include "runner/engine/trace.h"
#include "tools/regexp-run/jsonline.h"
#include "tools/regexp-run/readingjson.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <iostream>
#include <new>
#include <string>
#include <vector>

namespace {

const char Usage[] =
    "usage: regexp-run [--bench K]\n"
    "Reads lines such as {\"op\":\"execute\",\"pattern\":\"a+\",\"source\":\"baa\","
    "\"global\":true}\n"
    "(op: execute, test, replace or trace; replacement for replace; flags global,\n"
    "ignoreCase, multiline default false; for trace: from and limit, numbers, and\n"
    "records, a flag) and answers each with one line.\n"
    "op explain answers the pattern's reading as a tree of nodes, op lint its\n"
    "warnings (both take pattern, ignoreCase and multiline).\n"
    "--bench K runs each operation K times and answers {\"ok\":true,\"count\":N,"
    "\"ns\":T}\n"
    "with the median time of one run; count is the number of matches (execute),\n"
    "1 or 0 (test), the length of the result (replace) or the steps (trace).\n";

struct Request
{
    std::string op;
    std::u16string pattern;
    std::u16string source;
    std::u16string replacement;
    bool global = false;
    bool ignoreCase = false;
    bool multiline = false;
    // trace
    double from = 0;
    double limit = static_cast<double>(engine::limits::TraceSteps);
    bool records = false;
};

std::string failure(int number, std::u16string_view description, int position)
{
    std::string out = "{\"ok\":false,\"number\":" + std::to_string(number) + ",\"description\":";
    appendJsonString(out, description);
    out += ",\"position\":" + std::to_string(position) + "}";
    return out;
}

std::u16string widen(const std::string &s)
{
    return std::u16string(s.begin(), s.end());
}

bool readRequest(const std::string &line, Request &request, std::string &error)
{
    JsonObject object;
    if (!parseJsonObject(line, object, error))
        return false;
    auto text = [&](const char *name, std::u16string &out) {
        auto it = object.find(name);
        if (it == object.end())
            return true;
        if (it->second.kind != JsonValue::Kind::String) {
            error = std::string("\"") + name + "\" must be a string";
            return false;
        }
        out = it->second.text;
        return true;
    };
    auto flag = [&](const char *name, bool &out) {
        auto it = object.find(name);
        if (it == object.end())
            return true;
        if (it->second.kind != JsonValue::Kind::Bool) {
            error = std::string("\"") + name + "\" must be true or false";
            return false;
        }
        out = it->second.flag;
        return true;
    };
    auto count = [&](const char *name, double &out) {
        auto it = object.find(name);
        if (it == object.end())
            return true;
        const double v = it->second.number;
        if (it->second.kind != JsonValue::Kind::Number || v < 0 || v != static_cast<long long>(v) ||
            v > 9e15) {
            error = std::string("\"") + name + "\" must be a whole number of at least 0";
            return false;
        }
        out = v;
        return true;
    };
    std::u16string op;
    if (!count("from", request.from) || !count("limit", request.limit) ||
        !flag("records", request.records) || !text("op", op) || !text("pattern", request.pattern) ||
        !text("source", request.source) || !text("replacement", request.replacement) ||
        !flag("global", request.global) || !flag("ignoreCase", request.ignoreCase) ||
        !flag("multiline", request.multiline))
        return false;
    request.op.assign(op.begin(), op.end());
    if (request.op != "execute" && request.op != "test" && request.op != "replace" &&
        request.op != "trace" && request.op != "explain" && request.op != "lint") {
        error = "\"op\" must be \"execute\", \"test\", \"replace\", \"trace\", "
                "\"explain\" or \"lint\"";
        return false;
    }
    return true;
}

// One match as {"index":...,"length":...,"value":...,"submatches":[...]}; bounds as Execute
// keeps them (groups + 1 pairs).
void appendMatch(std::string &out, std::u16string_view source, const std::int32_t *bounds,
                 int groups)
{
    out += "{\"index\":" + std::to_string(bounds[0]) +
           ",\"length\":" + std::to_string(bounds[1] - bounds[0]) + ",\"value\":";
    const auto text = [&](int pair) {
        const std::int32_t start = bounds[2 * pair];
        if (start < 0)
            return std::u16string_view();
        return source.substr(static_cast<std::size_t>(start),
                             static_cast<std::size_t>(bounds[2 * pair + 1] - start));
    };
    appendJsonString(out, text(0));
    out += ",\"submatches\":[";
    for (int i = 1; i <= groups; ++i) {
        if (i > 1)
            out += ',';
        appendJsonString(out, text(i));
    }
    out += "]}";
}

const char *kindName(engine::StepKind kind)
{
    switch (kind) {
    case engine::StepKind::Start:
        return "start";
    case engine::StepKind::Try:
        return "try";
    case engine::StepKind::Backtrack:
        return "backtrack";
    case engine::StepKind::Match:
        return "match";
    case engine::StepKind::NoMatch:
        break;
    }
    return "nomatch";
}

std::string traced(const Request &r)
{
    engine::TraceOptions options;
    options.ignoreCase = r.ignoreCase;
    options.multiline = r.multiline;
    options.records = r.records;
    const engine::TraceResult trace =
        engine::Trace(r.pattern, options, r.source, static_cast<std::size_t>(r.from),
                      static_cast<std::uint64_t>(r.limit));
    std::string out = "{\"ok\":true,\"match\":";
    if (trace.found())
        appendMatch(out, r.source, trace.bounds.data(), trace.groupCount);
    else
        out += "null";
    out += ",\"steps\":" + std::to_string(trace.steps) +
           ",\"stopped\":" + (trace.stopped ? "true" : "false") + ",\"counts\":[";
    for (std::size_t i = 0; i < trace.parts.size(); ++i) {
        const engine::TracePart &p = trace.parts[i];
        out += std::string(i ? "," : "") + "{\"start\":" + std::to_string(p.start) +
               ",\"length\":" + std::to_string(p.length) + ",\"steps\":" + std::to_string(p.steps) +
               "}";
    }
    out += "]";
    if (r.records) {
        out += ",\"records\":[";
        for (std::size_t i = 0; i < trace.records.size(); ++i) {
            const engine::TraceStep &step = trace.records[i];
            const engine::TracePart &p = trace.parts[static_cast<std::size_t>(step.part())];
            out += std::string(i ? "," : "") + "{\"kind\":\"" + kindName(step.kind()) +
                   "\",\"start\":" + std::to_string(p.start) +
                   ",\"length\":" + std::to_string(p.length) +
                   ",\"at\":" + std::to_string(step.position()) +
                   ",\"matched\":" + (step.matched() ? "true" : "false") + "}";
        }
        out += "]";
    }
    return out + "}";
}

// Runs the request once; returns the full answer, and in count the bench figure.
std::string run(engine::RegExp &re, const Request &r, long long &count)
{
    std::string out = "{\"ok\":true,";
    if (r.op == "execute") {
        const engine::MatchCollection matches = re.Execute(r.source);
        count = matches.Count();
        out += "\"count\":" + std::to_string(matches.Count()) + ",\"matches\":[";
        const std::size_t pairs = 2 * static_cast<std::size_t>(matches.GroupCount() + 1);
        for (int m = 0; m < matches.Count(); ++m) {
            if (m)
                out += ',';
            appendMatch(out, r.source, matches.Offsets().data() + pairs * m, matches.GroupCount());
        }
        out += "]}";
    } else if (r.op == "test") {
        const bool result = re.Test(r.source);
        count = result ? 1 : 0;
        out += std::string("\"result\":") + (result ? "true" : "false") + "}";
    } else {
        const std::u16string result = re.Replace(r.source, r.replacement);
        count = static_cast<long long>(result.size());
        out += "\"result\":";
        appendJsonString(out, result);
        out += "}";
    }
    return out;
}

// The timed form: only the engine call, no answer text.
long long runQuiet(engine::RegExp &re, const Request &r)
{
    if (r.op == "trace")
        return static_cast<long long>(engine::Trace(r.pattern, {r.ignoreCase, r.multiline, false},
                                                    r.source, static_cast<std::size_t>(r.from),
                                                    static_cast<std::uint64_t>(r.limit))
                                          .steps);
    if (r.op == "execute")
        return re.Execute(r.source).Count();
    if (r.op == "test")
        return re.Test(r.source) ? 1 : 0;
    return static_cast<long long>(re.Replace(r.source, r.replacement).size());
}

std::string answer(const std::string &line, int benchRuns)
{
    Request request;
    std::string error;
    if (!readRequest(line, request, error))
        return failure(0, u"Malformed request: " + widen(error), -1);
    const engine::ReadOptions options{request.ignoreCase, request.multiline};
    try {
        if (request.op == "explain") {
            const engine::Explanation explanation = engine::Explain(request.pattern, options);
            if (!explanation.valid())
                return failure(explanation.errorNumber, explanation.errorDescription,
                               explanation.errorPosition);
            return explanationJson(explanation);
        }
        if (request.op == "lint")
            return lintJson(engine::Lint(request.pattern, options));
        if (request.op == "trace" && benchRuns <= 0)
            return traced(request);
        engine::RegExp re;
        re.setPattern(request.pattern);
        re.setGlobal(request.global);
        re.setIgnoreCase(request.ignoreCase);
        re.setMultiline(request.multiline);
        long long count = 0;
        if (benchRuns <= 0)
            return run(re, request, count);
        std::vector<long long> times;
        times.reserve(static_cast<std::size_t>(benchRuns));
        for (int i = 0; i < benchRuns; ++i) {
            const auto t0 = std::chrono::steady_clock::now();
            count = runQuiet(re, request);
            const auto t1 = std::chrono::steady_clock::now();
            times.push_back(std::chrono::duration_cast<std::chrono::nanoseconds>(t1 - t0).count());
        }
        std::nth_element(times.begin(), times.begin() + benchRuns / 2, times.end());
        return "{\"ok\":true,\"count\":" + std::to_string(count) +
               ",\"ns\":" + std::to_string(times[static_cast<std::size_t>(benchRuns / 2)]) + "}";
    } catch (const engine::RegExpError &e) {
        return failure(e.number(), e.description(), e.position());
    } catch (const std::bad_alloc &) {
        return failure(7, u"Out of memory", -1);
    }
}

} // namespace

int main(int argc, char **argv)
{
    int benchRuns = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--bench") == 0 && i + 1 < argc) {
            benchRuns = std::atoi(argv[++i]);
            if (benchRuns <= 0) {
                std::cerr << "regexp-run: --bench needs a count of at least 1\n" << Usage;
                return 2;
            }
        } else {
            std::cerr << (std::strcmp(argv[i], "--help") == 0 ? ""
                                                              : "regexp-run: unknown argument\n")
                      << Usage;
            return std::strcmp(argv[i], "--help") == 0 ? 0 : 2;
        }
    }
    std::ios::sync_with_stdio(false);
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::cout << answer(line, benchRuns) << '\n' << std::flush;
    }
    return 0;
}
