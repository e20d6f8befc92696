#pragma once
// The colours that tell matches, groups, marks and the focus apart, all computed from a palette
// so that they hold in light, dark and high-contrast palettes alike. Contrast is measured as
// the ratio of relative luminances, (lighter + 0.05) / (darker + 0.05), from 1 to 21.
//
// Backgrounds that text is drawn over (match fills, the error band) keep 4.5:1 to the text and
// 3:1 to the box's background; marks that carry no text (group bars, frames, the wave) keep
// 3:1 to what they are drawn on; the group colours are also the colours of the group's brackets
// in the pattern box, so they keep 4.5:1 to the background as text. Shades that would otherwise
// touch are kept apart by a gap of the background, so each one's neighbour is the background.

#include <QColor>
#include <QPalette>

#include <array>

namespace Contrast {
// Relative luminance, 0 (black) to 1 (white), of an sRGB colour.
double luminance(const QColor &colour);
// (lighter + 0.05) / (darker + 0.05).
double ratio(const QColor &a, const QColor &b);

inline constexpr double Text = 4.5;
inline constexpr double NonText = 3.0;
} // namespace Contrast

class Shades
{
public:
    // From the palette's active Base, Text, Window, Highlight and HighlightedText.
    explicit Shades(const QPalette &palette);

    QColor base() const { return m_base; }
    QColor text() const { return m_text; }
    // The fill of match index (0-based); consecutive matches alternate.
    QColor match(int index) const { return m_match[static_cast<std::size_t>(index & 1)]; }
    // The colour of group number (1-based): its bar under the text and its brackets.
    QColor group(int number) const;
    // A text colour of hue (and saturation, 0 for grey) with 4.5:1 to the background.
    QColor onBase(int hue, int saturation = 200) const;
    // Results out of date: their text, and the two match fills, in grey.
    QColor staleText() const { return m_staleText; }
    QColor staleMatch(int index) const { return m_staleMatch[static_cast<std::size_t>(index & 1)]; }
    // The frame around the current match or the selected submatch.
    QColor current() const { return m_text; }
    // Under the offending character of an invalid pattern, and the wave drawn on it.
    QColor errorBand() const { return m_errorBand; }
    QColor errorWave() const { return m_errorWave; }
    // The selection of a box without the focus, and its text.
    QColor unfocusedSelection() const { return m_selection; }
    QColor unfocusedSelectedText() const { return m_selectedText; }
    // The frame of a text box with the focus, drawn on the window's colour.
    QColor focusFrame() const { return m_focusFrame; }

    // How many hues the groups cycle through.
    static constexpr int GroupHues = 6;

private:
    QColor m_base;
    QColor m_text;
    std::array<QColor, 2> m_match;
    std::array<QColor, 2> m_staleMatch;
    QColor m_staleText;
    std::array<QColor, GroupHues> m_groups;
    QColor m_errorBand;
    QColor m_errorWave;
    QColor m_selection;
    QColor m_selectedText;
    QColor m_focusFrame;
};
