#pragma once
// The main window as designed: the client size and every control's rectangle, in twips
// (see ui/twips.h) relative to the control's parent.

#include "ui/twips.h"

#include <QRect>
#include <QSize>
#include <QStringView>

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
