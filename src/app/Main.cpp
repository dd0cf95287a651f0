// The program's entry point: one instance, COM, the language file, the XML
// component test, the logging component, then the main window until it closes.
// A command line with arguments asks for a run without a window instead.
#include "app/CommandLineRun.h"
#include "core/CommandLine.h"
#include "core/StartupRules.h"
#include "ui/MainWindow.h"
#include "win32/Win32Platform.h"
#include "win32/Win32Handles.h"
#include "win32/LanguageWin.h"
#include "win32/ProgramPaths.h"
#include "win32/WideText.h"

#include <commctrl.h>
#include <objbase.h>
#include <oleauto.h>

namespace {

constexpr const wchar_t* kInstanceMutexName = L"{287424ZO-V2UZ-4a6z-I14D-8A08515D78OV}";
constexpr DWORD kComContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

// DOMDocument and IXMLDOMDocument.
const CLSID kClsidDomDocument = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidXmlDomDocument = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

// The logging component (ProgID "ZevIzizive.Log") that may be installed with
// the program; the program only hands it its log folder, Log\Data.
const IID kIidLogComponent = {0x3266C63B, 0x1B1F, 0x4589, {0xB6, 0x61, 0x96, 0x58, 0xF8, 0xD0, 0x74, 0x96}};
struct ILogComponent : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE FirstMethod() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetLogFolder(BSTR folder) = 0;
};

bool XmlComponentAvailable()
{
    ComPtr<IUnknown> document;
    return SUCCEEDED(CoCreateInstance(kClsidDomDocument, nullptr, kComContext, kIidXmlDomDocument,
                                      document.ReceiveVoid()));
}

void StartLogging(ComPtr<ILogComponent>& log)
{
    CLSID clsid = {};
    if (FAILED(CLSIDFromProgID(L"ZevIzizive.Log", &clsid)))
        return;
    if (FAILED(CoCreateInstance(clsid, nullptr, kComContext, kIidLogComponent, log.ReceiveVoid())))
        return;
    const std::wstring folder = Widen(ProgramFolder() + "\\Log\\Data");
    BSTR text = SysAllocStringLen(folder.data(), static_cast<UINT>(folder.size()));
    if (!text)
        return;
    log->SetLogFolder(text);
    SysFreeString(text);
}

// The arguments of the process's command line: what follows the program's
// name (quoted or not) and the blanks after it, as the runtime hands it to
// WinMain, but with every character the user typed.
std::string CommandLineArguments()
{
    const wchar_t* line = GetCommandLineW();
    if (!line)
        return std::string();
    if (*line == L'"') {
        ++line;
        while (*line && *line != L'"')
            ++line;
        if (*line == L'"')
            ++line;
    } else {
        while (*line > L' ')
            ++line;
    }
    while (*line && *line <= L' ')
        ++line;
    return NarrowZ(line);
}

int RunMainWindow(int showState, OpeningPage page)
{
    MainWindow mainWindow;
    if (!mainWindow.Create(page))
        return 0;
    mainWindow.Show(showState);
    MSG message;
    int result = 0;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            result = static_cast<int>(message.wParam);
            break;
        }
        if (got == -1)
            break;
        HWND window = mainWindow.Window();
        if (mainWindow.TranslateShortcut(message))
            continue;
        if (window && IsDialogMessageW(window, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return result;
}

// How long a copy started on a page (the restart as administrator) waits for
// the copy that started it to save its settings and end.
constexpr DWORD kWaitForEarlierCopyMs = 60000;
constexpr DWORD kInstancePollMs = 100;

// Takes the single-instance mutex into `mutex`; false when another copy
// runs. A copy started on a page waits a while for the other copy to end
// first: the restart as administrator starts this copy before the old one
// closes. A mutex that cannot be created at all lets the program run
// without the protection.
bool TakeInstanceMutex(bool waitForEarlierCopy, UniqueHandle& mutex)
{
    const DWORD start = GetTickCount();
    for (;;) {
        mutex.Reset(CreateMutexW(nullptr, FALSE, kInstanceMutexName));
        if (!mutex || GetLastError() != ERROR_ALREADY_EXISTS)
            return true;
        mutex.Reset();
        if (!waitForEarlierCopy || GetTickCount() - start >= kWaitForEarlierCopyMs)
            return false;
        Sleep(kInstancePollMs);
    }
}

// A run without a window: it is not the single instance, so it runs beside
// a window of the program and leaves it alone.
int RunWithoutWindow(const CommandLineRequest& request, const std::string& commandLine)
{
    ComApartment com;
    SetLanguageFile(ProgramFolder() + "\\" + ProgramBaseName(false) + ".language");
    const char* refusalKey = nullptr;
    if (MustRefuseToStart(sizeof(void*) == 4, SystemPlatform().RunsUnderWow64()))
        refusalKey = "_Need64BitBuild";
    else if (!XmlComponentAvailable())
        refusalKey = "_NotInstallXML2";
    return RunCommandLine(request, commandLine, refusalKey);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showState)
{
    // The runtime's narrow copy of the command line has lost every letter
    // outside the code page; the system's own is whole.
    const std::string arguments = CommandLineArguments();
    const CommandLineRequest request = ParseCommandLine(SystemPlatform(), arguments);
    if (request.action != CommandAction::Window)
        return RunWithoutWindow(request, arguments);

    UniqueHandle instanceMutex;
    if (!TakeInstanceMutex(request.openingPageGiven, instanceMutex))
        return 0;

    ComApartment com;
    SetLanguageFile(ProgramFolder() + "\\" + ProgramBaseName(false) + ".language");

    // A 32-bit copy on 64-bit Windows would check a redirected registry and
    // system folder, and offer present files as missing.
    if (MustRefuseToStart(sizeof(void*) == 4, SystemPlatform().RunsUnderWow64())) {
        ShowMessage(nullptr, LookupText("_Need64BitBuild"), MB_OK | MB_ICONINFORMATION);
        return 0;
    }

    if (!XmlComponentAvailable()) {
        ShowMessage(nullptr, LookupText("_NotInstallXML2"), MB_OK | MB_ICONINFORMATION);
        return 0;
    }

    ComPtr<ILogComponent> log;
    StartLogging(log);

    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                     ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);

    const int result = RunMainWindow(showState, request.openingPage);
    log.Reset();
    return result;
}
