// Where the program lies. Everything the program uses beside its own file is
// found below the program folder: the language file, config.xml, the backup
// folder and the registry editor in Tools. Paths are UTF-8 texts of any
// length.
#pragma once

#include <windows.h>

#include <string>

// The folder of the program file, without a trailing backslash.
std::string ProgramFolder();
// The program file's name without its folder, with or without its extension.
std::string ProgramBaseName(bool keepExtension);
// The full path of a module's file; with no module, the program file.
std::string ProgramFilePath(HMODULE module = nullptr);
