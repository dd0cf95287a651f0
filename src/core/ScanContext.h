// What a running cleaner task hands from check to check (the platform, the
// sink, the stop flag and what the task builds for its checks), the two shapes
// of a finding, and the guard that keeps the keys holding every class or
// program registration of the machine out of the findings. Platform-free.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "core/ScanTasks.h"
#include "core/Platform.h"

class ScanCache;

// The program groups of the start menus: folder name to full folder path.
// Names are compared ignoring case when the map is read.
using MenuFolderMap = std::map<std::string, std::string>;

// The context every check of a task receives.
struct ScanContext {
    ScanContext(Platform& platform, const FindingSink& sink, const std::atomic<bool>* stop,
                ScanCache* cache = nullptr)
        : platform(platform), sink(sink), stop(stop), cache(cache)
    {
    }

    bool Stopped() const { return stop && stop->load(); }

    Platform& platform;
    const FindingSink sink;
    const std::atomic<bool>* stop = nullptr;
    // The scan's file answers, when the caller keeps them for the whole scan.
    ScanCache* cache = nullptr;
    // Class checks: how many path components a class key has in the walk under
    // way (2 for "CLSID\{x}", 4 for "Software\Classes\CLSID\{x}"). No class
    // finding names a key above that level.
    std::size_t classKeyLevel = 0;
    // Menu order checks: the folders of both start-menu program folders.
    MenuFolderMap menuFolders;
};

// The data read as a string as Windows stores it (UTF-16 LE), up to its
// first zero unit and never beyond size.
std::string DataAsText(const std::uint8_t* data, std::uint32_t size);

// keyPath + "\" + subKeyName, or the name alone below a root.
std::string SubKeyPath(const std::string& keyPath, const std::string& subKeyName);

// Components of a key path (empty ones included); 0 for "".
std::size_t CountPathComponents(const std::string& keyPath);

// True when the text is a drive-qualified path on a fixed disk whose file is gone.
bool NamesMissingFile(FileSystem& files, TextRules& textRules, const std::string& text);

// The same answer for a check of a task, through the scan's cache when there
// is one.
bool NamesMissingFile(ScanContext& context, const std::string& text);

// Key paths no finding may name, because deleting them would take every class
// registration (or every program's settings) with them: a path with fewer than
// two components, a path with an empty component (it could be trimmed into its
// parent on deletion), "Software\Classes" and "Software\Classes\CLSID".
bool IsProtectedKeyPath(TextRules& textRules, const std::string& keyPath);

// The same keys, and every other view of the roots of the class registrations
// with their "CLSID" keys, in both the 64-bit and the 32-bit ("WOW6432Node")
// view, as they appear below the given root: "CLSID", "WOW6432Node" and
// "WOW6432Node\CLSID" of HKEY_CLASSES_ROOT; "Software\Classes" and
// "Software\WOW6432Node\Classes" of any root, each with "CLSID",
// "WOW6432Node" and "WOW6432Node\CLSID" below it; under HKEY_USERS the same
// below every user's hive ("<user>\Software\Classes") and the user's classes
// hive "<user>_Classes" with its own "CLSID" and "WOW6432Node" keys. Compared
// without regard to case.
bool IsProtectedKey(TextRules& textRules, RootKey root, const std::string& keyPath);

// A value to delete: image 0 for a REG_SZ value, else 2; the row's type is the
// value's type. Nothing is added once the scan has been stopped.
void ReportValueFinding(ScanContext& context, RootKey root, const std::string& keyPath,
                        const std::string& valueName, std::uint32_t type,
                        const std::string& dataText);

// A key to delete with its subtree: empty value name, image 1, kKeyRowType.
// Held back when the key is protected (IsProtectedKey) or the scan has been
// stopped.
void ReportKeyFinding(ScanContext& context, RootKey root, const std::string& keyPath,
                      const std::string& dataText, bool scrollIntoView = true);
