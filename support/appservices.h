#pragma once
// The process-wide application services: the argument list, pressing a button, the About box.

#include "support/appinfo.h"
#include "support/commandlineargs.h"

#include <QIcon>
#include <QString>

class QAbstractButton;
class QWidget;

class AppServices
{
public:
    static AppServices &instance();

    // The same argument list on every call; filled from the process's arguments on first use.
    CommandLineArgs &CommandLine();
    // Runs the button's click action (nothing happens for a disabled button).
    void PushButton(QAbstractButton *button);
    // Modal About box over owner, with the application's title, version and executable name;
    // text (may be empty) and nameText are shown below them.
    void ShowAbout(QWidget *owner, const ApplicationInfo &app, const QString &text,
                   const QIcon &icon, const QString &nameText);

    // The About box's text for these arguments.
    static QString aboutText(const ApplicationInfo &app, const QString &text,
                             const QString &nameText);

private:
    AppServices() = default;

    CommandLineArgs m_commandLine;
    bool m_commandLineRead = false;
};
