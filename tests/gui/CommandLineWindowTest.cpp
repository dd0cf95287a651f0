// The command line beside the window: a run without a window works while the
// main window of the same program is open and leaves it alone, and the usage
// asked for without a console comes in a message box.
#include "GuiDriver.h"
#include "ProgramRun.h"
#include "RegistryScratch.h"

#include "core/CommandLine.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct BoxSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<BoxSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window) || ClassName(window) != "#32770")
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND WaitForMessageBox(DWORD processId, DWORD timeoutMs = 30000)
{
    const DWORD start = GetTickCount();
    do {
        BoxSearch search = {processId, nullptr};
        EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Pump(100);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

} // namespace

TEST(CommandLineWindow, RunBesideTheOpenWindowLeavesItAlone)
{
    ProgramCopy copy("command-line-window");
    ScratchRegistryKey scratch;
    ASSERT_TRUE(scratch.IsCreated());
    const std::string keyword = "QvBeside" + UniqueScratchName() + "x";
    ASSERT_TRUE(scratch.SetString("", keyword, "data"));

    RunningProgram program;
    ASSERT_TRUE(program.Start(copy.Program()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    const std::string caption = WindowText(main);

    const std::string report = copy.File("beside.csv");
    const ProgramRun run =
        RunProgram(copy.Program(), "/search:" + keyword + " /values /roots:HKCU /report:" + report, RunConsole::None);
    ASSERT_TRUE(run.ended);
    EXPECT_FALSE(run.showedWindow);
    EXPECT_EQ(static_cast<DWORD>(kExitSomethingFound), run.exitCode);
    EXPECT_NE(std::string::npos, ReadWholeFile(report).find("HKEY_CURRENT_USER," + scratch.KeyPath() + "," + keyword +
                                                           ",data\r\n"));

    // The window is still there, answers and closes as always.
    ASSERT_TRUE(IsWindow(main));
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(caption, WindowText(main));
    SendMessageW(main, WM_CLOSE, 0, 0);
    DWORD exitCode = 0;
    ASSERT_TRUE(program.WaitForExit(exitCode));
    EXPECT_EQ(2u, exitCode);
}

TEST(CommandLineWindow, UsageWithoutAConsoleComesInAMessageBox)
{
    ProgramCopy copy("command-line-usage");
    DWORD processId = 0;
    HANDLE process = StartProgram(copy.Program(), "/?", &processId);
    ASSERT_NE(nullptr, process);
    HWND box = WaitForMessageBox(processId);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(LanguageFileText(copy, "_Quorvane"), WindowText(box));
    const std::string usage = LanguageFileText(copy, "_CommandLineUsage");
    const std::string firstLine = usage.substr(0, usage.find("\\n"));
    ASSERT_FALSE(firstLine.empty());
    EXPECT_EQ(0u, MessageBoxText(box).find(firstLine + "\n\n")) << MessageBoxText(box);

    PostMessageW(box, WM_COMMAND, IDOK, 0);
    const bool ended = WaitForSingleObject(process, 30000) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(process, 99);
    DWORD exitCode = 99;
    GetExitCodeProcess(process, &exitCode);
    CloseHandle(process);
    ASSERT_TRUE(ended);
    EXPECT_EQ(static_cast<DWORD>(kExitNothingFound), exitCode);
}
