#pragma once
// Replacing a file's whole content so that a failure at any step leaves the old file as it was:
// the bytes go to a new file beside it, which is flushed to the disk, checked for its size and
// only then renamed over the old one. The old file's mode, owner (where allowed) and extended
// attributes go to the new one; other hard links to the old file keep the old content.

#include <QByteArray>
#include <QString>

// Writes bytes as the whole content of fileName (a symbolic link: of the file it leads to).
// Throws AppError with the true reason on every failure (short write, full disk, file size
// limit, failed flush or sync, failed rename); nothing is left beside the file then.
void replaceFileContent(const QString &fileName, const QByteArray &bytes);
