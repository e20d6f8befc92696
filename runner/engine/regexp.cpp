#include "runner/engine/regexp.h"

namespace sw::engine {
int engineVersion()
{
    return 1;
}
} // namespace sw::engine
