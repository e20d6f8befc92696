#pragma once
// Execute and open in Excel, after the results tree is filled: writes every match of the run
// into column A and its submatches from column B on, one row per match below a formatted header
// row, in a new worksheet "Matches" that is left open for the user in the desktop's spreadsheet
// application (through the opener it is given). The file is kept in ExportFolder.

#include "runner/engine/regexp.h"

#include <QString>
#include <QStringView>

class FileOpener;
class ModalHost;

// Takes the matches of a run's result. Ends at once for no match or a single empty match; shows the
// wait pointer meanwhile. A text longer than a cell holds is cut at the limit, and one message
// after the export says how many cells were cut. Where no application opens the file written,
// a message says where it was saved (OfferSavedExport). Any failure (a write failure, more rows
// than a sheet holds) is reported in one message instead; what was written before it is still
// opened. The messages show through modal. Never throws.
void ExportMatchesToExcel(const engine::MatchCollection &matches, FileOpener &opener,
                          ModalHost &modal);

// The value for a cell, so that the cell shows exactly text: a text beginning with "=", "-" or
// "'" gets the text marker "'" in front (one at most); any other text is returned unchanged.
QString ToCellText(QStringView text);
