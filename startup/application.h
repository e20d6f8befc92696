#pragma once
// Process set-up shared by the program and its tests.

// Sets the organisation and application names (the placement store's location), the version
// and the fonts' fallbacks. Call once, right after the QApplication exists.
void configureApplication();
// True when a window can be shown: a display is named, or a Qt platform is forced.
bool hasDisplay();
