// The registry editor the program expects beside it, Tools\Regedit.exe: it
// hands everything after its own program name on its command line, as given,
// to the system's registry editor in the Windows folder, waits for it and ends
// with its exit code. So "/e", "/s" and opening at the key stored in LastKey work wherever
// the system's editor supports them.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "win32/Win32Handles.h"

namespace {

// Exit code when the system's editor could not be started at all.
constexpr int kEditorNotStarted = 1;

// The part of a command line after the program name, by the rules the C
// runtime uses to find argv[0]: a quoted name ends at the next quote, an
// unquoted one at the first blank or tab. The blanks before the first
// parameter are not part of it.
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
    while (*p == ' ' || *p == '\t')
        ++p;
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

    // Through the shell rather than CreateProcess: the system's editor may
    // ask to run elevated, which only the shell can arrange.
    const std::string arguments = ArgumentsOf(GetCommandLineA());
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = editor.c_str();
    info.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info))
        return kEditorNotStarted;
    const UniqueHandle process(info.hProcess);
    if (!process)
        return kEditorNotStarted;
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = kEditorNotStarted;
    GetExitCodeProcess(process.Get(), &exitCode);
    return static_cast<int>(exitCode);
}
