// Reading the REG files the program restores from: "REGEDIT4" files in the
// system's ANSI code page, as the program writes them, and "Windows Registry
// Editor Version 5.00" files in UTF-16LE with a byte-order mark, as the
// registry editor writes whole-registry backups. Lines are read by the rules
// the registry editor merges them with; a line whose entry is not in the
// result is always listed with its reason, never dropped silently.
// Platform-free: the file's bytes are handed in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Platform.h"

enum class RegFileFormat {
    kUnknown,    // neither header: nothing in the file is read
    kRegedit4,   // "REGEDIT4"
    kVersion5,   // "Windows Registry Editor Version 5.00"
};

// One value line below a key line.
struct RegFileValue {
    std::string name;        // "" for the default value ("@")
    bool deleted = false;    // "name"=-: the value is to be removed
    std::uint32_t type = 0;
    // The data as the platform's ANSI registry functions read it: a quoted
    // string with its terminating zero, a dword as four little-endian bytes,
    // a hex list as its bytes (text types of UTF-16 files converted to ANSI).
    std::string data;
    std::size_t line = 0;    // line number of the value's first line, from 1
};

// One key line with the values that follow it. A key named twice in the file
// gives two entries, in file order.
struct RegFileKey {
    RootKey root = kNoRootKey;
    std::string rootName;    // the root's full name, as RootKeyName gives it
    std::string path;        // below the root, without leading or trailing backslashes
    bool deleted = false;    // [-ROOT\path]: the key is to be removed with its subtree
    std::size_t line = 0;
    std::vector<RegFileValue> values;
};

enum class RegReadProblem {
    kNoHeader,          // the first line is neither header: nothing is read
    kOddLength,         // a UTF-16 file with an odd byte count: the last byte is left over
    kNulCharacter,      // a line holding a zero character
    kUnknownLine,       // neither key, value, comment nor blank line
    kBadKeyLine,        // no closing bracket, a blank after the opening one, or a root deleted
    kUnknownRootKey,    // the key's root is none of the seven root keys
    kBadName,           // an unterminated quoted name, an unknown escape, or no "=" after the name
    kBadData,           // data in none of the known forms, or malformed
    kValueWithoutKey,   // a value line with no readable key line before it
    kNotConvertible,    // UTF-16 text without an exact spelling in the ANSI code page
};

struct RegRefusedLine {
    std::size_t line = 0;   // from 1
    RegReadProblem problem = RegReadProblem::kUnknownLine;
};

struct RegFileContent {
    RegFileFormat format = RegFileFormat::kUnknown;
    bool utf16 = false;                         // the file began with the UTF-16LE byte-order mark
    std::vector<RegFileKey> keys;               // in file order
    std::vector<RegRefusedLine> refusedLines;   // in line order
};

// Converts UTF-16 text (length code units; zeros may occur inside) to the
// bytes of the system's ANSI code page. Returns false when any character has
// no exact spelling there: a best-fit or default character would change the
// entry, so the entry is reported instead.
using Utf16ToAnsi = bool (*)(const char16_t* text, std::size_t length, std::string* ansi,
                             void* context);

// Reads a REG file from its bytes. convert is needed only for UTF-16 files;
// when it is null, every name and text of such a file is reported as not
// convertible. Lines may end in CR LF, LF or CR. Memory grows only with the
// bytes actually read.
RegFileContent ReadRegFile(CodePage& codePage, const std::string& bytes, Utf16ToAnsi convert,
                           void* context);
