#include "startup/application.h"

#include "support/appinfo.h"
#include "support/appservices.h"

#include <QApplication>
#include <QStringList>

void configureApplication()
{
    QCoreApplication::setOrganizationName(AppInfo::Organization.toString());
    QCoreApplication::setApplicationName(AppInfo::Application.toString());
    QCoreApplication::setApplicationVersion(AppInfo::Version.toString());
}

bool hasDisplay()
{
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

int runApplication(int argc, char *argv[], const std::function<int()> &body)
{
    // Qt keeps a reference to the count for the application's life.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    configureApplication();
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    AppServices::instance().CommandLine().SetArguments(arguments);
    return body();
}
