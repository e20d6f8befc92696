#include "ui/main/designedgeometry.h"

namespace {

constexpr DesignedControl Designed[] = {
    {u"vseContainer", 600, 240, 8415, 4935},     {u"txtPattern", 60, 60, 2715, 2370},
    {u"txtSourceString", 60, 2490, 2715, 2385},  {u"tvResults", 2835, 60, 2730, 4815},
    {u"txtReplaceVar", 5625, 60, 2730, 2370},    {u"txtResult", 5625, 2490, 2730, 2385},
    {u"chkGlobal", 120, 120, 915, 255},          {u"chkIgnoreCase", 1080, 120, 1395, 255},
    {u"chkMultiline", 2520, 120, 1095, 255},     {u"cmdExecute", 3300, 60, 1095, 375},
    {u"cmdExecuteAndOpen", 4500, 60, 1095, 375}, {u"cmdTest", 6900, 60, 1095, 375},
    {u"cmdReplace", 5700, 60, 1095, 375},        {u"chkIgnoreLineBreaks", 3660, 120, 1815, 255},
    {u"pnlSetting", 300, 5760, 8235, 495},
};

} // namespace

QSize designedClientPixels()
{
    return {Twips::toPixels(DesignedClientWidth), Twips::toPixels(DesignedClientHeight)};
}

QRect designedPixels(QStringView name)
{
    for (const DesignedControl &control : Designed) {
        if (control.name == name)
            return {Twips::toPixels(control.left), Twips::toPixels(control.top),
                    Twips::toPixels(control.width), Twips::toPixels(control.height)};
    }
    return {};
}
