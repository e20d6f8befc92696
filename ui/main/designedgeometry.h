#pragma once
// The main window as designed: the client size and every control's rectangle, in twips
// relative to the control's parent. At 96 dots per inch 15 twips make one pixel; Qt's
// device-independent pixels stand for those pixels on every screen.

#include <QRect>
#include <QSize>
#include <QStringView>

namespace Twips {
inline constexpr int PerPixel = 15;
// Twips to pixels, to the nearest pixel.
int toPixels(double twips);
inline constexpr double fromPixels(int pixels)
{
    return double(pixels) * PerPixel;
}
} // namespace Twips

struct DesignedControl
{
    QStringView name;
    int left, top, width, height; // twips
};

// The designed client area: 9195 x 6360 twips.
inline constexpr int DesignedClientWidth = 9195;
inline constexpr int DesignedClientHeight = 6360;
QSize designedClientPixels();

// The designed rectangle of the named control in pixels; an empty rectangle for a name that
// has none (the image list, unknown names).
QRect designedPixels(QStringView name);
