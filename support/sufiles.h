#pragma once
// File names, folders and the program's own files.

#include <QString>

class FileOpener;

// Records the program's location; always succeeds.
bool suRegisterAppPath();
// True only inside the development environment, which this program never runs in.
bool suIsInIDE();

// The absolute, cleaned path of name, taken against the current directory; empty stays empty.
QString suGetFullFileName(const QString &name);
// The part after the last '/': "Sample.RegExp" for "/work/Sample.RegExp".
QString suGetFileName(const QString &path);
// The folder part without the final '/': "/work" for "/work/Sample.RegExp"; empty for a bare name.
QString suGetFilePath(const QString &path);
QString suGetCurrentDirectory();

// The read-me that ships with the program: beside the installed program, else in the source
// tree the program was built from. Empty when neither exists.
QString suReadMeFilePath();
// Opens the read-me through opener; false when there is none to open.
bool suOpenReadMeFile(FileOpener &opener);
