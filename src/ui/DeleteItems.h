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

// Deletes the entries behind the selected rows. When the list has a backup
// folder, every selected entry is first written to a new backup file there;
// if that backup cannot be written completely nothing is deleted and the
// user is told. Rows whose entries are gone are removed; a row whose entry
// is still there after a failed deletion stays, unselected.
void DeleteItems(RegistryItemList& list);
