#pragma once
// The JSON answers of regexp-run's "explain" and "lint" operations.

#include "runner/engine/explain.h"
#include "runner/engine/lint.h"

#include <string>

// {"ok":true,"nodes":[{"kind":...,"start":...,"length":...,"text":...,"group":...,
// "children":[...]}]}; fields that do not apply are left out.
std::string explanationJson(const engine::Explanation &explanation);

// {"ok":true,"error":{...},"warnings":[{"code":...,"start":...,"length":...,"text":...,
// "replacement":...,"attack":{"prefix":...,"pump":...,"suffix":...}}]}; "error" only for an
// invalid pattern, fields that do not apply left out.
std::string lintJson(const engine::LintResult &lint);
