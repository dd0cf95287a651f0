// Exporting and deleting the selected rows of a registry item list, on the
// user-interface thread with a progress window.
#pragma once

#include "core/RegWriter.h"

#include <windows.h>

#include <string>
#include <vector>

class RegistryItemList;

// Sent to the page that holds a list when a change of its entries was
// refused for lack of rights that a restart as administrator would give.
constexpr UINT kOfferRestartMessage = WM_APP + 41;

// Tells the list's page to offer the restart as administrator when the
// process is not elevated and one of the failed steps' codes is a refusal
// of rights.
void OfferRestartForRights(const RegistryItemList& list, const std::vector<long>& failedResults);

// Writes the selected rows, or every row when none is selected, to
// `fileName`: a CSV report when the name ends in ".csv", a .reg file
// otherwise. With an empty name the user picks the file and its type. Returns
// what a .reg file got; nothing is written to an empty list or when the user
// cancels. A CSV report or .reg file that cannot be written whole (for a
// .reg file also one that leaves out entries it could not read) is not left
// behind, and the user is told.
RegExportResult ExportItems(RegistryItemList& list, const std::string& fileName);

// Puts the selected rows on the ignore list in the settings file and removes
// from the list every row the new entries cover (a key's entry covers the
// rows of its values and subkeys too). When the list cannot be stored the
// user is told and the rows stay.
void IgnoreSelectedItems(RegistryItemList& list);

// Asks whether the selected rows are to be deleted, naming their count, and
// deletes them when the user says yes (see DeleteItems). The Delete button,
// the Del key and the menu's Delete all come here.
void DeleteSelectedItems(RegistryItemList& list);

// Deletes the entries behind the selected rows without asking. Every entry
// is first written to a new backup file in the list's backup folder, and
// nothing is deleted when the selection holds a protected key or that backup
// cannot be written whole; the user is told which. Rows whose entries are
// gone are removed; a row whose entry is still there stays, unselected, and
// the user is told which entries remain and why (those the system refused
// for lack of rights need administrator rights).
void DeleteItems(RegistryItemList& list);
