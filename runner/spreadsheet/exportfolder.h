#pragma once
// Where the spreadsheet exports are kept: the user's cache folder, one file per export, named
// for what it holds and when it was made ("Sievewright matches 2026-12-07 14.30.05.xlsx"; the
// spreadsheet application shows the name in its title). An export older than a day is removed
// at the next export; the spreadsheet application has long since read it.

#include <QDateTime>
#include <QString>

namespace ExportFolder {
// The folder, absolute; it may not exist yet.
QString path();
// The file name without ".xlsx" of an export made at when (local time).
QString fileStem(const QDateTime &when);
// Removes the exports in folder last modified more than a day before now; any other file, and
// an export that can't be removed, stays. Returns how many were removed.
int removeStale(const QString &folder, const QDateTime &now);
} // namespace ExportFolder
