// Exporting and deleting the selected rows of a registry item list, on the
// user-interface thread with a progress window.
#pragma once

#include "core/RegWriter.h"

#include <string>

class RegistryItemList;

// Writes the selected rows to `fileName`; with an empty name the user picks
// the file. Returns what was written; nothing is written without a selection
// or when the user cancels.
RegExportResult ExportItems(RegistryItemList& list, const std::string& fileName);

// Asks whether the selected rows are to be deleted, naming their count, and
// deletes them when the user says yes (see DeleteItems). The Delete button,
// the Del key and the menu's Delete all come here.
void DeleteSelectedItems(RegistryItemList& list);

// Deletes the entries behind the selected rows without asking. Every entry
// is first written to a new backup file in the list's backup folder, and
// nothing is deleted when the selection holds a protected key or that backup
// cannot be written whole; the user is told which. Rows whose entries are
// gone are removed; a row whose entry is still there stays, unselected.
void DeleteItems(RegistryItemList& list);
