#pragma once
// A main window as the window tests open it: shown and active.

#include "tests/support/testservices.h"
#include "ui/main/frmmain.h"

#include <memory>

using Window = std::unique_ptr<frmMain>;

// A new main window on services (not owned), shown and active (a warning when it does not
// become active).
Window openWindow(const Services &services = testServices());
