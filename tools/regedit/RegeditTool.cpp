// The registry editor the program expects beside it, Tools\Regedit.exe: it
// hands everything after its own program name on its command line, as given,
// to the system's registry editor in the Windows folder, waits for it and ends
// with its exit code. So "/e", "/s" and opening at the key stored in LastKey work wherever
// the system's editor supports them. The command line is taken and handed on
// as wide text, so paths and keys of any letters arrive unchanged.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "win32/Win32Handles.h"

namespace {

// Exit code when the system's editor could not be started at all.
constexpr int kEditorNotStarted = 1;
// CreateProcess's answer for a program whose manifest asks to run elevated
// (ERROR_ELEVATION_REQUIRED).
constexpr DWORD kElevationRequired = 740;

// The part of a command line after the program name, by the rules the C
// runtime uses to find argv[0]: a quoted name ends at the next quote, an
// unquoted one at the first blank or tab. The blanks before the first
// parameter are not part of it.
const wchar_t* ArgumentsOf(const wchar_t* commandLine)
{
    const wchar_t* p = commandLine;
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"')
            ++p;
        if (*p == L'"')
            ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t')
            ++p;
    }
    while (*p == L' ' || *p == L'\t')
        ++p;
    return p;
}

// The Windows folder, however long; empty when the system does not tell.
std::wstring WindowsFolder()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const UINT length = GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0)
            return std::wstring();
        // Too small a buffer gives the size needed, terminator included.
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.assign(length, L'\0');
    }
}

// Starts the editor with the arguments; the process, or none.
UniqueHandle StartEditor(const std::wstring& editor, const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + editor + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created = {};
    if (CreateProcessW(editor.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &created)) {
        CloseHandle(created.hThread);
        return UniqueHandle(created.hProcess);
    }
    if (GetLastError() != kElevationRequired)
        return UniqueHandle();
    // The system's editor may ask to run elevated, which only the shell can
    // arrange; the parameters go over the same.
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = editor.c_str();
    info.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info))
        return UniqueHandle();
    return UniqueHandle(info.hProcess);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    std::wstring editor = WindowsFolder();
    if (editor.empty())
        return kEditorNotStarted;
    if (editor.back() != L'\\')
        editor += L'\\';
    editor += L"regedit.exe";

    const UniqueHandle process = StartEditor(editor, ArgumentsOf(GetCommandLineW()));
    if (!process)
        return kEditorNotStarted;
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = kEditorNotStarted;
    GetExitCodeProcess(process.Get(), &exitCode);
    return static_cast<int>(exitCode);
}
