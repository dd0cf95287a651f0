// What the cleaner page shows beside its findings: each check's count of
// findings on its task row, the progress bar of the checks done, and, for a
// program started without administrator rights, the note before a scan and
// the restart as administrator after a deletion the system refused; and the
// restart itself, which hands the window over to a new copy.
#include "CleanerGui.h"
#include "GuiDriver.h"

#include "core/Language.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>
#include <commctrl.h>

namespace {

const char* const kConfigTemplate =
    "<?xml version=\"1.0\"?>\r\n<config>\r\n  <quorvane>\r\n"
    "    <cleanersearchtasklist custom=\"%s\" default=\"0,1\"/>\r\n"
    "  </quorvane>\r\n</config>\r\n";

void WriteConfig(const ProgramCopy& copy, const std::string& tasks)
{
    char text[512];
    std::snprintf(text, sizeof text, kConfigTemplate, tasks.c_str());
    WriteWholeFile(copy.File("config.xml"), text);
}

// The list the cleaner's sixth check reads: every value of it is a finding.
constexpr const char* kRunMruPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

// A value planted in the user's RunMRU list, removed again at the end.
class PlantedMruValue {
public:
    explicit PlantedMruValue(const std::string& name) : name_(Widen(name))
    {
        HKEY key = nullptr;
        if (RegCreateKeyW(HKEY_CURRENT_USER, Widen(kRunMruPath).c_str(), &key) != ERROR_SUCCESS)
            return;
        const std::wstring data = L"quorvane typed text";
        RegSetValueExW(key, name_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    ~PlantedMruValue() { RegDeleteKeyValueW(HKEY_CURRENT_USER, Widen(kRunMruPath).c_str(), name_.c_str()); }

private:
    std::wstring name_;
};

// Gives a key a security descriptor that lets everyone read it but nobody
// change its values, and takes it off again at the end.
class DeniedChanges {
public:
    explicit DeniedChanges(const std::string& path) : path_(Widen(path)) { applied_ = Apply(true); }
    ~DeniedChanges() { Apply(false); }
    bool Applied() const { return applied_; }

private:
    bool Apply(bool deny)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, READ_CONTROL | WRITE_DAC, &key) != ERROR_SUCCESS)
            return false;
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        PSID everyone = nullptr;
        AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
        EXPLICIT_ACCESSW entries[2] = {};
        entries[0].grfAccessPermissions = deny ? KEY_SET_VALUE | KEY_CREATE_SUB_KEY | DELETE : 0;
        entries[0].grfAccessMode = DENY_ACCESS;
        entries[1].grfAccessPermissions = deny ? KEY_READ | READ_CONTROL | WRITE_DAC : KEY_ALL_ACCESS;
        entries[1].grfAccessMode = SET_ACCESS;
        for (EXPLICIT_ACCESSW& entry : entries) {
            entry.grfInheritance = NO_INHERITANCE;
            entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
            entry.Trustee.ptstrName = static_cast<LPWSTR>(everyone);
        }
        PACL acl = nullptr;
        const DWORD made = SetEntriesInAclW(deny ? 2 : 1, deny ? entries : entries + 1, nullptr, &acl);
        SECURITY_DESCRIPTOR descriptor;
        InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
        SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
        const bool set = made == ERROR_SUCCESS &&
                         RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
        LocalFree(acl);
        FreeSid(everyone);
        RegCloseKey(key);
        return set;
    }

    std::wstring path_;
    bool applied_ = false;
};

struct MainWindowSearch {
    std::string caption;
    DWORD exceptProcess;
    HWND found;
};

BOOL CALLBACK FindOtherMainWindow(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<MainWindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->exceptProcess || !IsWindowVisible(window) || !GetMenu(window) ||
        ClassName(window) != "#32770" || WindowText(window) != search->caption)
        return TRUE;
    search->found = window;
    return FALSE;
}

class CleanerCountsTest : public CleanerPageFixture {
protected:
    CleanerCountsTest() : CleanerPageFixture("counts") {}
    bool Launch(bool limitedRights)
    {
        if (!CleanerPageFixture::Launch(limitedRights))
            return false;
        progress_ = GetDlgItem(page_, IDC_PAGE_PROGRESS);
        return progress_ != nullptr;
    }
    std::string TaskText(int row) const { return ListViewText(program_.Process(), tasks_, row, 0); }
    std::string TaskTitle(int row) const
    {
        return Text(("_PageRegistryCleanerTask" + std::to_string(row + 1)).c_str());
    }
    std::string CountedTitle(int row, int count) const
    {
        return FormatTextWithStringAndNumber(Text("_PageRegistryCleanerTaskCount"), TaskTitle(row), count);
    }
    bool Scan()
    {
        ClickButton(page_, IDC_CLEANER_SCAN);
        return WaitForScanEnd();
    }
    int ProgressPosition() const { return static_cast<int>(SendMessageW(progress_, PBM_GETPOS, 0, 0)); }
    int ProgressEnd() const { return static_cast<int>(SendMessageW(progress_, PBM_GETRANGE, FALSE, 0)); }

    HWND progress_ = nullptr;
};

} // namespace

TEST_F(CleanerCountsTest, EachCheckShowsItsFindingsAndTheBarTheChecksDone)
{
    const std::string unique = UniqueName("counts");
    PlantedKey planted(unique);
    planted.SetString("App", "Path", "\"" + MissingProgram(unique) + "\" /x");
    planted.SetString("App", "Other", MissingProgram(unique + "-other"));
    PlantedMruValue mru("q" + unique);
    WriteConfig(copy_, "1,0,0,0,0,1,0,0,0,0,0");
    ASSERT_TRUE(Launch(false));
    EXPECT_FALSE(IsWindowVisible(progress_));
    for (int row = 0; row < 11; ++row)
        EXPECT_EQ(TaskText(row), TaskTitle(row)) << row;

    ASSERT_TRUE(Scan()) << Status();
    const int bothRows = ListViewCount(results_);
    // The counts of the two checks add up to the rows; the second scan
    // below tells how many of them the sixth check made.
    const std::string first = TaskText(0);
    const std::string sixth = TaskText(5);
    for (int row : {1, 2, 3, 4, 6, 7, 8, 9, 10})
        EXPECT_EQ(TaskText(row), TaskTitle(row)) << row;
    // Both ticked checks are done; the bar is put away once the scan ended.
    EXPECT_EQ(ProgressEnd(), 2);
    EXPECT_EQ(ProgressPosition(), 2);
    EXPECT_FALSE(IsWindowVisible(progress_));

    // A new scan starts without the counts of the last one.
    LVITEMW untick = {};
    untick.stateMask = LVIS_STATEIMAGEMASK;
    untick.state = INDEXTOSTATEIMAGEMASK(1);
    void* remote = VirtualAllocEx(program_.Process(), nullptr, sizeof untick, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(remote, nullptr);
    WriteProcessMemory(program_.Process(), remote, &untick, sizeof untick, nullptr);
    SendMessageW(tasks_, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(program_.Process(), remote, 0, MEM_RELEASE);
    ASSERT_FALSE(TaskTicked(tasks_, 0));
    ASSERT_TRUE(Scan()) << Status();
    const int sixthRows = ListViewCount(results_);
    EXPECT_GE(sixthRows, 1); // the planted value at least
    EXPECT_GE(static_cast<int>(ListViewRowsWith(program_.Process(), results_, 1, kRunMruPath).size()), 1);
    EXPECT_EQ(TaskText(0), TaskTitle(0));
    EXPECT_EQ(TaskText(5), CountedTitle(5, sixthRows));
    EXPECT_EQ(sixth, CountedTitle(5, sixthRows));
    EXPECT_EQ(first, CountedTitle(0, bothRows - sixthRows));
    EXPECT_GE(bothRows - sixthRows, 2); // the two planted values at least
    EXPECT_EQ(ProgressEnd(), 1);
    EXPECT_EQ(ProgressPosition(), 1);
    EXPECT_EQ(Close(), 2u);
}

TEST_F(CleanerCountsTest, WithoutAdministratorRightsARefusedDeletionOffersTheRestart)
{
    const std::string unique = UniqueName("rights");
    PlantedKey planted(unique);
    planted.SetString("Locked", "Path", MissingProgram(unique));
    const DeniedChanges denied(planted.Path() + "\\Locked");
    ASSERT_TRUE(denied.Applied());
    // The eleventh check looks under HKEY_LOCAL_MACHINE.
    WriteConfig(copy_, "1,0,0,0,0,0,0,0,0,0,1");
    ASSERT_TRUE(Launch(true));
    HWND restart = GetDlgItem(page_, IDC_RESTART_ADMIN);
    ASSERT_NE(restart, nullptr);
    EXPECT_EQ(Status(), Text("_PageRegistryCleanerMachineNote"));
    EXPECT_FALSE(IsWindowVisible(restart));

    ASSERT_TRUE(Scan()) << Status();
    const std::string keyPath = planted.Path() + "\\Locked";
    std::vector<int> rows = ListViewRowsWith(program_.Process(), results_, 1, keyPath);
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_TRUE(ListViewSetRowSelected(program_.Process(), results_, rows[0], true));
    ClickButton(page_, IDC_CLEANER_DELETE);
    HWND question = program_.WaitForDialog(Text("_Quorvane"), main_);
    ASSERT_NE(question, nullptr);
    PostMessageW(question, WM_COMMAND, IDYES, 0);

    // The result names the entry and why it stays.
    const std::string needsRights = Text("_RegistryListViewNeedsAdministrator");
    HWND notice = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        notice = program_.WaitForDialog(Text("_Quorvane"), main_, 500);
        return notice && MessageBoxText(notice).find(needsRights) != std::string::npos;
    }));
    EXPECT_NE(MessageBoxText(notice).find("HKEY_CURRENT_USER\\" + keyPath + "\\Path: " + needsRights),
              std::string::npos)
        << MessageBoxText(notice);
    PostMessageW(notice, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(restart) != FALSE; }, 10000));
    EXPECT_TRUE(planted.HasValue("Locked", "Path"));
    EXPECT_EQ(ListViewRowsWith(program_.Process(), results_, 1, keyPath).size(), 1u);
    // The offer stays: the bar takes its place only while a scan runs.
    ASSERT_TRUE(Scan()) << Status();
    EXPECT_TRUE(IsWindowVisible(restart));
    EXPECT_FALSE(IsWindowVisible(progress_));
    EXPECT_EQ(Close(), 2u);
}

TEST_F(CleanerCountsTest, RestartAsAdministratorHandsTheWindowOverOnTheSamePage)
{
    WriteConfig(copy_, "0");
    ASSERT_TRUE(Launch(true));
    const std::string caption = WindowText(main_);
    ASSERT_TRUE(TreeViewSelectRoot(PageListOf(main_), 1));
    HWND search = PageWithControl(main_, IDC_SEARCH_KEYWORD);
    ASSERT_NE(search, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(search) != FALSE; }));

    // What the page's button does once it is offered.
    ClickButton(search, IDC_RESTART_ADMIN);
    DWORD exitCode = 99;
    ASSERT_TRUE(program_.WaitForExit(exitCode));
    EXPECT_EQ(exitCode, 2u);

    MainWindowSearch found = {caption, program_.ProcessId(), nullptr};
    ASSERT_TRUE(WaitUntil([&] {
        found.found = nullptr;
        EnumWindows(FindOtherMainWindow, reinterpret_cast<LPARAM>(&found));
        return found.found != nullptr;
    }));
    DWORD processId = 0;
    GetWindowThreadProcessId(found.found, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION | PROCESS_VM_READ |
                                     PROCESS_VM_WRITE | SYNCHRONIZE,
                                 FALSE, processId);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(TreeViewSelectedText(process, PageListOf(found.found)), Text("_PageRegistrySearchTitle"));
    EXPECT_TRUE(IsWindowVisible(PageWithControl(found.found, IDC_SEARCH_KEYWORD)));
    // Wine's "runas" starts the copy with the caller's token, so whether it
    // has the rights cannot be seen here.

    PostMessageW(found.found, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0);
    DWORD nextExitCode = 99;
    GetExitCodeProcess(process, &nextExitCode);
    EXPECT_EQ(nextExitCode, 2u);
    CloseHandle(process);
}
