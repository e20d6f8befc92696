#pragma once
// Twips, the unit the windows are designed in: at 96 dots per inch 15 twips make one pixel;
// Qt's device-independent pixels stand for those pixels on every screen.

namespace Twips {
inline constexpr int PerPixel = 15;
// Twips to pixels, to the nearest pixel.
int toPixels(double twips);
inline constexpr double fromPixels(int pixels)
{
    return double(pixels) * PerPixel;
}
} // namespace Twips
