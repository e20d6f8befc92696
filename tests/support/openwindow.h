#pragma once
// A main window as the window tests open it: shown and active.

#include "ui/main/frmmain.h"

#include <memory>

using Window = std::unique_ptr<frmMain>;

// A new main window, shown and active (a warning when it does not become active).
Window openWindow();
