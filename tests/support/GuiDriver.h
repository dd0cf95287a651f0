// Helpers of the GUI tests: a private copy of the program folder, the
// program started as a separate process, and reading and driving its
// controls from outside by their ids.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win32/WideText.h"

// A copy of the built program folder in a scratch folder of its own, so that
// each test has its own config.xml, language file and backup folder. The
// copy is removed when the object goes.
class ProgramCopy {
public:
    explicit ProgramCopy(const std::string& name);
    ~ProgramCopy();
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    const std::string& Folder() const { return folder_; }
    std::string Program() const { return folder_ + "\\Quorvane.exe"; }
    std::string File(const std::string& relative) const { return folder_ + "\\" + relative; }

private:
    std::string folder_;
};

// The program under test, started as its own process.
class RunningProgram {
public:
    RunningProgram() = default;
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // Starts the program; `environment` lists extra NAME=value settings.
    bool Start(const std::string& program, const std::vector<std::string>& environment = {});
    // Makes the next Start run the program with the limited token linked
    // to the test's own (an administrator's token without its rights), as
    // Windows starts programs for an administrator under UAC.
    void LimitRights() { limited_ = true; }
    // The main window once it is visible, or null after the timeout.
    HWND WaitForMainWindow(DWORD timeoutMs = 30000);
    // A visible top-level dialog of the program whose window text is
    // `caption`, other than `except`, or null after the timeout.
    HWND WaitForDialog(const std::string& caption, HWND except = nullptr, DWORD timeoutMs = 15000);
    // Waits for the process to end; true with its exit code when it did.
    bool WaitForExit(DWORD& exitCode, DWORD timeoutMs = 30000);
    HANDLE Process() const { return process_; }
    DWORD ProcessId() const { return processId_; }

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    bool limited_ = false;
};

// The main window's page list, its page container, and the page among the
// container's children that holds a control with `controlId`.
HWND PageListOf(HWND mainWindow);
HWND PageContainerOf(HWND mainWindow);
HWND PageWithControl(HWND mainWindow, int controlId);

// Reading and driving controls of another process. Texts are the program's
// UTF-8; they cross to the windows as UTF-16.
std::string WindowText(HWND window);
// Sets a control's text (such as typing a keyword into an edit box) and
// returns once the control has it.
void SetControlText(HWND window, const std::string& text);
std::string ClassName(HWND window);
// The text of a static control inside a message box (the message itself).
std::string MessageBoxText(HWND box);
// Every root-level entry text of a tree view, in order.
std::vector<std::string> TreeViewRootTexts(HANDLE process, HWND tree);
// The text of the selected entry of a tree view.
std::string TreeViewSelectedText(HANDLE process, HWND tree);
// Selects the root-level entry at `index`; true when it exists.
bool TreeViewSelectRoot(HWND tree, int index);
int ListViewCount(HWND list);
std::string ListViewText(HANDLE process, HWND list, int row, int column);
int ListViewColumnCount(HWND list);
// Clicks a button; the program handles it on its own time.
void ClickButton(HWND dialog, int id);
// Sends a command and returns once the program has handled it.
void SendCommand(HWND window, int id);
// Lets the other process work for a while.
void Pump(DWORD milliseconds);
// The user's temporary folder, with its trailing backslash.
std::string TemporaryFolder();
// Reads a whole file; empty when missing.
std::string ReadWholeFile(const std::string& path);
// The text of a REG file as UTF-8: a UTF-16 file (byte-order mark FF FE) is
// decoded, any other file's bytes are given as they are.
std::string ReadRegFileText(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);

// --- Helpers of the backup tests ---
// The Wine path of a Linux path of the build (such as QV_PROGRAM_DIR).
std::string WindowsPathOf(const std::string& linuxPath);
// The selected row of a list view, or -1.
int ListViewSelectedRow(HWND list);
// Makes `row` the only selected and the focused row; -1 selects none.
bool ListViewSelectRow(HANDLE process, HWND list, int row);
int ListViewColumnWidth(HWND list, int column);
// Clicks a column header of a list view with the mouse, as a user does.
bool ClickListViewHeader(HANDLE process, HWND list, int column);
// A visible top-level dialog of the process holding a control with
// `controlId` (such as a file dialog), or null after the timeout.
HWND WaitForDialogWithControl(DWORD processId, int controlId, DWORD timeoutMs = 15000);
// Answers the common save dialog the program opens: picks the file type at
// typeIndex in its type list (when not -1), types the file name and clicks
// OK. The dialog, or null when it did not open.
HWND ChooseFileInSaveDialog(DWORD processId, const std::string& file, int typeIndex = -1);
// A visible top-level window owned by `owner` (such as the message box a
// file dialog shows), or null after the timeout.
HWND WaitForOwnedWindow(HWND owner, DWORD timeoutMs = 15000);
// Every entry text of a combo box, in order (such as a file dialog's types).
std::vector<std::string> ComboBoxTexts(HWND combo);
// The text of a key in the program copy's language file, read plainly.
std::string LanguageFileText(const ProgramCopy& copy, const char* key);
// The registry editor of the built program folder, Tools\Regedit.exe.
std::string BuiltRegistryEditor();
// A string value below HKEY_CURRENT_USER, or "<missing>".
std::string ReadUserString(const std::string& keyPath, const std::string& name);

// --- The stand-in registry editor (tests/gui/editor/StandInRegedit.cpp) ---
// Puts the stand-in in place of the copy's Tools\Regedit.exe; true when done.
bool PlaceStandInEditor(const ProgramCopy& copy);
// The path of a steering file beside the copy's editor: "hold", "idle",
// "started" or "ended".
std::string EditorSignal(const ProgramCopy& copy, const char* name);

// --- Helpers of the display scale tests ---
// The text rectangles of the root-level entries of a tree view, in order.
std::vector<RECT> TreeViewRootTextRects(HANDLE process, HWND tree);
// A part (LVIR_ICON, LVIR_LABEL, ...) of a list view row; empty when missing.
RECT ListViewItemPart(HANDLE process, HWND list, int row, int part);
// Tells a window it now lies on a display of `dpi` and should go to
// `suggested`, as Windows does when it moves between screens; returns once
// the window has handled it.
void SendDpiChanged(HANDLE process, HWND window, int dpi, const RECT& suggested);
