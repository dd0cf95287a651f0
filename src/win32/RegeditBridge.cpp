// The registry editor that lies beside the program (see RegeditBridge.h).
#include "win32/RegeditBridge.h"

#include <shellapi.h>

#include "win32/Win32Handles.h"
#include "win32/ProgramPaths.h"
#include "core/RegistryPaths.h"
#include "win32/Win32Platform.h"

namespace {

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// Starts the editor with the parameters and, with wait, waits for it to end.
// Failures pass silently: without a process there is nothing to wait for.
void RunEditor(const std::string& editorPath, const std::string& parameters, bool wait)
{
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    // The shell must not show its own error box for a missing editor: the
    // callers report through their status lines only.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = nullptr;
    info.lpVerb = nullptr;
    info.lpFile = editorPath.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = nullptr;
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
    const UniqueHandle process(info.hProcess);
    if (wait && process)
        WaitForSingleObject(process.Get(), INFINITE);
}

} // namespace

std::string RegeditExportParameters(const std::string& keyPath, const std::string& filePath)
{
    if (keyPath.empty())
        return "/e " + Quoted(filePath) + " ";
    return "/e " + Quoted(filePath) + " " + Quoted(keyPath) + " ";
}

std::string RegeditImportParameters(const std::string& filePath, bool silent)
{
    return (silent ? "/s " : "") + Quoted(filePath) + " ";
}

std::string RegeditLastKeyText(const std::string& rootName, const std::string& keyPath)
{
    std::string text = rootName + "\\" + keyPath;
    if (text.back() == '\\')
        text.pop_back();
    return text;
}

void RunRegeditExport(const std::string& keyPath, const std::string& filePath,
                      const std::string& editorPath, bool wait)
{
    RunEditor(editorPath, RegeditExportParameters(keyPath, filePath), wait);
}

void RunRegeditImport(const std::string& filePath, const std::string& editorPath, bool wait,
                      bool silent)
{
    RunEditor(editorPath, RegeditImportParameters(filePath, silent), wait);
}

void OpenInRegedit(const std::string& rootName, const std::string& keyPath, HWND owner)
{
    OpenInRegeditWith(rootName, keyPath, owner, ProgramFolder() + kRegeditBelowProgram);
}

void OpenInRegeditWith(const std::string& rootName, const std::string& keyPath, HWND owner,
                       const std::string& editorPath)
{
    // An existing key is opened, a missing one is not created: without it
    // the editor could not be told the key, so it is not started either.
    Platform& platform = SystemPlatform();
    ScopedKey applet(platform);
    if (applet.Open(RootHandle(kHkeyCurrentUser), kRegeditAppletKey) != kResultOk)
        return;
    const std::string lastKey = RegeditLastKeyText(rootName, keyPath);
    platform.SetValue(applet.Get(), "LastKey", kRegSz, reinterpret_cast<const std::uint8_t*>(lastKey.c_str()),
                      static_cast<std::uint32_t>(lastKey.size() + 1));
    ShellExecuteA(owner, "open", editorPath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
