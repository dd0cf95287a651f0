// Running the registry editor and reading how it ended (see EditorProcess.h).
#include "ui/EditorProcess.h"

#include "win32/Win32Handles.h"
#include "win32/WideText.h"

#include <windows.h>
#include <shellapi.h>

EditorExit RunEditorAndWait(const std::string& editorPath, const std::string& parameters)
{
    EditorExit exit;
    const std::wstring file = Widen(editorPath);
    const std::wstring wideParameters = Widen(parameters);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    // The page reports through its status line: no error box of the shell.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = file.c_str();
    info.lpParameters = wideParameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    const BOOL launched = ShellExecuteExW(&info);
    const UniqueHandle process(info.hProcess);
    if (!launched || !process)
        return exit;
    exit.started = true;
    if (WaitForSingleObject(process.Get(), INFINITE) != WAIT_OBJECT_0)
        return exit;
    DWORD code = 1;
    exit.succeeded = GetExitCodeProcess(process.Get(), &code) && code == 0;
    return exit;
}
