#include "tools/regexp-run/readingjson.h"

#include "tools/regexp-run/jsonline.h"

namespace {

void appendField(std::string &out, const char *name, long long value)
{
    out += ",\"";
    out += name;
    out += "\":" + std::to_string(value);
}

void appendField(std::string &out, const char *name, std::u16string_view value)
{
    out += ",\"";
    out += name;
    out += "\":";
    appendJsonString(out, value);
}

void appendNode(std::string &out, const engine::ExplainNode &node)
{
    out += "{\"kind\":\"";
    out += engine::kindName(node.kind);
    out += "\"";
    appendField(out, "start", node.start);
    appendField(out, "length", node.length);
    appendField(out, "text", node.text);
    if (node.kind == engine::ExplainKind::Group || node.kind == engine::ExplainKind::BackReference)
        appendField(out, "group", node.group);
    if (node.kind == engine::ExplainKind::Quantifier) {
        appendField(out, "min", node.min);
        appendField(out, "max", node.max);
        out += std::string(",\"lazy\":") + (node.lazy ? "true" : "false");
    }
    if (!node.children.empty()) {
        out += ",\"children\":[";
        for (std::size_t i = 0; i < node.children.size(); ++i) {
            if (i)
                out += ',';
            appendNode(out, node.children[i]);
        }
        out += ']';
    }
    out += '}';
}

void appendWarning(std::string &out, const engine::Warning &w)
{
    out += "{\"code\":\"" + w.code + "\"";
    appendField(out, "start", w.start);
    appendField(out, "length", w.length);
    appendField(out, "text", w.text);
    if (w.replacement)
        appendField(out, "replacement", *w.replacement);
    if (w.attack) {
        out += ",\"attack\":{\"prefix\":";
        appendJsonString(out, w.attack->prefix);
        appendField(out, "pump", w.attack->pump);
        appendField(out, "suffix", w.attack->suffix);
        out += std::string("},\"growth\":\"") + (w.exponential ? "exponential" : "polynomial") +
               "\",\"measured\":[";
        for (std::size_t i = 0; i < w.steps.size(); ++i) {
            out += i ? ",{\"repeats\":" : "{\"repeats\":";
            out += std::to_string(w.repeats[i]);
            out += w.steps[i] ? ",\"steps\":" + std::to_string(w.steps[i]) : ",\"steps\":null";
            out += '}';
        }
        out += ']';
    }
    out += '}';
}

} // namespace

std::string explanationJson(const engine::Explanation &explanation)
{
    std::string out = "{\"ok\":true,\"nodes\":[";
    for (std::size_t i = 0; i < explanation.nodes.size(); ++i) {
        if (i)
            out += ',';
        appendNode(out, explanation.nodes[i]);
    }
    return out + "]}";
}

std::string lintJson(const engine::LintResult &lint)
{
    std::string out = "{\"ok\":true";
    if (lint.errorNumber) {
        out += ",\"error\":{\"number\":" + std::to_string(lint.errorNumber) + ",\"description\":";
        appendJsonString(out, lint.errorDescription);
        out += ",\"position\":" + std::to_string(lint.errorPosition) + "}";
    }
    out += ",\"warnings\":[";
    for (std::size_t i = 0; i < lint.warnings.size(); ++i) {
        if (i)
            out += ',';
        appendWarning(out, lint.warnings[i]);
    }
    return out + "]}";
}
