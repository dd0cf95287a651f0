// Runs the registry editor beside the program and waits for it, with what the
// backup page needs to know of the run: whether the editor started at all and
// whether it ended with success.
#pragma once

#include <string>

struct EditorExit {
    bool started = false;     // the system started the editor
    bool succeeded = false;   // it ended with exit code 0
};

// Starts the editor with the parameters (as RegeditImportParameters or
// RegeditExportParameters give them), without any error box of the shell,
// and returns once it has ended.
EditorExit RunEditorAndWait(const std::string& editorPath, const std::string& parameters);
