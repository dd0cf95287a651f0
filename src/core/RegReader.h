// Reading the REG files the program restores from, in every encoding the
// registry editor takes: UTF-16 LE with a byte-order mark (as the program and
// the registry editor write them), UTF-8 with a byte-order mark, and the
// system's ANSI code page (the "REGEDIT4" backups of earlier versions). Every
// name and text is read into UTF-8, and data into the bytes the registry
// editor stores. Lines are read by the rules
// the registry editor merges them with; a line whose entry is not in the
// result is always listed with its reason, never dropped silently.
// Platform-free: the file's bytes are handed in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Platform.h"

enum class RegFileEncoding {
    kAnsi,    // no byte-order mark: the system's ANSI code page
    kUtf16,   // FF FE
    kUtf8,    // EF BB BF
};

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
    // The data as the registry stores it: a quoted string as UTF-16 LE with
    // its terminating zero unit, a dword as four little-endian bytes, a hex
    // list as its bytes (the hex(2) and hex(7) lists of a REGEDIT4 file are
    // ANSI text, which the registry editor stores as UTF-16 LE, and so are
    // they here).
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
};

struct RegRefusedLine {
    std::size_t line = 0;   // from 1
    RegReadProblem problem = RegReadProblem::kUnknownLine;
};

struct RegFileContent {
    RegFileFormat format = RegFileFormat::kUnknown;
    RegFileEncoding encoding = RegFileEncoding::kAnsi;
    std::vector<RegFileKey> keys;               // in file order
    std::vector<RegRefusedLine> refusedLines;   // in line order
};

// Reads a REG file from its bytes; the text rules turn ANSI text into UTF-8
// and compare root key names. Lines may end in CR LF, LF or CR.
RegFileContent ReadRegFile(TextRules& textRules, const std::string& bytes);

// Reads as ReadRegFile, for a large file read only to compare it: a key line
// that names the same key as the key line right before it (the program's
// writer puts one before each value) adds its values to that entry instead of
// making one of its own, and the bytes are released as soon as they are
// decoded. What the file leaves behind when merged is the same.
RegFileContent ReadRegFileJoined(TextRules& textRules, std::string&& bytes);
