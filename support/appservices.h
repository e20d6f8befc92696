#pragma once
// The process-wide application services: the argument list, pressing a button, the About box.

#include "support/appinfo.h"
#include "support/commandlineargs.h"

#include <QIcon>
#include <QString>

class ModalHost;
class QAbstractButton;
class QWidget;

class AppServices
{
public:
    static AppServices &instance();

    // The same argument list on every call; start-up fills it with the process's arguments
    // (Qt's application object never sees them, so it cannot take any away).
    CommandLineArgs &CommandLine();
    // Runs the button's click action (nothing happens for a disabled button).
    void PushButton(QAbstractButton *button);
    // Modal About box through host over owner, with the application's title, version and executable
    // name; text (may be empty) and the application's description are shown below them. The name
    // text is the caller's name for the program's component and is not shown.
    void ShowAbout(ModalHost &host, QWidget *owner, const ApplicationInfo &app, const QString &text,
                   const QIcon &icon, const QString &nameText);

    // The About box's text for these arguments.
    static QString aboutText(const ApplicationInfo &app, const QString &text);

private:
    AppServices() = default;

    CommandLineArgs m_commandLine;
};
