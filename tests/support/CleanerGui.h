// Helpers of the cleaner GUI tests: planting registry entries, waiting for
// the page, and reading or changing list-view states from outside.
#pragma once

#include "GuiDriver.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

// Waits until `condition` holds; false after the timeout.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 30000);

// A key under HKEY_CURRENT_USER\Software made for one test and removed with
// everything below it when the object goes.
class PlantedKey {
public:
    explicit PlantedKey(const std::string& name);
    ~PlantedKey();
    PlantedKey(const PlantedKey&) = delete;
    PlantedKey& operator=(const PlantedKey&) = delete;

    // The key path below HKEY_CURRENT_USER.
    const std::string& Path() const { return path_; }
    void SetString(const std::string& subKey, const std::string& name, const std::string& text,
                   DWORD type = REG_SZ) const;
    bool HasValue(const std::string& subKey, const std::string& name) const;
    std::string StringValue(const std::string& subKey, const std::string& name) const;
    bool HasKey(const std::string& subKey) const;

private:
    std::string path_;
};

// The cleaner page inside the main window.
HWND CleanerPage(HWND mainWindow);
// Check-box state of a task list row: true when ticked.
bool TaskTicked(HWND tasks, int row);
// Selects or unselects one row, leaving the others as they are.
bool ListViewSetRowSelected(HANDLE process, HWND list, int row, bool selected);
// Rows whose column `column` holds `text`.
std::vector<int> ListViewRowsWith(HANDLE process, HWND list, int column, const std::string& text);
// A unique name for planted entries.
std::string UniqueName(const std::string& stem);
// Runs a program and waits for it to end; its exit code, or -1.
int RunAndWait(const std::string& commandLine, DWORD timeoutMs = 120000);

// Opens the registry item list's context menu on `row` (or below the last
// row when `row` is -1) with a right click, then chooses the command at
// `position` among the menu's commands (1 for the first) by keyboard, as a
// user would. A greyed command does nothing.
bool ChooseListMenuCommand(const RunningProgram& program, HWND list, int row, int position);
// The program's visible popup menu, or null after the timeout.
HWND WaitForPopupMenu(const RunningProgram& program, DWORD timeoutMs = 10000);
// Chooses the command at `position` (1 for the first) of an open popup menu
// by keyboard; true once the menu has closed.
bool ChooseOpenMenuCommand(HWND popup, int position);
// The centre of a row's label in the list's client coordinates.
POINT ListViewRowCentre(HANDLE process, HWND list, int row);
int ListViewSelectedCount(HWND list);
bool ListViewRowSelected(HWND list, int row);

// A program path on the fixed drive C: that does not exist.
std::string MissingProgram(const std::string& unique);

// A fixture that runs a copy of the program and knows its cleaner page.
class CleanerPageFixture : public ::testing::Test {
protected:
    explicit CleanerPageFixture(const std::string& copyName) : copy_(copyName) {}
    // Starts the copy (with limitedRights, with the test's token stripped of
    // administrator rights) and finds the page's controls.
    bool Launch(bool limitedRights = false);
    std::string Status() const;
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(page_, id)) != FALSE; }
    std::string Text(const char* key) const { return LanguageFileText(copy_, key); }
    // Waits for a scan to end and checks the end state of the page.
    bool WaitForScanEnd();
    // Closes the main window; the program's exit code.
    DWORD Close();

    ProgramCopy copy_;
    RunningProgram program_;
    HWND main_ = nullptr;
    HWND page_ = nullptr;
    HWND tasks_ = nullptr;
    HWND results_ = nullptr;
};
