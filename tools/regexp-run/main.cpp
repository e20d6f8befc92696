// regexp-run: the engine on the command line. Reads JSON Lines on standard input, one
// operation a line, and writes one JSON line per input line, in order.

#include "runner/engine/regexp.h"
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
    "(op: execute, test or replace; replacement for replace; flags global,\n"
    "ignoreCase, multiline default false) and answers each with one line.\n"
    "op explain answers the pattern's reading as a tree of nodes, op lint its\n"
    "warnings (both take pattern, ignoreCase and multiline).\n"
    "--bench K runs each operation K times and answers {\"ok\":true,\"count\":N,"
    "\"ns\":T}\n"
    "with the median time of one run; count is the number of matches (execute),\n"
    "1 or 0 (test) or the length of the result (replace).\n";

struct Request
{
    std::string op;
    std::u16string pattern;
    std::u16string source;
    std::u16string replacement;
    bool global = false;
    bool ignoreCase = false;
    bool multiline = false;
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
    std::u16string op;
    if (!text("op", op) || !text("pattern", request.pattern) || !text("source", request.source) ||
        !text("replacement", request.replacement) || !flag("global", request.global) ||
        !flag("ignoreCase", request.ignoreCase) || !flag("multiline", request.multiline))
        return false;
    request.op.assign(op.begin(), op.end());
    if (request.op != "execute" && request.op != "test" && request.op != "replace" &&
        request.op != "explain" && request.op != "lint") {
        error = "\"op\" must be \"execute\", \"test\", \"replace\", \"explain\" or "
                "\"lint\"";
        return false;
    }
    return true;
}

// Runs the request once; returns the full answer, and in count the bench figure.
std::string run(engine::RegExp &re, const Request &r, long long &count)
{
    std::string out = "{\"ok\":true,";
    if (r.op == "execute") {
        const engine::MatchCollection matches = re.Execute(r.source);
        count = matches.Count();
        out += "\"count\":" + std::to_string(matches.Count()) + ",\"matches\":[";
        bool first = true;
        for (const engine::Match &m : matches) {
            if (!first)
                out += ',';
            first = false;
            out += "{\"index\":" + std::to_string(m.FirstIndex()) +
                   ",\"length\":" + std::to_string(m.Length()) + ",\"value\":";
            appendJsonString(out, m.Value());
            out += ",\"submatches\":[";
            const engine::SubMatches subs = m.SubMatches();
            for (int i = 0; i < subs.Count(); ++i) {
                if (i)
                    out += ',';
                appendJsonString(out, subs.Item(i));
            }
            out += "]}";
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
