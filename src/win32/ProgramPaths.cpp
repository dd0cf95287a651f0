// The program file and the folder everything else lies in (see ProgramPaths.h).
#include "win32/ProgramPaths.h"

#include "core/Language.h"
#include "win32/Win32Platform.h"

#include <psapi.h>

namespace {

constexpr DWORD kMaxModulePath = 260;

} // namespace

std::string ProgramFilePath(HMODULE module)
{
    char buffer[kMaxModulePath + 1] = {};
    const DWORD length = GetModuleFileNameA(module, buffer, kMaxModulePath);
    return std::string(buffer, length < kMaxModulePath ? length : kMaxModulePath);
}

std::string ProgramFolder()
{
    return FolderOfModulePath(SystemPlatform(), ProgramFilePath());
}

std::string ProgramBaseName(bool keepExtension)
{
    char buffer[kMaxModulePath + 1] = {};
    GetModuleBaseNameA(GetCurrentProcess(), nullptr, buffer, kMaxModulePath);
    std::string name = buffer;
    return keepExtension ? name : StripExtension(name);
}
