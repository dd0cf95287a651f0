// The registry editor that lies beside the program (see RegeditBridge.h).
#include "win32/RegeditBridge.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdint>

#include "win32/Win32Handles.h"
#include "win32/Win32Platform.h"
#include "win32/ProgramPaths.h"
#include "win32/WideText.h"

namespace {

// The text between double quotes, so that the editor's command-line reader
// (by the rules of CommandLineToArgvW) gives it back as it is: backslashes
// before a quote, and those at the end, are doubled, and a quote inside is
// escaped. A path (which holds no quote) thus goes over as it is unless it
// ends in a backslash.
std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

// Starts the editor with the parameters and, with wait, waits for it to end
// and reads its exit code. The outcome tells what happened: an editor that
// could not be started, or was not waited for, has no exit code to trust.
EditorOutcome RunEditor(const std::string& editorPath, const std::string& parameters, bool wait)
{
    // Wide texts, so that paths of any letters reach the editor.
    const std::wstring file = Widen(editorPath);
    const std::wstring wideParameters = Widen(parameters);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    // The shell must not show its own error box for a missing editor: the
    // callers report through their status lines only.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = nullptr;
    info.lpVerb = nullptr;
    info.lpFile = file.c_str();
    info.lpParameters = wideParameters.c_str();
    info.lpDirectory = nullptr;
    info.nShow = SW_SHOWNORMAL;
    EditorOutcome outcome;
    const BOOL executed = ShellExecuteExW(&info);
    const UniqueHandle process(info.hProcess);
    outcome.started = executed && process;
    if (!outcome.started || !wait)
        return outcome;
    DWORD exitCode = 0;
    outcome.ended = WaitForSingleObject(process.Get(), INFINITE) == WAIT_OBJECT_0 &&
                    GetExitCodeProcess(process.Get(), &exitCode) && exitCode != STILL_ACTIVE;
    outcome.exitCode = outcome.ended ? exitCode : 0;
    return outcome;
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

EditorOutcome RunRegeditExport(const std::string& keyPath, const std::string& filePath,
                               const std::string& editorPath, bool wait)
{
    return RunEditor(editorPath, RegeditExportParameters(keyPath, filePath), wait);
}

EditorOutcome RunRegeditImport(const std::string& filePath, const std::string& editorPath, bool wait,
                               bool silent)
{
    return RunEditor(editorPath, RegeditImportParameters(filePath, silent), wait);
}

bool RunRegeditBackup(const std::string& keyPath, const std::string& filePath, const std::string& editorPath)
{
    const FileStamp before = ReadFileStamp(filePath);
    const EditorOutcome editor = RunRegeditExport(keyPath, filePath, editorPath, true);
    const FileStamp after = ReadFileStamp(filePath);
    // Read only when everything else holds: a whole-registry backup is large.
    if (!editor.Succeeded() || !ExportWroteFile(before, after))
        return false;
    std::string bytes;
    return ReadFileBytes(filePath, &bytes) && ExportWroteBackup(before, after, editor, SystemPlatform(), bytes);
}

FileStamp ReadFileStamp(const std::string& path)
{
    FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return stamp;
    stamp.exists = true;
    stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.lastWrite = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                      data.ftLastWriteTime.dwLowDateTime;
    return stamp;
}

bool ReadFileBytes(const std::string& path, std::string* bytes)
{
    // The reader needs the bytes and room of its own besides; a 32-bit
    // process cannot spare as much.
    constexpr std::uint64_t kLargestFile =
        sizeof(void*) == 4 ? 256ull * 1024 * 1024 : 4ull * 1024 * 1024 * 1024;
    bytes->clear();
    const UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
        static_cast<std::uint64_t>(size.QuadPart) > kLargestFile)
        return false;
    std::string read;
    read.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < read.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(read.size() - done, 1u << 24));
        DWORD got = 0;
        if (!ReadFile(file.Get(), &read[done], chunk, &got, nullptr) || got == 0)
            return false;
        done += got;
    }
    bytes->swap(read);
    return true;
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
    UniqueKey applet;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(kRegeditAppletKey).c_str(), 0, KEY_SET_VALUE,
                      applet.Receive()) != ERROR_SUCCESS)
        return;
    // Stored as wide text with its terminating zero, so a key of any letters
    // is handed over whole.
    const std::wstring lastKey = Widen(RegeditLastKeyText(rootName, keyPath));
    RegSetValueExW(applet.Get(), L"LastKey", 0, REG_SZ, reinterpret_cast<const BYTE*>(lastKey.c_str()),
                   static_cast<DWORD>((lastKey.size() + 1) * sizeof(wchar_t)));
    ShellExecuteW(owner, L"open", Widen(editorPath).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
