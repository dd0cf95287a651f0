// The platform of the running system: every call goes to the wide Win32
// functions, and every name, path and text is turned from the program's
// UTF-8 into UTF-16 and back, unit for unit.
// The drive table is kept for a short while: a scan reads the fixed drives
// once, but a check run without the scan's cache asks for them per path,
// and a drive query costs a hundred times more than a file test.
#pragma once

#include <chrono>
#include <mutex>
#include <string>

#include "core/Platform.h"

class Win32Platform : public Platform {
public:
    // How long a read drive table is used before it is read again.
    static constexpr std::chrono::milliseconds kDriveTableValidity{2000};

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

private:
    // Reads the drive list and each drive's type when the kept table is
    // older than kDriveTableValidity; call with driveMutex_ held.
    void RefreshDriveTable();

    std::mutex driveMutex_;
    bool driveTableRead_ = false;
    std::chrono::steady_clock::time_point driveTableTime_;
    std::string driveStrings_;
    unsigned driveTypes_[26] = {};
};

// The one platform of the process, shared by every thread.
Platform& SystemPlatform();
