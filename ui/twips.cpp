#include "ui/twips.h"

#include <cmath>

int Twips::toPixels(double twips)
{
    return int(std::lround(twips / PerPixel));
}
