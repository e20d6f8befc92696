#include "ui/main/shades.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace Contrast {

double luminance(const QColor &colour)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.red()) + 0.7152 * channel(rgb.green()) +
           0.0722 * channel(rgb.blue());
}

double ratio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace Contrast

namespace {

// A little above each bound, so that rounding to 8-bit channels never drops below it.
constexpr double Margin = 1.04;

struct Bound
{
    QColor against;
    double atLeast;
};

// The colour of hue and saturation whose lightness keeps every bound; among those, the one
// nearest preferLightness, or with none given the one with the most room to spare. Where no
// lightness keeps them all, the one that comes closest.
QColor fitted(int hue, int saturation, std::initializer_list<Bound> bounds,
              std::optional<int> preferLightness = std::nullopt)
{
    QColor best;
    double bestScore = -1;
    int bestDistance = 256;
    for (int lightness = 0; lightness <= 255; ++lightness) {
        const QColor colour = QColor(QColor::fromHsl(hue, saturation, lightness).rgb());
        double score = 1e9;
        for (const Bound &bound : bounds)
            score = std::min(score, Contrast::ratio(colour, bound.against) / bound.atLeast);
        const bool keeps = score >= Margin;
        const bool bestKeeps = bestScore >= Margin;
        bool better = false;
        if (keeps && preferLightness) {
            const int distance = std::abs(lightness - *preferLightness);
            better = !bestKeeps || distance < bestDistance;
            if (better)
                bestDistance = distance;
        } else if (!bestKeeps || !preferLightness) {
            better = score > bestScore;
        }
        if (better) {
            best = QColor(colour.rgb()); // as painted: 8 bits a channel
            bestScore = score;
        }
    }
    return best;
}

int hueOf(const QColor &colour, int fallback)
{
    const int hue = colour.hslHue();
    return hue < 0 || colour.hslSaturation() < 40 ? fallback : hue;
}

constexpr int GroupHueList[Shades::GroupHues] = {215, 30, 130, 285, 180, 330};
// Fills stay muted, so that the groups' bars and brackets carry the strong colours.
constexpr int FillSaturation = 70;
constexpr int MarkSaturation = 200;
constexpr int Vivid = 128;

} // namespace

Shades::Shades(const QPalette &palette)
    : m_base(palette.color(QPalette::Active, QPalette::Base))
    , m_text(palette.color(QPalette::Active, QPalette::Text))
{
    using namespace Contrast;
    const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
    const int matchHue = hueOf(highlight, 210);
    // Text is drawn over the fills: 4.5:1 to it, 3:1 to the background around them.
    const std::initializer_list<Bound> underText = {{m_base, NonText}, {m_text, Text}};
    m_match[0] = fitted(matchHue, FillSaturation, underText);
    m_match[1] = fitted((matchHue + 180) % 360, FillSaturation, underText);
    // Greys: the two fills apart in lightness, each kept like the coloured ones.
    m_staleMatch[0] = fitted(0, 0, underText, 0);
    m_staleMatch[1] = fitted(0, 0, underText, 255);
    m_staleText = fitted(0, 0, {{m_base, Text}}, Vivid);
    for (int i = 0; i < GroupHues; ++i)
        m_groups[static_cast<std::size_t>(i)] =
            fitted(GroupHueList[i], MarkSaturation, {{m_base, Text}}, Vivid);
    m_errorBand = fitted(0, MarkSaturation, underText);
    m_errorWave = fitted(0, 255, {{m_errorBand, NonText}}, Vivid);

    m_selectedText = palette.color(QPalette::Active, QPalette::HighlightedText);
    // As near the palette's own highlight as the bounds allow.
    m_selection = fitted(hueOf(highlight, matchHue), std::max(highlight.hslSaturation(), 120),
                         {{m_base, NonText}, {m_selectedText, Text}}, highlight.lightness());
    m_focusFrame = fitted(hueOf(highlight, matchHue), MarkSaturation,
                          {{palette.color(QPalette::Active, QPalette::Window), NonText}}, Vivid);
}

QColor Shades::onBase(int hue, int saturation) const
{
    return fitted(hue, saturation, {{m_base, Contrast::Text}}, Vivid);
}

QColor Shades::group(int number) const
{
    const int index = (std::max(number, 1) - 1) % GroupHues;
    return m_groups[static_cast<std::size_t>(index)];
}
