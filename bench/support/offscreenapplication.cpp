#include "bench/support/offscreenapplication.h"

#include "startup/application.h"
#include "support/heappolicy.h"

#include <QApplication>
#include <QFile>
#include <QStandardPaths>

OffscreenApplication::HeapPolicyFirst::HeapPolicyFirst()
{
    HeapPolicy::apply();
}

OffscreenApplication::OffscreenApplication(int &argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_scratch.path()));
    m_application = std::make_unique<QApplication>(argc, argv);
    configureApplication();
    QStandardPaths::setTestModeEnabled(true);
}

OffscreenApplication::~OffscreenApplication() = default;
