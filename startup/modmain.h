#pragma once
// Start-up: the command-line check, the usage message and the main window.

#include <QString>

class ModalHost;
struct Services;

// Prepares the process, checks the command line and shows the main window. Returns true when
// the main window is showing (the caller then runs the event loop), false when the usage
// message was shown and the program is to end. The window is handed the services.
bool Main(const Services &services);
// True when start-up goes on to the main window: no argument, or one that is not "/?";
// otherwise shows the usage through modal.
bool CheckCommandLine(ModalHost &modal);
// The usage text: "Usage: " + executable base name + "[.EXE] [RegExpFileName]".
QString usageText();
// Shows the usage text in an information box captioned with the application title.
void ShowUsage(ModalHost &modal);
