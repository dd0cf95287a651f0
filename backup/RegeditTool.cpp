// The suite's registry editor, Tools\Regedit.exe: it hands everything after
// its own program name on its command line, exactly as given, to the
// system's registry editor in the Windows folder, waits for it and ends with
// its exit code. So "/e", "/s" and opening at the key stored in LastKey work
// wherever the system's editor supports them.
#include <windows.h>

#include <string>

#include "app/Win32Handles.h"

namespace {

// Exit code when the system's editor could not be started at all.
constexpr int kEditorNotStarted = 1;

// The part of a command line after the program name, by the rules the C
// runtime uses to find argv[0]: a quoted name ends at the next quote, an
// unquoted one at the first blank or tab.
const char* ArgumentsOf(const char* commandLine)
{
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p == '"')
            ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            ++p;
    }
    return p;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char windowsFolder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryA(windowsFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return kEditorNotStarted;

    std::string editor = windowsFolder;
    if (editor.back() != '\\')
        editor += '\\';
    editor += "regedit.exe";

    const std::string arguments = ArgumentsOf(GetCommandLineA());
    std::string commandLine = "\"" + editor + "\"";
    if (!arguments.empty() && arguments[0] != ' ' && arguments[0] != '\t')
        commandLine += ' ';
    commandLine += arguments;

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(editor.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return kEditorNotStarted;
    const UniqueHandle thread(process.hThread);
    const UniqueHandle editorProcess(process.hProcess);
    WaitForSingleObject(editorProcess.Get(), INFINITE);
    DWORD exitCode = kEditorNotStarted;
    GetExitCodeProcess(editorProcess.Get(), &exitCode);
    return static_cast<int>(exitCode);
}
