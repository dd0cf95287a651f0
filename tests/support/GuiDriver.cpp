// Helpers of the GUI tests (see GuiDriver.h).
#include "GuiDriver.h"

#include "resource.h"

#include <commctrl.h>

#include <atomic>
#include <cstring>
#include <cwchar>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string_view>

#include "core/Unicode.h"
#include "win32/Win32Handles.h"

namespace {

// Converts the build's Linux path to the Wine path of the same folder.
std::string ToWindowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

bool CopyFolder(const std::string& from, const std::string& to)
{
    CreateDirectoryW(Widen(to).c_str(), nullptr);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(Widen(from + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    do {
        const std::string name = NarrowZ(data.cFileName);
        if (name == "." || name == "..")
            continue;
        const std::string source = from + "\\" + name;
        const std::string target = to + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = CopyFolder(source, target) && ok;
        else
            ok = CopyFileW(Widen(source).c_str(), Widen(target).c_str(), FALSE) && ok;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return ok;
}

void RemoveFolder(const std::string& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(Widen(folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = NarrowZ(data.cFileName);
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolder(path);
            else {
                SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(Widen(path).c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(Widen(folder).c_str());
}

struct WindowSearch {
    DWORD processId;
    std::string caption;
    bool anyCaption;
    HWND except;
    HWND found;
};

BOOL CALLBACK FindProgramWindow(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window) || window == search->except)
        return TRUE;
    if (ClassName(window) != "#32770")
        return TRUE;
    if (!search->anyCaption && WindowText(window) != search->caption)
        return TRUE;
    search->found = window;
    return FALSE;
}

// A block of memory inside the other process, for messages that carry pointers.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, SIZE_T size)
        : process_(process),
          address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
    {
    }
    ~RemoteBuffer()
    {
        if (address_)
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    void* Address() const { return address_; }
    char* At(SIZE_T offset) const { return static_cast<char*>(address_) + offset; }
    bool Write(const void* data, SIZE_T size, SIZE_T offset = 0) const
    {
        SIZE_T written = 0;
        return WriteProcessMemory(process_, At(offset), data, size, &written) && written == size;
    }
    bool Read(void* data, SIZE_T size, SIZE_T offset = 0) const
    {
        SIZE_T read = 0;
        return ReadProcessMemory(process_, At(offset), data, size, &read) && read == size;
    }

private:
    HANDLE process_;
    void* address_;
};

std::string TreeItemText(HANDLE process, HWND tree, HTREEITEM item)
{
    constexpr SIZE_T kTextOffset = 256;
    constexpr int kTextSize = 512;
    RemoteBuffer remote(process, kTextOffset + kTextSize * sizeof(wchar_t));
    if (!remote.Address())
        return std::string();
    TVITEMW entry = {};
    entry.mask = TVIF_TEXT;
    entry.hItem = item;
    entry.pszText = reinterpret_cast<wchar_t*>(remote.At(kTextOffset));
    entry.cchTextMax = kTextSize;
    remote.Write(&entry, sizeof entry);
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.Address()));
    wchar_t text[kTextSize] = {};
    remote.Read(text, sizeof text, kTextOffset);
    text[kTextSize - 1] = L'\0';
    return NarrowZ(text);
}

std::atomic<int> copyCounter{0};

} // namespace

ProgramCopy::ProgramCopy(const std::string& name)
{
    const std::string runs = ToWindowsPath(QV_BINARY_DIR) + "\\gui-runs";
    CreateDirectoryW(Widen(runs).c_str(), nullptr);
    char unique[64];
    std::snprintf(unique, sizeof unique, "-%lu-%d", GetCurrentProcessId(), copyCounter++);
    folder_ = runs + "\\" + name + unique;
    RemoveFolder(folder_);
    CopyFolder(ToWindowsPath(QV_PROGRAM_DIR), folder_);
}

ProgramCopy::~ProgramCopy()
{
    RemoveFolder(folder_);
}

RunningProgram::~RunningProgram()
{
    if (process_) {
        DWORD code = 0;
        if (GetExitCodeProcess(process_, &code) && code == STILL_ACTIVE) {
            TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 10000);
        }
        CloseHandle(process_);
    }
}

bool RunningProgram::Start(const std::string& program, const std::vector<std::string>& environment)
{
    std::wstring block;
    if (!environment.empty()) {
        LPWCH current = GetEnvironmentStringsW();
        for (const wchar_t* p = current; *p; p += std::wcslen(p) + 1) {
            const std::string entry = NarrowZ(p);
            bool replaced = false;
            for (const std::string& extra : environment)
                if (entry.compare(0, extra.find('=') + 1, extra, 0, extra.find('=') + 1) == 0)
                    replaced = true;
            if (!replaced)
                block += Widen(entry) + L'\0';
        }
        FreeEnvironmentStringsW(current);
        for (const std::string& extra : environment)
            block += Widen(extra) + L'\0';
        block += L'\0';
    }
    std::wstring commandLine = Widen("\"" + program + "\"");
    const std::string folder = program.substr(0, program.rfind('\\'));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    UniqueHandle limitedToken;
    if (limited_) {
        HANDLE own = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &own))
            return false;
        const UniqueHandle ownToken(own);
        TOKEN_LINKED_TOKEN linked = {};
        DWORD size = 0;
        if (!GetTokenInformation(ownToken.Get(), TokenLinkedToken, &linked, sizeof linked, &size))
            return false;
        const UniqueHandle linkedToken(linked.LinkedToken);
        HANDLE primary = nullptr;
        if (!DuplicateTokenEx(linkedToken.Get(), MAXIMUM_ALLOWED, nullptr, SecurityImpersonation, TokenPrimary,
                              &primary))
            return false;
        limitedToken.Reset(primary);
    }
    const BOOL created =
        limited_ ? CreateProcessAsUserW(limitedToken.Get(), Widen(program).c_str(), &commandLine[0], nullptr, nullptr,
                                        FALSE, CREATE_UNICODE_ENVIRONMENT, block.empty() ? nullptr : &block[0],
                                        Widen(folder).c_str(), &startup, &info)
                 : CreateProcessW(Widen(program).c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                                  CREATE_UNICODE_ENVIRONMENT, block.empty() ? nullptr : &block[0],
                                  Widen(folder).c_str(), &startup, &info);
    if (!created)
        return false;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    WaitForInputIdle(process_, 10000);
    return true;
}

HWND RunningProgram::WaitForMainWindow(DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        WindowSearch search = {processId_, "", true, nullptr, nullptr};
        EnumWindows(FindProgramWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found && GetMenu(search.found))
            return search.found;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

HWND RunningProgram::WaitForDialog(const std::string& caption, HWND except, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        WindowSearch search = {processId_, caption, false, except, nullptr};
        EnumWindows(FindProgramWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

bool RunningProgram::WaitForExit(DWORD& exitCode, DWORD timeoutMs)
{
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(process_, &exitCode) != FALSE;
}

HWND PageListOf(HWND mainWindow)
{
    HWND splitter = GetWindow(GetDlgItem(mainWindow, IDC_MAIN_PAGE_HOST), GW_CHILD);
    return GetDlgItem(splitter, IDC_PAGE_LIST);
}

HWND PageContainerOf(HWND mainWindow)
{
    HWND splitter = GetWindow(GetDlgItem(mainWindow, IDC_MAIN_PAGE_HOST), GW_CHILD);
    return GetDlgItem(splitter, IDC_PAGE_CONTAINER);
}

HWND PageWithControl(HWND mainWindow, int controlId)
{
    HWND container = PageContainerOf(mainWindow);
    for (HWND page = GetWindow(container, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
        if (GetDlgItem(page, controlId))
            return page;
    return nullptr;
}

std::string WindowText(HWND window)
{
    // The length first, so that a text of any length comes whole.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return std::string();
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(&buffer[0]),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    return NarrowZ(buffer.c_str());
}

void SetControlText(HWND window, const std::string& text)
{
    const std::wstring wide = Widen(text);
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

std::string ClassName(HWND window)
{
    wchar_t buffer[256] = {};
    GetClassNameW(window, buffer, sizeof buffer / sizeof buffer[0]);
    return NarrowZ(buffer);
}

std::string MessageBoxText(HWND box)
{
    // The message is the static control with the longest text.
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassName(child) == "Static") {
            const std::string candidate = WindowText(child);
            if (candidate.size() > text.size())
                text = candidate;
        }
    }
    return text;
}

std::vector<std::string> TreeViewRootTexts(HANDLE process, HWND tree)
{
    std::vector<std::string> texts;
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (item) {
        texts.push_back(TreeItemText(process, tree, item));
        item = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
    return texts;
}

std::string TreeViewSelectedText(HANDLE process, HWND tree)
{
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    return item ? TreeItemText(process, tree, item) : std::string();
}

bool TreeViewSelectRoot(HWND tree, int index)
{
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    for (int i = 0; item && i < index; ++i)
        item = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    if (!item)
        return false;
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    return true;
}

int ListViewCount(HWND list)
{
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

int ListViewColumnCount(HWND list)
{
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::string ListViewText(HANDLE process, HWND list, int row, int column)
{
    constexpr SIZE_T kTextOffset = 256;
    constexpr int kTextSize = 2048;
    RemoteBuffer remote(process, kTextOffset + kTextSize * sizeof(wchar_t));
    if (!remote.Address())
        return std::string();
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(remote.At(kTextOffset));
    item.cchTextMax = kTextSize;
    remote.Write(&item, sizeof item);
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.Address()));
    wchar_t text[kTextSize] = {};
    remote.Read(text, sizeof text, kTextOffset);
    text[kTextSize - 1] = L'\0';
    return NarrowZ(text);
}

void ClickButton(HWND dialog, int id)
{
    // Posted, so that a message box the click opens cannot block the test.
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SendCommand(HWND window, int id)
{
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void Pump(DWORD milliseconds)
{
    Sleep(milliseconds);
}

std::string TemporaryFolder()
{
    std::wstring folder(MAX_PATH + 1, L'\0');
    DWORD length = GetTempPathW(static_cast<DWORD>(folder.size()), &folder[0]);
    if (length > folder.size()) {
        folder.resize(length);
        length = GetTempPathW(length, &folder[0]);
    }
    return Narrow(folder.data(), length);
}

// Through the wide file functions, so that a path of any letters works.
std::string ReadWholeFile(const std::string& path)
{
    HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

std::string ReadRegFileText(const std::string& path)
{
    const std::string bytes = ReadWholeFile(path);
    if (bytes.compare(0, 2, "\xFF\xFE") != 0)
        return bytes;
    return Utf16LeBytesToUtf8(std::string_view(bytes).substr(2));
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = bytes.empty() ||
                    (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                     written == bytes.size());
    CloseHandle(file);
    return ok;
}

// --- Helpers of the backup tests ---

std::string WindowsPathOf(const std::string& linuxPath)
{
    return ToWindowsPath(linuxPath);
}

int ListViewSelectedRow(HWND list)
{
    return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

bool ListViewSelectRow(HANDLE process, HWND list, int row)
{
    RemoteBuffer remote(process, sizeof(LVITEMW));
    if (!remote.Address())
        return false;
    LVITEMW none = {};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    remote.Write(&none, sizeof none);
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(remote.Address()));
    if (row < 0)
        return true;
    LVITEMW chosen = {};
    chosen.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    chosen.state = LVIS_SELECTED | LVIS_FOCUSED;
    remote.Write(&chosen, sizeof chosen);
    return SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                        reinterpret_cast<LPARAM>(remote.Address())) != FALSE;
}

int ListViewColumnWidth(HWND list, int column)
{
    return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

bool ClickListViewHeader(HANDLE process, HWND list, int column)
{
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RemoteBuffer remote(process, sizeof(RECT));
    if (!header || !remote.Address())
        return false;
    if (!SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                      reinterpret_cast<LPARAM>(remote.Address())))
        return false;
    RECT rect = {};
    remote.Read(&rect, sizeof rect);
    const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageW(header, WM_MOUSEMOVE, 0, point);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(header, WM_LBUTTONUP, 0, point);
    return true;
}

namespace {
struct DialogWithControlSearch {
    DWORD processId;
    int controlId;
    HWND found;
};

// A named callback: a lambda does not convert to the 32-bit stdcall WNDENUMPROC.
BOOL CALLBACK FindDialogWithControl(HWND window, LPARAM context)
{
    auto* wanted = reinterpret_cast<DialogWithControlSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != wanted->processId || !IsWindowVisible(window) || ClassName(window) != "#32770")
        return TRUE;
    if (!GetDlgItem(window, wanted->controlId))
        return TRUE;
    wanted->found = window;
    return FALSE;
}
} // namespace

HWND WaitForDialogWithControl(DWORD processId, int controlId, DWORD timeoutMs)
{
    DialogWithControlSearch search = {processId, controlId, nullptr};
    const DWORD start = GetTickCount();
    do {
        EnumWindows(FindDialogWithControl, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

HWND ChooseFileInSaveDialog(DWORD processId, const std::string& file, int typeIndex)
{
    constexpr int kFileTypes = 0x470;   // cmb1
    constexpr int kFileName = 0x47c;    // cmb13
    HWND dialog = WaitForDialogWithControl(processId, kFileName);
    if (!dialog)
        return nullptr;
    if (typeIndex >= 0) {
        HWND types = GetDlgItem(dialog, kFileTypes);
        SendMessageW(types, CB_SETCURSEL, typeIndex, 0);
        // As a choice in the drop-down list notifies it.
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kFileTypes, CBN_SELCHANGE), reinterpret_cast<LPARAM>(types));
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kFileTypes, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
    }
    HWND edit = reinterpret_cast<HWND>(SendMessageW(GetDlgItem(dialog, kFileName), CBEM_GETEDITCONTROL, 0, 0));
    if (!edit)
        return nullptr;
    SetControlText(edit, file);
    ClickButton(dialog, IDOK);
    return dialog;
}

namespace {
struct OwnedWindowSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedWindow(HWND window, LPARAM context)
{
    auto* wanted = reinterpret_cast<OwnedWindowSearch*>(context);
    if (GetWindow(window, GW_OWNER) != wanted->owner || !IsWindowVisible(window))
        return TRUE;
    wanted->found = window;
    return FALSE;
}
} // namespace

HWND WaitForOwnedWindow(HWND owner, DWORD timeoutMs)
{
    OwnedWindowSearch search = {owner, nullptr};
    const DWORD start = GetTickCount();
    do {
        EnumWindows(FindOwnedWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

std::vector<std::string> ComboBoxTexts(HWND combo)
{
    std::vector<std::string> texts;
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        wchar_t wide[1024] = {};
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length < 0 || length >= static_cast<LRESULT>(sizeof wide / sizeof wide[0])) {
            texts.push_back("<unreadable>");
            continue;
        }
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide));
        texts.push_back(NarrowZ(wide));
    }
    return texts;
}

std::string LanguageFileText(const ProgramCopy& copy, const char* key)
{
    wchar_t buffer[4096] = {};
    GetPrivateProfileStringW(L"String", Widen(key).c_str(), L"", buffer, sizeof buffer / sizeof buffer[0],
                             Widen(copy.File("Quorvane.language")).c_str());
    return NarrowZ(buffer);
}

std::string BuiltRegistryEditor()
{
    return ToWindowsPath(QV_PROGRAM_DIR) + "\\Tools\\Regedit.exe";
}

std::string ReadUserString(const std::string& keyPath, const std::string& name)
{
    wchar_t data[1024] = {};
    DWORD size = sizeof data - sizeof data[0];
    if (RegGetValueW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), Widen(name).c_str(), RRF_RT_REG_SZ, nullptr,
                     data, &size) != ERROR_SUCCESS)
        return "<missing>";
    return NarrowZ(data);
}

bool PlaceStandInEditor(const ProgramCopy& copy)
{
    return CopyFileW(Widen(ToWindowsPath(QV_STANDIN_EDITOR)).c_str(), Widen(copy.File("Tools\\Regedit.exe")).c_str(),
                     FALSE) != FALSE;
}

std::string EditorSignal(const ProgramCopy& copy, const char* name)
{
    return copy.File(std::string("Tools\\") + name);
}

std::vector<RECT> TreeViewRootTextRects(HANDLE process, HWND tree)
{
    std::vector<RECT> rects;
    RemoteBuffer remote(process, sizeof(RECT));
    if (!remote.Address())
        return rects;
    for (HTREEITEM item = TreeView_GetRoot(tree); item; item = TreeView_GetNextSibling(tree, item)) {
        // The item goes in where the rectangle comes out.
        RECT rect = {};
        std::memcpy(&rect, &item, sizeof item);
        remote.Write(&rect, sizeof rect);
        if (!SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote.Address())))
            rect = RECT{};
        else
            remote.Read(&rect, sizeof rect);
        rects.push_back(rect);
    }
    return rects;
}

void SendDpiChanged(HANDLE process, HWND window, int dpi, const RECT& suggested)
{
    RemoteBuffer remote(process, sizeof(RECT));
    if (!remote.Address() || !remote.Write(&suggested, sizeof suggested))
        return;
    SendMessageW(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(remote.Address()));
}

RECT ListViewItemPart(HANDLE process, HWND list, int row, int part)
{
    RECT rect = {};
    rect.left = part;
    RemoteBuffer remote(process, sizeof(RECT));
    if (!remote.Address() || !remote.Write(&rect, sizeof rect) ||
        !SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.Address())) ||
        !remote.Read(&rect, sizeof rect))
        return RECT{};
    return rect;
}
