#pragma once
// `sievewright --check FILE.RegExp...`: checks the samples kept beside each pattern file
// without a window or a display. One line per failed sample (file, sample number, expected,
// got) and a closing "N passed, M failed" on out; a file that cannot be read is named on err
// with the reason. Exit status 0 when every sample passed, 1 when one failed, 2 when a file
// could not be read.

#include <QStringList>

class FileStore;
class QTextStream;

// True when the arguments (without the program's name) ask for the check.
bool isCheckCommand(const QStringList &arguments);
// Runs the check for the arguments after "--check"; returns the exit status.
int runCheckCommand(const QStringList &files, FileStore &store, QTextStream &out, QTextStream &err);
