// The program's command line: the runs without a window (a scan or a search
// that writes a CSV report, a whole-registry backup), the usage text, or no
// arguments at all for the window as always. Parsing only; the entry point
// carries out what it asks for. Platform-free.
//
//   /scan [/tasks:1,4,5] /report:<file.csv>
//   /search:<keyword> [/keys] [/values] [/data] [/wildcard] [/whole] [/case]
//           [/roots:HKCR,HKCU,HKLM,HKU,HKCC] /report:<file.csv>
//   /diff:<backup.reg> /report:<file.csv>
//   /backup [/keep:N]
//   /page:cleaner|search|backup     (the window, opened on that page)
//   /?
//
// Switch names are compared without regard to case; values are kept as
// given. Anything else is refused with a reason, never passed over.
#pragma once

#include <string>
#include <vector>

#include "core/Platform.h"
#include "core/SearchEngine.h"

// Exit codes of the runs without a window.
constexpr int kExitNothingFound = 0;     // also: the backup was written
constexpr int kExitSomethingFound = 1;
constexpr int kExitBadCommandLine = 2;
constexpr int kExitRunFailed = 3;        // the report or backup could not be written

// The language key of the usage text (lines broken by "\n").
constexpr const char* kCommandLineUsageKey = "_CommandLineUsage";

enum class CommandAction {
    Window,    // no arguments: the main window as always
    Usage,     // "/?"
    Scan,
    Search,
    Backup,
    Diff,      // compare a REG file with the registry
    Invalid,   // see errorKey
};

// The page a window opens on.
enum class OpeningPage { Cleaner, Search, Backup };

struct CommandLineRequest {
    CommandAction action = CommandAction::Window;

    // Invalid: the language key of the reason, and the argument it is about
    // as given (empty when the reason is about the line as a whole). The
    // message is the reason's text, then a blank and the argument.
    std::string errorKey;
    std::string errorDetail;

    // Scan, Search and Diff: the report file as given.
    std::string reportPath;

    // Scan: the checks to run, ascending; empty for the ones ticked in the
    // settings file.
    std::vector<int> tasks;

    // Search: the keyword, and the options and root keys given. Without any
    // of /keys, /values, /data, /wildcard, /whole and /case the six options
    // come from the settings file ("custom"), and so do the root keys without
    // /roots; the flags here are then all off.
    SearchOptions search;
    bool searchOptionsGiven = false;
    bool searchRootsGiven = false;

    // Diff: the REG file to compare with the registry, as given.
    std::string diffPath;
    // Backup: how many whole-registry backups to keep, or 0 to keep them all.
    int keepBackups = 0;

    // Window: the page shown first, and whether "/page:" named it. A window
    // opened on a page named so is the restart of a running copy (as
    // administrator), which waits for that copy to close.
    OpeningPage openingPage = OpeningPage::Cleaner;
    bool openingPageGiven = false;
};

// The arguments of a command line (the part after the program name) as the
// system's runtime splits it: blanks and tabs separate arguments outside
// double quotes; a pair of quotes inside quotes gives one quote; 2n
// backslashes before a quote give n backslashes and the quote opens or closes,
// 2n+1 give n backslashes and a quote of the text; other backslashes are
// kept. A double-byte character is taken whole.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// The command line that opens the window on `page` ("/page:search").
std::string OpeningPageArguments(OpeningPage page);

// Parses the command line (after the program name).
CommandLineRequest ParseCommandLine(TextRules& textRules, const std::string& commandLine);
