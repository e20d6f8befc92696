#pragma once
// The benchmark's workloads, shared in spirit with node_workloads.js (same order, same names).

struct Workload
{
    const char *name;
    const char *op; // "execute", "replace" or "test"
    const char16_t *pattern;
    const char16_t *replacement;
    bool global;
    bool ignoreCase;
    bool multiline;
    bool crlf; // run on the CR LF form of the text
};

inline constexpr Workload Workloads[] = {
    {"execute-simple", "execute", u"\\d+", u"", true, false, false, false},
    {"execute-groups", "execute", u"(\\w+)@(\\w+)", u"", true, false, false, false},
    {"replace-simple", "replace", u"\\d+", u"#", true, false, false, false},
    {"replace-groups", "replace", u"(\\w+)@(\\w+)", u"$2 at $1", true, false, false, false},
    {"ignorecase-class", "execute", u"[a-f]{2,}", u"", true, true, false, false},
    {"ignorecase-literal", "execute", u"lorem", u"", true, true, false, false},
    {"multiline-anchors", "execute", u"^\\w+$", u"", true, false, true, false},
    {"multiline-anchors-crlf", "execute", u"^\\w+$", u"", true, false, true, true},
    {"line-starts-crlf", "execute", u"^(?:lorem|word)\\s*\\w*", u"", true, false, true, true},
    {"back-reference", "execute", u"(\\w)\\1", u"", true, false, false, false},
    {"back-reference-words", "execute", u"\\b(\\w+)\\s+\\1\\b", u"", true, false, false, false},
    {"capitalised-words", "execute", u"\\b[A-Z][a-z]+\\b", u"", true, false, false, false},
    {"alternation", "execute", u"ipsum|dolor|amet", u"", true, false, false, false},
    {"test-late", "test", u"zz\\d{3}zz", u"", false, false, false, false},
};
