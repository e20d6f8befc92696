#include "startup/application.h"
#include "startup/checkcommand.h"
#include "startup/modmain.h"
#include "support/desktopopener.h"
#include "support/heappolicy.h"
#include "support/modalhost.h"
#include "support/services.h"
#include "support/textfile.h"

#include <QApplication>
#include <QStringList>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    HeapPolicy::apply();
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (isCheckCommand(arguments)) {
        TextFile files;
        QTextStream out(stdout);
        QTextStream err(stderr);
        return runCheckCommand(arguments.mid(1), files, out, err);
    }
    if (!hasDisplay()) {
        std::fputs("sievewright: no display to show a window on (neither DISPLAY nor "
                   "WAYLAND_DISPLAY is set).\nStart it from a desktop session, or under "
                   "xvfb-run for a virtual one.\n",
                   stderr);
        return 1;
    }
    // Outlive the application and every window.
    TextFile files;
    DesktopOpener opener;
    ModalHost modal;
    const Services services{files, opener, modal};
    return runApplication(argc, argv, [&services] {
        if (!Main(services))
            return 0;
        // For the start-up benchmark: a line once the window is shown and the event loop runs.
        if (qEnvironmentVariableIsSet("SIEVEWRIGHT_REPORT_SHOWN"))
            QTimer::singleShot(0, [] {
                std::fputs("sievewright: shown\n", stdout);
                std::fflush(stdout);
            });
        return QApplication::exec();
    });
}
