// A stand-in for the program's Tools\Regedit.exe that GUI tests place in a
// program copy, steered by files beside it:
// - it first creates "started";
// - while "hold" exists it waits (three minutes at most);
// - with "idle" it exports and merges nothing, else it hands its command line
//   to the system's registry editor and waits for it;
// - with "fail" it does nothing and ends with exit code 1, as an editor that
//   refused its file;
// - it creates "ended" just before it ends.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

constexpr DWORD kLongestHoldMs = 180000;

// Wide throughout: the program's folder may have any letters.
std::wstring OwnFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()))) >= path.size())
        path.resize(path.size() * 2);
    path.resize(length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Touch(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

// Everything after the program name on the command line.
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

int RunSystemEditor()
{
    wchar_t windowsFolder[MAX_PATH] = {};
    GetWindowsDirectoryW(windowsFolder, MAX_PATH);
    const std::wstring editor = std::wstring(windowsFolder) + L"\\regedit.exe";
    const std::wstring arguments = ArgumentsOf(GetCommandLineW());
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = editor.c_str();
    info.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info) || !info.hProcess)
        return 1;
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(info.hProcess, &exitCode);
    CloseHandle(info.hProcess);
    return static_cast<int>(exitCode);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::wstring folder = OwnFolder();
    Touch(folder + L"started");
    const DWORD start = GetTickCount();
    while (Exists(folder + L"hold") && GetTickCount() - start < kLongestHoldMs)
        Sleep(50);
    int result = 1;
    if (!Exists(folder + L"fail"))
        result = Exists(folder + L"idle") ? 0 : RunSystemEditor();
    Touch(folder + L"ended");
    return result;
}
