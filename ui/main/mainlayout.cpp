#include "ui/main/mainlayout.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

bool validExtent(double value)
{
    return std::isfinite(value) && value >= 0;
}

// Rounds to the nearest 32-bit integer, halves to even; no value when out of range.
std::optional<std::int64_t> toLong(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return std::int64_t(rounded);
}

std::optional<int> fitsLong(std::int64_t value)
{
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return int(value);
}

} // namespace

MainLayout computeMainLayout(const MainLayoutInput &in)
{
    MainLayout out;

    // The result area fills everything above the strip (single precision, as designed).
    const float containerHeight = float(in.clientHeight) - float(in.panelHeight);
    if (validExtent(in.clientWidth) && validExtent(containerHeight))
        out.container = TwipsRect{0, 0, in.clientWidth, containerHeight};

    const double panelTop = out.container ? out.container->height : in.containerHeight;
    if (validExtent(in.clientWidth) && validExtent(in.panelHeight) && std::isfinite(panelTop))
        out.panel = TwipsRect{0, panelTop, in.clientWidth, in.panelHeight};

    const auto w = toLong(in.buttonWidth);
    const auto t = toLong(in.buttonTop);
    const auto v = toLong(in.clientWidth);
    if (w && t && v) {
        // Execute, Excel, Replace, Test from left to right, Test one gap from the right edge.
        for (int i = 0; i < 4; ++i) {
            const std::int64_t n = 4 - i;
            const auto step = fitsLong(n * *w + n * *t);
            if (step)
                out.buttonLefts[i] = fitsLong(*v - *step);
        }
    }
    return out;
}
