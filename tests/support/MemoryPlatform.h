// The platform held in memory: a registry tree, a file system with a drive
// table, case rules of Latin, Greek and Cyrillic letters and code page 1252
// as the ANSI code page, in-memory INI files and a settable clock. It answers every call as the
// Win32 functions do, so the core can be tested natively; its set-up and
// inspection helpers let tests build a situation and check the outcome.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/Platform.h"

// Faults a key can be given for tests; combine with |.
enum KeyFault : unsigned {
    kKeyFaultNone = 0,
    kDenyOpen = 1,        // opening the key fails with access denied
    kDenyEnumerate = 2,   // enumerating its values and subkeys fails with access denied
    kDenyQueryInfo = 4,   // asking for its sizes fails with access denied
    kDenyWrite = 8,       // setting and deleting its values fails with access denied
    kDenyDelete = 16,     // deleting the key (or a tree holding it) fails with access denied
    kDenyCreate = 32,     // creating a subkey below it fails with access denied
};

class MemoryPlatform : public Platform {
public:
    MemoryPlatform();
    ~MemoryPlatform() override;
    MemoryPlatform(const MemoryPlatform&) = delete;
    MemoryPlatform& operator=(const MemoryPlatform&) = delete;

    // --- Registry set-up and inspection (paths below the root, "\"-separated) ---
    void AddKey(RootKey root, const std::string& path);
    // Creates the key if needed; replaces a value of the same name in place.
    void AddValue(RootKey root, const std::string& path, const std::string& name,
                  std::uint32_t type, const std::string& bytes);
    // A REG_SZ value holding the text as Windows stores it: UTF-16 LE and a
    // terminating zero unit.
    void AddString(RootKey root, const std::string& path, const std::string& name,
                   const std::string& text);
    void AddDword(RootKey root, const std::string& path, const std::string& name,
                  std::uint32_t number);
    void SetKeyFaults(RootKey root, const std::string& path, unsigned faults);
    // Marks the key (created if needed) as one the system holds in memory only.
    void SetKeyVolatile(RootKey root, const std::string& path, bool isVolatile);
    // The value's data then never fits any buffer a caller offers: reading it
    // always ends with kResultMoreData.
    void MakeValueOversized(RootKey root, const std::string& path, const std::string& name);

    bool HasKey(RootKey root, const std::string& path) const;
    bool HasValue(RootKey root, const std::string& path, const std::string& name) const;
    // False when the key or value does not exist.
    bool ReadValue(RootKey root, const std::string& path, const std::string& name,
                   std::uint32_t* type, std::string* bytes) const;
    // Names as stored, in insertion order; empty when the key does not exist.
    std::vector<std::string> SubKeyNames(RootKey root, const std::string& path) const;
    std::vector<std::string> ValueNames(RootKey root, const std::string& path) const;

    // Key handles currently open (root handles are never counted).
    std::size_t OpenKeyCount() const;
    // Successful OpenKey calls that produced a new handle, since construction.
    std::size_t KeyOpenTotal() const;
    // CloseKey calls with a handle that was not open (double closes and the like).
    std::size_t BadCloseCount() const;

    // --- File system set-up and inspection ---
    // Files and folders are named by Windows paths, compared without regard to
    // case; missing parent folders are created. New entries get the current
    // local time as all three times.
    void AddFile(const std::string& path, const std::string& content = std::string(),
                 std::uint32_t attributes = 0x20);
    void AddFolder(const std::string& path);
    void SetFileSize(const std::string& path, std::uint64_t size);
    void SetFileTimes(const std::string& path, const CalendarTime& creation,
                      const CalendarTime& lastAccess, const CalendarTime& lastWrite);
    // The file exists, but OpenFile cannot open it (a locked file).
    void MakeFileUnopenable(const std::string& path);
    // CreateOutputFile fails for this path (also when it does not exist yet).
    void FailFileCreation(const std::string& path);
    // Writes to this path fail once the file would grow beyond byteLimit.
    void FailFileWritesAfter(const std::string& path, std::uint64_t byteLimit);
    void FailDirectoryCreation(bool fail);

    // Calls of the file and drive tests since construction.
    struct FileTestCounts {
        std::size_t openTests = 0;          // OpenFileExists
        std::size_t attributeQueries = 0;   // FileAttributes
        std::size_t driveLists = 0;         // LogicalDriveStrings
        std::size_t driveTypeQueries = 0;   // DriveType
    };
    FileTestCounts FileTests() const;

    bool HasFile(const std::string& path) const;
    bool HasFolder(const std::string& path) const;
    std::string FileContent(const std::string& path) const;

    // --- Drives: C: is a fixed disk unless changed ---
    void SetDrive(char letter, unsigned driveType);
    void RemoveDrive(char letter);

    // --- Text, profiles and time ---
    void SetProfileFile(const std::string& path, const std::string& text);
    void SetLocalTime(const CalendarTime& time);
    void SetTimeZoneName(const std::string& name);
    void SetRunsUnderWow64(bool wow64);
    void SetRunsElevated(bool elevated);

    // --- Platform ---
    long OpenKey(KeyHandle parent, const std::string& path, KeyHandle* key) override;
    long CreateKey(KeyHandle parent, const std::string& path, KeyHandle* key) override;
    long QueryInfoKey(KeyHandle key, KeyInfo* info) override;
    long QueryValue(KeyHandle key, const std::string& name, std::uint32_t* type,
                    std::uint8_t* data, std::uint32_t* size) override;
    long EnumValue(KeyHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength,
                   std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) override;
    long EnumKey(KeyHandle key, std::uint32_t index, char* name,
                 std::uint32_t nameBufferSize) override;
    long SetValue(KeyHandle key, const std::string& name, std::uint32_t type,
                  const std::uint8_t* data, std::uint32_t size) override;
    long DeleteValue(KeyHandle key, const std::string& name) override;
    long DeleteKeyTree(KeyHandle parent, const std::string& subKey) override;
    long QueryKeyVolatile(KeyHandle key, bool* isVolatile) override;
    void CloseKey(KeyHandle key) override;

    bool OpenFileExists(const std::string& path) override;
    std::uint32_t FileAttributes(const std::string& path) override;
    std::string LogicalDriveStrings() override;
    unsigned DriveType(const std::string& rootPath) override;
    bool ListFolder(const std::string& pattern, FolderVisitor visitor, void* context) override;
    bool FileTimes(const std::string& path, CalendarTime* creation, CalendarTime* lastAccess,
                   CalendarTime* lastWrite) override;
    bool MakeDirectoryPath(const std::string& folder) override;
    std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path,
                                                 bool failIfExists) override;
    bool RemoveFile(const std::string& path) override;

    void LowerText(std::string& text) override;
    void UpperText(std::string& text) override;
    std::string AnsiToUtf8(const std::string& ansi) override;

    std::string ReadProfileString(const std::string& file, const std::string& section,
                                  const std::string& key, std::size_t maxLength) override;

    CalendarTime CurrentLocalTime() override;
    std::string CurrentTimeZoneStandardName() override;
    bool RunsUnderWow64() override;
    bool RunsElevated() override;

    struct MemoryKey;
    struct FileEntry;

private:
    friend class MemoryOutputFile;

    std::string Upper(std::string text) const;
    std::vector<std::string> SplitComponents(const std::string& path, bool* emptyFirst) const;
    std::shared_ptr<MemoryKey> FindChild(const MemoryKey& parent, const std::string& name) const;
    MemoryKey* FindKey(RootKey root, const std::string& path) const;
    MemoryKey* MakeKey(RootKey root, const std::string& path);
    std::shared_ptr<MemoryKey> KeyOfHandle(KeyHandle handle, long* result) const;
    // Runs body with the key of an open handle under the lock, or returns
    // the handle's error.
    template <typename Body>
    long WithOpenKey(KeyHandle handle, Body body);

    std::string FileKey(const std::string& path) const;
    FileEntry* FindEntry(const std::string& path) const;
    FileEntry* MakeEntry(const std::string& path, bool folder);
    bool FolderExists(const std::string& path) const;
    bool AppendToFile(const std::string& key, const std::string& bytes);
    void EndWriting(const std::string& key);

    mutable std::mutex mutex_;
    std::map<RootKey, std::shared_ptr<MemoryKey>> roots_;
    std::map<KeyHandle, std::shared_ptr<MemoryKey>> handles_;
    KeyHandle nextHandle_ = 0x1000;
    std::size_t keyOpenTotal_ = 0;
    std::size_t badCloses_ = 0;

    std::map<std::string, std::unique_ptr<FileEntry>> files_;   // by upper-case path
    std::vector<std::string> fileOrder_;                          // upper-case paths, insertion order
    std::map<std::string, std::uint64_t> writeLimits_;
    std::vector<std::string> failCreation_;
    bool failDirectories_ = false;
    FileTestCounts fileTests_;

    std::map<char, unsigned> drives_;
    std::map<std::string, std::string> profiles_;   // by upper-case path
    CalendarTime localTime_;
    std::string timeZoneName_;
    bool runsUnderWow64_ = false;
    bool runsElevated_ = false;
};
