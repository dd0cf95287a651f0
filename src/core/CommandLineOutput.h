// Where the texts of a run without a window go when it has something to say
// and nobody may be waiting to read it: a scheduled task has no console and
// no person before a screen, and a message box would hold it for ever.
// Platform-free.
#pragma once

#include <string>

#include "core/Platform.h"

enum class UsagePlace {
    kConsole,      // the caller's console, file or pipe
    kMessageBox,   // a person started the program by hand on a visible desktop
    kNowhere,      // the exit code alone tells
};

// The usage asked for with /?: on the console when there is one; else in a
// message box only when the process runs in the window station a person
// sees (an interactive session); else nowhere, so that a run started by a
// service or a task in the background never waits for a click.
UsagePlace PlaceOfUsage(bool hasConsole, bool interactiveWindowStation);

// The file a refused command line may write its reason into: the value of
// the first /report: when the arguments name exactly one action and it is
// /scan or /search, the actions that write a report; else empty. Beside
// /backup or /? a /report: names no file the run would ever write, so
// nothing is written there.
std::string RefusalReportPath(TextRules& textRules, const std::string& commandLine);
