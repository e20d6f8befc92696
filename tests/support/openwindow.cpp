#include "tests/support/openwindow.h"

#include <QTest>

Window openWindow(const Services &services)
{
    auto window = std::make_unique<frmMain>(services);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("window did not become active");
    return window;
}
