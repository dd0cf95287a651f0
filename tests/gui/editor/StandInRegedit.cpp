// A stand-in for the program's Tools\Regedit.exe that GUI tests place in a
// program copy, steered by files beside it:
// - it first creates "started";
// - while "hold" exists it waits (three minutes at most);
// - with "idle" it exports and merges nothing, else it hands its command line
//   to the system's registry editor and waits for it;
// - it creates "ended" just before it ends.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

constexpr DWORD kLongestHoldMs = 180000;

std::string OwnFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Touch(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

// Everything after the program name on the command line.
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

int RunSystemEditor()
{
    char windowsFolder[MAX_PATH] = {};
    GetWindowsDirectoryA(windowsFolder, MAX_PATH);
    const std::string editor = std::string(windowsFolder) + "\\regedit.exe";
    const std::string arguments = ArgumentsOf(GetCommandLineA());
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = editor.c_str();
    info.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info) || !info.hProcess)
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
    const std::string folder = OwnFolder();
    Touch(folder + "started");
    const DWORD start = GetTickCount();
    while (Exists(folder + "hold") && GetTickCount() - start < kLongestHoldMs)
        Sleep(50);
    const int result = Exists(folder + "idle") ? 0 : RunSystemEditor();
    Touch(folder + "ended");
    return result;
}
