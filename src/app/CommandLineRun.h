// The runs of the program without a window, for scripts and scheduled tasks:
// a scan or a search that writes a CSV report, a whole-registry backup with
// the older ones thinned out, and the usage text. A run takes no part in the
// single-instance rule: it opens no window and leaves a running window of the
// program alone.
//
// Messages go to the caller's console: to standard output or error when they
// lead to a file, pipe or console, else to the console of the parent process
// when there is one. A file or pipe gets UTF-8 text; a console is handed the
// characters themselves. Without a console the reason a run failed is written in the
// report's place, so that a scheduled task leaves it where its report would
// have been, and only when the action writes a report (/scan, /search). The
// usage asked for with /? is shown in a message box only without a console
// and in the window station of an interactive session; a run in the
// background (a service, a task run whether a user is logged on or not)
// shows nothing and never waits.
#pragma once

#include <string>

#include "core/CommandLine.h"

// Carries out a request other than CommandAction::Window and gives the
// process exit code (kExitNothingFound and the others of CommandLine.h).
// commandLine is the part after the program name, as the request was parsed
// from. refusalKey is the language key of why the program cannot work on
// this system, or null; a run other than the usage then fails with that
// reason. COM must be initialised on the calling thread and the language file
// set.
int RunCommandLine(const CommandLineRequest& request, const std::string& commandLine,
                   const char* refusalKey);
