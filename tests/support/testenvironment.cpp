#include "tests/support/testenvironment.h"

#include "startup/application.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {
QTemporaryDir &scratch()
{
    static QTemporaryDir dir;
    return dir;
}
} // namespace

void initTestEnvironment()
{
    QStandardPaths::setTestModeEnabled(true);
    configureApplication();
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, testScratchDir() + u"/config");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       testScratchDir() + u"/config");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // Test mode puts the cache folder (spreadsheet exports) under the home folder: the run's.
    const QString home = testScratchDir() + u"/home";
    QDir().mkpath(home);
    qputenv("HOME", QFile::encodeName(home));
    // Scratch files of the spreadsheet writer go with the run too.
    const QString temp = testScratchDir() + u"/tmp";
    QDir().mkpath(temp);
    qputenv("TMPDIR", QFile::encodeName(temp));
}

QString testScratchDir()
{
    return scratch().path();
}

void clearTestSettings()
{
    QSettings settings;
    settings.clear();
    settings.sync();
}
