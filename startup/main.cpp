#include "startup/application.h"
#include "startup/modmain.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (!hasDisplay()) {
        std::fputs("sievewright: no display to show a window on (neither DISPLAY nor "
                   "WAYLAND_DISPLAY is set).\nStart it from a desktop session, or under "
                   "xvfb-run for a virtual one.\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    configureApplication();
    if (!Main())
        return 0;
    return QApplication::exec();
}
