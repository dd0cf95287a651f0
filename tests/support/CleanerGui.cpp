// Helpers of the cleaner GUI tests (see CleanerGui.h).
#include "CleanerGui.h"

#include "core/Language.h"
#include "resource.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        if (condition())
            return true;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return condition();
}

PlantedKey::PlantedKey(const std::string& name) : path_("Software\\QuorvaneGuiTests\\" + name)
{
    HKEY key = nullptr;
    if (RegCreateKeyW(HKEY_CURRENT_USER, Widen(path_).c_str(), &key) == ERROR_SUCCESS)
        RegCloseKey(key);
}

PlantedKey::~PlantedKey()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, Widen(path_).c_str());
}

void PlantedKey::SetString(const std::string& subKey, const std::string& name, const std::string& text,
                           DWORD type) const
{
    HKEY key = nullptr;
    const std::string path = subKey.empty() ? path_ : path_ + "\\" + subKey;
    if (RegCreateKeyW(HKEY_CURRENT_USER, Widen(path).c_str(), &key) != ERROR_SUCCESS)
        return;
    const std::wstring wide = Widen(text);
    RegSetValueExW(key, Widen(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(wide.c_str()),
                   static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

std::string PlantedKey::StringValue(const std::string& subKey, const std::string& name) const
{
    const std::string path = subKey.empty() ? path_ : path_ + "\\" + subKey;
    HKEY key = nullptr;
    if (RegOpenKeyW(HKEY_CURRENT_USER, Widen(path).c_str(), &key) != ERROR_SUCCESS)
        return "<no key>";
    // Read whole, however long: the size first, then the data.
    DWORD size = 0;
    LONG result = RegQueryValueExW(key, Widen(name).c_str(), nullptr, nullptr, nullptr, &size);
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    if (result == ERROR_SUCCESS)
        result = RegQueryValueExW(key, Widen(name).c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? NarrowZ(buffer.data()) : "<no value>";
}

bool PlantedKey::HasValue(const std::string& subKey, const std::string& name) const
{
    const std::string text = StringValue(subKey, name);
    return text != "<no key>" && text != "<no value>";
}

bool PlantedKey::HasKey(const std::string& subKey) const
{
    HKEY key = nullptr;
    const std::string path = subKey.empty() ? path_ : path_ + "\\" + subKey;
    if (RegOpenKeyW(HKEY_CURRENT_USER, Widen(path).c_str(), &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

HWND CleanerPage(HWND mainWindow)
{
    return PageWithControl(mainWindow, IDC_CLEANER_TASKS);
}

bool TaskTicked(HWND tasks, int row)
{
    const UINT state =
        static_cast<UINT>(SendMessageW(tasks, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return (state >> 12) == 2;
}

bool ListViewSetRowSelected(HANDLE process, HWND list, int row, bool selected)
{
    void* remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMW), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote)
        return false;
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SIZE_T written = 0;
    WriteProcessMemory(process, remote, &item, sizeof item, &written);
    const LRESULT done =
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return done != 0;
}

std::vector<int> ListViewRowsWith(HANDLE process, HWND list, int column, const std::string& text)
{
    std::vector<int> rows;
    const int count = ListViewCount(list);
    for (int row = 0; row < count; ++row)
        if (ListViewText(process, list, row, column) == text)
            rows.push_back(row);
    return rows;
}

std::string UniqueName(const std::string& stem)
{
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%s-%lu-%lu", stem.c_str(), GetCurrentProcessId(), GetTickCount());
    return buffer;
}

int RunAndWait(const std::string& commandLine, DWORD timeoutMs)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::wstring line = Widen(commandLine);
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return -1;
    CloseHandle(info.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    return static_cast<int>(code);
}

namespace {

struct PopupSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindPopupMenu(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<PopupSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window) || ClassName(window) != "#32768")
        return TRUE;
    search->found = window;
    return FALSE;
}

POINT RowPoint(HANDLE process, HWND list, int row)
{
    RECT client = {};
    GetClientRect(list, &client);
    POINT point = {client.right / 2, client.bottom - 4};
    if (row < 0)
        return point;
    void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote)
        return point;
    RECT rect = {};
    rect.left = LVIR_LABEL;
    SIZE_T done = 0;
    WriteProcessMemory(process, remote, &rect, sizeof rect, &done);
    if (SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote)) &&
        ReadProcessMemory(process, remote, &rect, sizeof rect, &done)) {
        point.x = (rect.left + rect.right) / 2;
        point.y = (rect.top + rect.bottom) / 2;
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return point;
}

} // namespace

HWND WaitForPopupMenu(const RunningProgram& program, DWORD timeoutMs)
{
    PopupSearch search = {program.ProcessId(), nullptr};
    WaitUntil(
        [&] {
            EnumWindows(FindPopupMenu, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

bool ChooseOpenMenuCommand(HWND popup, int position)
{
    for (int i = 0; i < position; ++i) {
        PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(popup, WM_KEYUP, VK_DOWN, 0);
    }
    PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(popup, WM_KEYUP, VK_RETURN, 0);
    return WaitUntil([&] { return !IsWindowVisible(popup); }, 10000);
}

bool ChooseListMenuCommand(const RunningProgram& program, HWND list, int row, int position)
{
    const POINT point = RowPoint(program.Process(), list, row);
    const LPARAM where = MAKELPARAM(point.x, point.y);
    PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, where);
    PostMessageW(list, WM_RBUTTONUP, 0, where);
    HWND popup = WaitForPopupMenu(program, 10000);
    return popup && ChooseOpenMenuCommand(popup, position);
}

POINT ListViewRowCentre(HANDLE process, HWND list, int row)
{
    return RowPoint(process, list, row);
}

int ListViewSelectedCount(HWND list)
{
    return static_cast<int>(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0));
}

bool ListViewRowSelected(HWND list, int row)
{
    return (SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

std::string MissingProgram(const std::string& unique)
{
    return "C:\\quorvane-missing-" + unique + "\\app.exe";
}

bool CleanerPageFixture::Launch(bool limitedRights)
{
    if (limitedRights)
        program_.LimitRights();
    if (!program_.Start(copy_.Program()))
        return false;
    main_ = program_.WaitForMainWindow();
    page_ = main_ ? CleanerPage(main_) : nullptr;
    tasks_ = page_ ? GetDlgItem(page_, IDC_CLEANER_TASKS) : nullptr;
    results_ = page_ ? GetDlgItem(page_, IDC_CLEANER_RESULTS) : nullptr;
    return results_ != nullptr;
}

std::string CleanerPageFixture::Status() const
{
    return WindowText(GetDlgItem(page_, IDC_STATUS));
}

bool CleanerPageFixture::WaitForScanEnd()
{
    const std::string format = Text("_PageRegistryCleanerState3");
    return WaitUntil(
        [&] { return Enabled(IDC_CLEANER_SCAN) && Status() == FormatTextWithNumber(format, ListViewCount(results_)); },
        120000);
}

DWORD CleanerPageFixture::Close()
{
    PostMessageW(main_, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    program_.WaitForExit(exitCode);
    return exitCode;
}
