#pragma once
// The VBScript-dialect regular-expression engine (placeholder until the engine lands).

namespace sw::engine {
int engineVersion();
} // namespace sw::engine
