// The export of the found towns to a fixed-width text file (Windows-1251, every line ended by
// CR LF), written from the filtered town table itself in its own order:
//
//   line 1      103 "-"
//   line 2      the header: "Страна" at column 0, "Город" at 25, "Г.Долгота" at 65,
//               "Г.Широта" at 75, "Э.Долгота" at 85, "Э.Широта" at 95
//   line 3      103 "-"
//   then        one line per town: COUNTRY padded with blanks to 25 characters, CITY to 40,
//               G_DOLG, G_SHIR, E_DOLG and E_SHIR to 10 each, without separators: 105
//               characters (a longer text is written whole and shifts the rest of its line)
#pragma once

#include "platform/runtime/Object.h"
#include "platform/runtime/Strings.h"

#include <string>

class TDataSet;

namespace orv {

// Called before each town's line is built, with its number counted from 1: the main window
// lets its messages run and moves its progress bar.
using TExportProgressEvent = Event<void(Integer index)>;

// The line of the table's current record.
AnsiString TownExportLine(TDataSet* table);
// Adds the three header lines and, from the table's first record to its last, one line per
// town.
void AddTownExportLines(TDataSet* table, TStrings& lines, TExportProgressEvent progress = {});
// Writes the export of the table to the file, replacing it. A file that cannot be created
// raises EFCreateError (an EFileStreamError); nothing is written before every line is built.
void WriteTownExport(TDataSet* table, const AnsiString& fileName, TExportProgressEvent progress = {});

// Puts `bytes` in place of the file's contents without ever leaving a half-written file under
// its name: they go to a new file beside it, which then replaces it in one step (an existing
// file keeps its permissions). A file that may not be written (read-only, a folder) or a
// folder where nothing can be created raises EFCreateError; a failure while writing raises
// EWriteError. On a failure the old file stays as it was and nothing else is left behind.
void ReplaceFileContents(const AnsiString& fileName, const std::string& bytes);

// After an export, written, cancelled or failed: the table is closed and opened again (with
// the same filter, so the same towns) and stands on the town with the ID `savedId` when it is
// above 0, else on its first record.
void ReopenTownTable(TDataSet* table, Integer savedId);

// The box for an export file that cannot be created: "Невозможно записать файл".
void ShowExportFileError();

}  // namespace orv
