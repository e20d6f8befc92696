#pragma once
// The run options that change how a pattern reads: Explain and Lint take them.

namespace engine {

struct ReadOptions
{
    bool ignoreCase = false;
    bool multiline = false;
};

} // namespace engine
