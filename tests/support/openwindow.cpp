#include "tests/support/openwindow.h"

#include "tests/support/programservices.h"

#include <QTest>

Window openWindow()
{
    auto window = std::make_unique<frmMain>(programServices());
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("window did not become active");
    return window;
}
