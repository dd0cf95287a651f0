// Times the cleaner as the user runs it, through its window: starts
// Quorvane.exe (its config.xml ticks every task) and drives the cleaner page
// by its control ids from outside, the way a user's clicks reach it.
//
//   page-scan-benchmark.exe <path of Quorvane.exe> [rounds] [probe]
//
// Prints, one figure per line so that scripts can read them:
//   scan <round> <seconds> <rows>    a full scan from the Scan click to the end-of-scan status
//   sort <column> <milliseconds>     a header click on a full list, until the list has sorted
//   stop <when> <milliseconds> <rows>
//                                    a Stop click during a scan, until the click has been handled
//   peak-working-set <MB>            the program's peak memory over the whole run
// With probe "stops" only the stop probes run after one scan (the list's
// rows are counted first, so that a stop with nearly every row listed can be
// aimed at); with "scan" only the scans and sorts.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "win32/WideText.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPageContainer = 4193;
constexpr int kPageHost = 1001;
constexpr int kTasks = 1004;
constexpr int kResults = 1005;
constexpr int kScan = 1007;
constexpr int kStop = 1008;
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
    wchar_t buffer[2048] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, sizeof buffer / sizeof buffer[0], reinterpret_cast<LPARAM>(buffer),
                        SMTO_NORMAL, 10000, nullptr);
    return NarrowZ(buffer);
}

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string LanguageText(const std::string& folder, const char* key)
{
    wchar_t text[512] = {};
    GetPrivateProfileStringW(L"String", Widen(key).c_str(), L"", text, sizeof text / sizeof text[0],
                             Widen(folder + "\\Quorvane.language").c_str());
    return NarrowZ(text);
}

class CleanerPage {
public:
    CleanerPage(HWND page, std::string donePrefix) : page_(page), donePrefix_(std::move(donePrefix)) {}

    int Rows() const { return static_cast<int>(SendMessageW(Item(kResults), LVM_GETITEMCOUNT, 0, 0)); }

    bool Idle() const { return IsWindowEnabled(Item(kScan)) != FALSE; }

    // Returns once the page has handled the click (the scan has started).
    void ClickScan() const
    {
        SendMessageW(page_, WM_COMMAND, MAKEWPARAM(kScan, BN_CLICKED), reinterpret_cast<LPARAM>(Item(kScan)));
    }

    // Waits until the scan started by ClickScan has ended: its Scan button is
    // enabled again and the status line says it is complete. The button's
    // state is read without a message to the page, so that watching does not
    // keep the page's thread busy; the status text is asked for only then.
    std::string WaitForEnd() const
    {
        for (;;) {
            Sleep(20);
            if (!Idle())
                continue;
            const std::string status = Text(Item(kStatus));
            if (status.compare(0, donePrefix_.size(), donePrefix_) == 0)
                return status;
        }
    }

    // The time a Stop click takes, from sending it until the page has
    // handled it (the page answers a sent message only when it is free).
    double ClickStop() const
    {
        const Clock::time_point start = Clock::now();
        SendMessageW(page_, WM_COMMAND, MAKEWPARAM(kStop, BN_CLICKED), reinterpret_cast<LPARAM>(Item(kStop)));
        return MillisecondsSince(start);
    }

    // A click on a column header of the result list, as the mouse sends it;
    // returns when the list has handled it (and sorted).
    double ClickHeader(HANDLE process, int column) const
    {
        HWND list = Item(kResults);
        HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
        RECT rect = {};
        if (remote && SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                                   reinterpret_cast<LPARAM>(remote)))
            ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr);
        if (remote)
            VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        const Clock::time_point start = Clock::now();
        SendMessageW(header, WM_MOUSEMOVE, 0, point);
        SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageW(header, WM_LBUTTONUP, 0, point);
        // The list repaints what it shows before it answers again.
        UpdateWindow(list);
        SendMessageW(list, WM_NULL, 0, 0);
        return MillisecondsSince(start);
    }

private:
    HWND Item(int id) const { return GetDlgItem(page_, id); }

    HWND page_;
    std::string donePrefix_;
};

HWND FindCleanerPage(HWND mainWindow)
{
    HWND splitter = GetWindow(GetDlgItem(mainWindow, kPageHost), GW_CHILD);
    HWND container = GetDlgItem(splitter, kPageContainer);
    for (HWND child = GetWindow(container, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgItem(child, kTasks))
            return child;
    return nullptr;
}

// Stops a running scan after `delayMs`, or once the list holds `rows` rows
// when rows > 0; prints the time the Stop click took.
void ProbeStop(const CleanerPage& page, const char* when, DWORD delayMs, int rows)
{
    page.ClickScan();
    if (rows > 0) {
        while (page.Rows() < rows && !page.Idle())
            Sleep(5);
    } else {
        Sleep(delayMs);
    }
    const bool running = !page.Idle();
    const double ms = page.ClickStop();
    std::printf("stop %s %.1f %d%s\n", when, ms, page.Rows(), running ? "" : " (the scan had already ended)");
    std::fflush(stdout);
    Sleep(300);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: page-scan-benchmark <Quorvane.exe> [rounds] [scan|stops]\n");
        return 2;
    }
    const std::string program = argv[1];
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
    const std::string probe = argc > 3 ? argv[3] : "";
    const std::string folder = program.substr(0, program.rfind('\\'));
    std::string donePrefix = LanguageText(folder, "_PageRegistryCleanerState3");
    donePrefix = donePrefix.substr(0, donePrefix.find('%'));
    if (donePrefix.empty()) {
        std::fprintf(stderr, "no end-of-scan text in the language file beside %s\n", program.c_str());
        return 1;
    }

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::wstring line = Widen("\"" + program + "\"");
    if (!CreateProcessW(Widen(program).c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, Widen(folder).c_str(), &startup,
                        &info)) {
        std::fprintf(stderr, "cannot start %s\n", program.c_str());
        return 1;
    }
    Search search = {info.dwProcessId, nullptr};
    for (int i = 0; i < 600 && !search.found; ++i) {
        Sleep(100);
        EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
    }
    HWND pageWindow = search.found ? FindCleanerPage(search.found) : nullptr;
    if (!pageWindow) {
        std::fprintf(stderr, "no cleaner page\n");
        TerminateProcess(info.hProcess, 1);
        return 1;
    }
    const CleanerPage page(pageWindow, donePrefix);

    int rows = 0;
    const int scans = probe == "stops" ? 1 : rounds;
    for (int round = 1; round <= scans; ++round) {
        const Clock::time_point start = Clock::now();
        page.ClickScan();
        const std::string status = page.WaitForEnd();
        const double seconds = MillisecondsSince(start) / 1000.0;
        rows = page.Rows();
        std::printf("scan %d %.2f %d\n", round, seconds, rows);
        std::printf("status \"%s\"\n", status.c_str());
        std::fflush(stdout);
    }
    if (probe != "stops") {
        // Each column twice: both directions.
        for (int column = 0; column < 4; ++column)
            for (int click = 0; click < 2; ++click) {
                std::printf("sort %d %.1f\n", column, page.ClickHeader(info.hProcess, column));
                std::fflush(stdout);
            }
    }
    if (probe != "scan") {
        // Moments spread over the scan, so that clicks land both between
        // hand-overs and while the list is taking rows.
        const struct { const char* name; DWORD ms; } moments[] = {
            {"0.1s", 100}, {"0.35s", 350}, {"0.6s", 600}, {"1s", 1000}, {"1.3s", 1300}, {"2s", 2000},
            {"3s", 3000}, {"4.2s", 4200}, {"6s", 6000}};
        for (const auto& moment : moments)
            ProbeStop(page, moment.name, moment.ms, 0);
        if (rows > 1000)
            ProbeStop(page, "near-the-end", 0, rows - rows / 20);
    }

    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(info.hProcess, &memory, sizeof memory);
    std::printf("peak-working-set %.1f\n", memory.PeakWorkingSetSize / 1048576.0);

    PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info.hProcess, 60000) != WAIT_OBJECT_0)
        TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return 0;
}
