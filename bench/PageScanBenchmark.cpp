// Times a full scan through the cleaner page, as the user runs it: starts
// Quorvane.exe (its config.xml ticks every task), presses Scan and waits for
// the end-of-scan status, then prints the time, the row count and the
// program's peak memory.
//
//   page-scan-benchmark.exe <path of Quorvane.exe>
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

constexpr int kPageContainer = 4193;
constexpr int kPageHost = 1001;
constexpr int kTasks = 1004;
constexpr int kResults = 1005;
constexpr int kScan = 1007;
constexpr int kStatus = 1010;

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && GetMenu(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

std::string Text(HWND window)
{
    char buffer[2048] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, 10000,
                        nullptr);
    return buffer;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: page-scan-benchmark <Quorvane.exe>\n");
        return 2;
    }
    const std::string program = argv[1];
    const std::string folder = program.substr(0, program.rfind('\\'));
    char doneText[512] = {};
    GetPrivateProfileStringA("String", "_PageRegistryCleanerState3", "", doneText, sizeof doneText,
                             (folder + "\\Quorvane.language").c_str());
    std::string donePrefix = doneText;
    donePrefix = donePrefix.substr(0, donePrefix.find('%'));

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string line = "\"" + program + "\"";
    if (!CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &info)) {
        std::fprintf(stderr, "cannot start %s\n", program.c_str());
        return 1;
    }
    Search search = {info.dwProcessId, nullptr};
    for (int i = 0; i < 600 && !search.found; ++i) {
        Sleep(100);
        EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
    }
    if (!search.found) {
        std::fprintf(stderr, "no main window\n");
        TerminateProcess(info.hProcess, 1);
        return 1;
    }
    HWND splitter = GetWindow(GetDlgItem(search.found, kPageHost), GW_CHILD);
    HWND container = GetDlgItem(splitter, kPageContainer);
    HWND page = nullptr;
    for (HWND child = GetWindow(container, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgItem(child, kTasks))
            page = child;
    if (!page) {
        std::fprintf(stderr, "no cleaner page\n");
        TerminateProcess(info.hProcess, 1);
        return 1;
    }

    const auto start = std::chrono::steady_clock::now();
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(kScan, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, kScan)));
    Sleep(200);
    std::string status;
    for (;;) {
        Sleep(100);
        status = Text(GetDlgItem(page, kStatus));
        if (!donePrefix.empty() && status.compare(0, donePrefix.size(), donePrefix) == 0 &&
            IsWindowEnabled(GetDlgItem(page, kScan)))
            break;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const int rows = static_cast<int>(SendMessageA(GetDlgItem(page, kResults), LVM_GETITEMCOUNT, 0, 0));

    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(info.hProcess, &memory, sizeof memory);
    std::printf("c (full scan through the cleaner page): %.2f s, %d rows, status \"%s\", peak working set %.1f MB\n",
                seconds, rows, status.c_str(), memory.PeakWorkingSetSize / 1048576.0);

    PostMessageA(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info.hProcess, 60000) != WAIT_OBJECT_0)
        TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return 0;
}
