#include "startup/application.h"

#include "support/appinfo.h"

#include <QCoreApplication>

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
