// The doors through which the program's core reaches the system: the registry,
// the file system, the system's text rules, and the environment (profile
// files and the clock). Every name, path and text crossing them is UTF-8
// (core/Unicode.h); the Win32 implementation turns it into the system's
// UTF-16 and back, unit for unit. Each function of the core takes only the
// doors it goes through. The Win32 implementation talks to the real system;
// the in-memory one backs the native unit tests. Both implement every door,
// bundled as Platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Predefined root keys, with the values the system gives them.
using RootKey = std::uint32_t;
constexpr RootKey kNoRootKey = 0;
constexpr RootKey kHkeyClassesRoot = 0x80000000u;
constexpr RootKey kHkeyCurrentUser = 0x80000001u;
constexpr RootKey kHkeyLocalMachine = 0x80000002u;
constexpr RootKey kHkeyUsers = 0x80000003u;
constexpr RootKey kHkeyPerformanceData = 0x80000004u;
constexpr RootKey kHkeyCurrentConfig = 0x80000005u;
constexpr RootKey kHkeyDynData = 0x80000006u;

// An open key. A root key value is itself a valid, always-open handle.
using KeyHandle = std::uintptr_t;
constexpr KeyHandle kNoKey = 0;
inline KeyHandle RootHandle(RootKey root) { return static_cast<KeyHandle>(root); }

// Result codes of the registry operations are the system's error codes.
constexpr long kResultOk = 0;
constexpr long kResultFileNotFound = 2;
constexpr long kResultAccessDenied = 5;
constexpr long kResultMoreData = 234;
constexpr long kResultNoMoreItems = 259;

// Registry value types.
constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegDwordBigEndian = 5;
constexpr std::uint32_t kRegLink = 6;
constexpr std::uint32_t kRegMultiSz = 7;
constexpr std::uint32_t kRegResourceList = 8;
constexpr std::uint32_t kRegFullResourceDescriptor = 9;
constexpr std::uint32_t kRegResourceRequirementsList = 10;
constexpr std::uint32_t kRegQword = 11;

// What RegQueryInfoKeyW reports; name lengths in UTF-8 bytes without the NUL
// (an upper bound: three bytes for each UTF-16 unit of the longest name), data
// sizes in bytes.
struct KeyInfo {
    std::uint32_t subKeyCount = 0;
    std::uint32_t maxSubKeyNameLength = 0;
    std::uint32_t valueCount = 0;
    std::uint32_t maxValueNameLength = 0;
    std::uint32_t maxValueDataSize = 0;
};

// Drive types as GetDriveTypeW reports them.
constexpr unsigned kDriveUnknown = 0;
constexpr unsigned kDriveNoRootDir = 1;
constexpr unsigned kDriveRemovable = 2;
constexpr unsigned kDriveFixed = 3;
constexpr unsigned kDriveRemote = 4;
constexpr unsigned kDriveCdRom = 5;
constexpr unsigned kDriveRamDisk = 6;

constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
constexpr std::uint32_t kFileAttributeDirectory = 0x10u;

// A calendar time, as SYSTEMTIME holds it.
struct CalendarTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// One entry of a folder listing (FindFirstFileW/FindNextFileW).
struct FoundFile {
    std::string name;              // name without folder
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
};

// Receives one entry of a folder listing with the listing's context; returns
// false to end the listing.
using FolderVisitor = bool (*)(const FoundFile& found, void* context);

// A file opened for writing; closed when destroyed.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    // Writes the bytes exactly as given (no line-end translation).
    virtual bool Write(const std::string& bytes) = 0;
    // Bytes written so far.
    virtual std::uint64_t Position() const = 0;
    // Flushes and closes; false when anything written was not stored.
    virtual bool Close() = 0;
};

// The registry (RegOpenKeyExW and its companions). Value data is handed over
// as the system stores it: string data as UTF-16 LE bytes, with whatever
// terminator, embedded zeros or odd byte count it has.
class RegistryAccess {
public:
    virtual ~RegistryAccess() = default;

    virtual long OpenKey(KeyHandle parent, const std::string& path, KeyHandle* key) = 0;
    // Opens the key at path below parent for reading and writing, creating it
    // and every missing key above it (non-volatile) first (RegCreateKeyExW).
    virtual long CreateKey(KeyHandle parent, const std::string& path, KeyHandle* key) = 0;
    virtual long QueryInfoKey(KeyHandle key, KeyInfo* info) = 0;
    // size: in, the buffer size in bytes; out, the data size. data may be null
    // to ask for the size only.
    virtual long QueryValue(KeyHandle key, const std::string& name, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) = 0;
    // nameLength: in, the name buffer size in bytes including the NUL; out,
    // the name's UTF-8 length without it. dataSize as for QueryValue.
    virtual long EnumValue(KeyHandle key, std::uint32_t index, char* name,
                           std::uint32_t* nameLength, std::uint32_t* type, std::uint8_t* data,
                           std::uint32_t* dataSize) = 0;
    // nameBufferSize in bytes, including the NUL.
    virtual long EnumKey(KeyHandle key, std::uint32_t index, char* name,
                         std::uint32_t nameBufferSize) = 0;
    virtual long SetValue(KeyHandle key, const std::string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) = 0;
    virtual long DeleteValue(KeyHandle key, const std::string& name) = 0;
    // Deletes the subkey with everything below it (SHDeleteKeyW).
    virtual long DeleteKeyTree(KeyHandle parent, const std::string& subKey) = 0;
    // Whether an open key is volatile: held by the system in memory only,
    // gone at the next start and rewritten by the system itself. kResultOk
    // with the answer, else the reason it could not be told.
    virtual long QueryKeyVolatile(KeyHandle key, bool* isVolatile) = 0;
    virtual void CloseKey(KeyHandle key) = 0;
};

// Files, folders and drives.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // True when the file can be opened for reading its attributes (CreateFileW
    // with no access asked): false for a missing file and for a folder.
    virtual bool OpenFileExists(const std::string& path) = 0;
    // GetFileAttributesW; kInvalidFileAttributes when nothing of that name exists.
    virtual std::uint32_t FileAttributes(const std::string& path) = 0;
    // The drive root strings as GetLogicalDriveStringsW fills its buffer:
    // each ended by a NUL, the list ended by an empty string.
    virtual std::string LogicalDriveStrings() = 0;
    virtual unsigned DriveType(const std::string& rootPath) = 0;
    // Lists the entries of a folder matching a pattern such as "C:\\x\\*.*", in
    // the file system's order, handing each to the visitor (when there is
    // one) with the context; the visitor returns false to stop early. False
    // when the listing could not be started.
    virtual bool ListFolder(const std::string& pattern, FolderVisitor visitor, void* context) = 0;
    // Creation, last-access and last-write times in local time; false when the
    // attributes cannot be read.
    virtual bool FileTimes(const std::string& path, CalendarTime* creation,
                           CalendarTime* lastAccess, CalendarTime* lastWrite) = 0;
    // Creates a folder and all missing parents; the path ends in a backslash.
    virtual bool MakeDirectoryPath(const std::string& folder) = 0;
    // Creates or truncates a file for writing; null when it cannot be created.
    // With failIfExists set an existing file is never touched.
    virtual std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path,
                                                         bool failIfExists) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
};

// The system's text rules.
class TextRules {
public:
    virtual ~TextRules() = default;

    // Case of every script as Windows folds it (CharLowerBuffW, CharUpperBuffW).
    // The text keeps its length in UTF-16 units.
    virtual void LowerText(std::string& text) = 0;
    virtual void UpperText(std::string& text) = 0;
    // Text in the system's ANSI code page (a REGEDIT4 file) to UTF-8.
    virtual std::string AnsiToUtf8(const std::string& ansi) = 0;
};

// Profile files and the clock.
class Environment {
public:
    virtual ~Environment() = default;

    // GetPrivateProfileStringW with an empty default; at most maxLength
    // UTF-16 units are returned.
    virtual std::string ReadProfileString(const std::string& file, const std::string& section,
                                          const std::string& key, std::size_t maxLength) = 0;
    virtual CalendarTime CurrentLocalTime() = 0;
    // Standard name of the time zone in use.
    virtual std::string CurrentTimeZoneStandardName() = 0;
    // True when this process is a 32-bit program on 64-bit Windows, whose
    // registry and system folder the system redirects (IsWow64Process).
    virtual bool RunsUnderWow64() = 0;
    // True when this process runs with its administrator rights in force
    // (an elevated token), so that it may change the machine-wide keys.
    virtual bool RunsElevated() = 0;
};

// Every door at once, for the few places that go through all of them (a
// cleaner task) and for handing one object to functions that take several.
class Platform : public RegistryAccess,
                 public FileSystem,
                 public TextRules,
                 public Environment {
};
