// The program file and the folder everything else lies in (see ProgramPaths.h).
#include "win32/ProgramPaths.h"

#include "core/Language.h"
#include "win32/Win32Platform.h"
#include "win32/WideText.h"

#include <vector>

namespace {

// The largest path the system hands out (a "\\?\" path of 32,767 units).
constexpr DWORD kLongestPath = 32768;

// The module's file path as the system gives it; the buffer grows until the
// whole path fits, so a folder deeper than MAX_PATH is no obstacle.
std::wstring ModuleFilePath(HMODULE module)
{
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetModuleFileNameW(module, buffer.data(), size);
        if (length == 0)
            return std::wstring();
        // A path that did not fit comes back cut to the buffer's size.
        if (length < size || size >= kLongestPath)
            return std::wstring(buffer.data(), length < size ? length : size);
        buffer.assign(size * 2 < kLongestPath ? size * 2 : kLongestPath, L'\0');
    }
}

} // namespace

std::string ProgramFilePath(HMODULE module)
{
    return Narrow(ModuleFilePath(module));
}

std::string ProgramFolder()
{
    return FolderOfModulePath(ProgramFilePath());
}

std::string ProgramBaseName(bool keepExtension)
{
    // The module's base name is the file name of its path.
    const std::wstring path = ModuleFilePath(nullptr);
    const std::size_t separator = path.find_last_of(L"\\/");
    std::string name = Narrow(separator == std::wstring::npos ? std::wstring_view(path)
                                                              : std::wstring_view(path).substr(separator + 1));
    return keepExtension ? name : StripExtension(name);
}
