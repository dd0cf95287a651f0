// The program started with arguments (see ProgramRun.h).
#include "ProgramRun.h"

#include "win32/WideText.h"

namespace {

struct WindowWatch {
    DWORD processId;
    bool seen;
};

BOOL CALLBACK NoteVisibleWindow(HWND window, LPARAM context)
{
    auto* watch = reinterpret_cast<WindowWatch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == watch->processId && IsWindowVisible(window)) {
        watch->seen = true;
        return FALSE;
    }
    return TRUE;
}

// Reads what the pipe holds now without waiting for more.
void DrainPipe(HANDLE pipe, std::string& into)
{
    if (!pipe)
        return;
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0)
            return;
        char buffer[4096];
        DWORD read = 0;
        if (!ReadFile(pipe, buffer, available < sizeof buffer ? available : sizeof buffer, &read, nullptr) ||
            read == 0)
            return;
        into.append(buffer, read);
    }
}

struct Pipe {
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    ~Pipe()
    {
        if (read)
            CloseHandle(read);
        CloseWrite();
    }
    void CloseWrite()
    {
        if (write)
            CloseHandle(write);
        write = nullptr;
    }
    bool Create()
    {
        SECURITY_ATTRIBUTES security = {sizeof security, nullptr, TRUE};
        if (!CreatePipe(&read, &write, &security, 1 << 16))
            return false;
        // Only the child's end is inherited.
        return SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0) != 0;
    }
};

} // namespace

ProgramRun RunProgram(const std::string& program, const std::string& arguments, RunConsole console,
                      DWORD timeoutMs)
{
    ProgramRun run;
    Pipe output;
    Pipe errors;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    DWORD flags = 0;
    BOOL inherit = FALSE;
    if (console == RunConsole::Captured) {
        if (!output.Create() || !errors.Create())
            return run;
        startup.hStdOutput = output.write;
        startup.hStdError = errors.write;
        inherit = TRUE;
    } else {
        flags = DETACHED_PROCESS;
    }

    std::wstring commandLine = Widen("\"" + program + "\" " + arguments);
    const std::string folder = program.substr(0, program.rfind('\\'));
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(Widen(program).c_str(), &commandLine[0], nullptr, nullptr, inherit, flags, nullptr,
                        Widen(folder).c_str(), &startup, &info))
        return run;
    run.started = true;
    CloseHandle(info.hThread);
    output.CloseWrite();
    errors.CloseWrite();

    const DWORD start = GetTickCount();
    for (;;) {
        WindowWatch watch = {info.dwProcessId, false};
        EnumWindows(NoteVisibleWindow, reinterpret_cast<LPARAM>(&watch));
        run.showedWindow = run.showedWindow || watch.seen;
        DrainPipe(output.read, run.output);
        DrainPipe(errors.read, run.errors);
        if (WaitForSingleObject(info.hProcess, 50) == WAIT_OBJECT_0) {
            run.ended = true;
            break;
        }
        if (GetTickCount() - start > timeoutMs)
            break;
    }
    if (!run.ended) {
        TerminateProcess(info.hProcess, 99);
        WaitForSingleObject(info.hProcess, 10000);
    }
    GetExitCodeProcess(info.hProcess, &run.exitCode);
    CloseHandle(info.hProcess);
    DrainPipe(output.read, run.output);
    DrainPipe(errors.read, run.errors);
    return run;
}

HANDLE StartProgram(const std::string& program, const std::string& arguments, DWORD* processId)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    std::wstring commandLine = Widen("\"" + program + "\" " + arguments);
    const std::string folder = program.substr(0, program.rfind('\\'));
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(Widen(program).c_str(), &commandLine[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                        Widen(folder).c_str(), &startup, &info))
        return nullptr;
    CloseHandle(info.hThread);
    *processId = info.dwProcessId;
    return info.hProcess;
}
