#pragma once
// Process set-up shared by the program and its tests.

#include <functional>

// Sets the organisation and application names (the placement store's location), the version
// and the fonts' fallbacks. Call once, right after the QApplication exists.
void configureApplication();
// True when a window can be shown: a display is named, or a Qt platform is forced.
bool hasDisplay();
// Creates the application and runs body in it; returns body's result. Qt would take the options
// it knows (-reverse, -style, ...) out of the arguments it is given, so it gets only argv[0] and
// takes its own settings from the environment (QT_QPA_PLATFORM, QT_STYLE_OVERRIDE, ...); every
// argument after argv[0] goes to the program's argument list exactly as given.
int runApplication(int argc, char *argv[], const std::function<int()> &body);
