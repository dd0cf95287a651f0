// The key checks of the cleaner tasks that look at the direct subkeys of a
// few keys (tasks 5, 7 and 10), and the menu folder map of task 7. Each check
// has the EnumSubKeys visitor form; its context is the task's ScanContext.
// Every finding is a key to delete with its subtree. Platform-free.
#pragma once

#include <string>

#include "core/ScanContext.h"
#include "core/Platform.h"

// Task 5: an uninstall record without values, or whose "UninstallString"
// names a missing file.
void CheckUninstallEntry(RootKey root, const std::string& keyPath, const std::string& subKeyName,
                         void* context);

// Adds every folder directly inside folder to map (name to full path),
// emptying the map first when clear is set. Files, "." and ".." are left out.
void ListSubfolders(FileSystem& files, const std::string& folder,
                    MenuFolderMap& map, bool clear);

// The program folders of the user's and the common start menu, as the shell
// folder values name them, listed into one map.
void BuildMenuFolderMap(RegistryAccess& registry, FileSystem& files, MenuFolderMap& map);

// Task 7: a saved start-menu order for a program group that is in neither
// program folder (context.menuFolders).
void CheckMenuOrderEntry(RootKey root, const std::string& keyPath, const std::string& subKeyName,
                         void* context);

// Task 7: a key directly below "Software" with neither subkeys nor values.
void CheckEmptySoftwareKey(RootKey root, const std::string& keyPath,
                           const std::string& subKeyName, void* context);

// Task 7: a file extension whose class opens files with a missing program;
// the extension key (not scrolled into view) and, when it is another key, the
// class key, both showing the open command.
void CheckFileAssociation(RootKey root, const std::string& keyPath, const std::string& subKeyName,
                          void* context);

// Task 10: an installed time zone other than the one in use, showing its
// standard name.
void CheckTimeZone(RootKey root, const std::string& keyPath, const std::string& subKeyName,
                   void* context);
