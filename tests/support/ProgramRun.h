// The program started with arguments and waited for, as a script or the
// Task Scheduler starts it: without a console of its own, or with its
// standard output and error led into pipes that are read while it runs.
#pragma once

#include <windows.h>

#include <string>

enum class RunConsole {
    None,       // no console to attach to and no standard handles
    Captured,   // standard output and error go to pipes
};

struct ProgramRun {
    bool started = false;
    bool ended = false;          // on its own within the timeout (else it was ended)
    DWORD exitCode = 0;
    bool showedWindow = false;   // a visible top-level window of the process was seen
    std::string output;          // what it wrote to standard output (Captured)
    std::string errors;          // what it wrote to standard error (Captured)
};

// Starts `program` with the arguments (put after the quoted program name),
// in the program's folder, and waits up to timeoutMs for it to end, watching
// for windows of the process meanwhile.
ProgramRun RunProgram(const std::string& program, const std::string& arguments, RunConsole console,
                      DWORD timeoutMs = 60000);

// Starts `program` with the arguments as RunConsole::None does and returns
// at once: the process handle (closed by the caller), or null.
HANDLE StartProgram(const std::string& program, const std::string& arguments, DWORD* processId);
