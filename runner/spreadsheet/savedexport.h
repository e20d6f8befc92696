#pragma once
// What an export says when its workbook was written but no application opens it: where the
// file is, with the offer to open its folder or to save a copy elsewhere.

#include <QString>

class FileOpener;
class ModalHost;

// Shows through modal that the matches were saved to path (absolute), and carries out the
// choice: Open Folder hands the folder to opener (offering again when that fails too), Save a
// Copy asks for a file and copies the workbook there (a copy that fails is reported with Retry
// and Cancel), Close ends. The workbook itself is never moved or removed.
void OfferSavedExport(const QString &path, FileOpener &opener, ModalHost &modal);
