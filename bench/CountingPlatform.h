// A platform that hands every call on to another one and counts, per door,
// how often it was called and how long the calls took, so that the scan
// benchmark can tell where a task spends its time beyond its walks.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "core/Platform.h"

class CountingPlatform : public Platform {
public:
    enum Call {
        kOpenKey, kQueryInfoKey, kQueryValue, kEnumValue, kEnumKey, kCloseKey,
        kOpenFileExists, kFileAttributes, kLogicalDriveStrings, kDriveType, kListFolder,
        kLowerText, kUpperText, kAnsiToUtf8, kTimeZoneName, kOther, kCallCount
    };

    struct Tally {
        long long calls[kCallCount] = {};
        long long ticks[kCallCount] = {};
    };

    explicit CountingPlatform(Platform& inner) : inner_(inner)
    {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        ticksPerSecond_ = static_cast<double>(frequency.QuadPart);
    }

    Tally TakeTally()
    {
        Tally taken = tally_;
        tally_ = Tally();
        return taken;
    }

    static const char* CallName(int call)
    {
        static const char* const names[kCallCount] = {
            "OpenKey", "QueryInfoKey", "QueryValue", "EnumValue", "EnumKey", "CloseKey",
            "OpenFileExists", "FileAttributes", "LogicalDriveStrings", "DriveType", "ListFolder",
            "LowerText", "UpperText", "AnsiToUtf8", "TimeZoneName", "other"};
        return names[call];
    }

    double Milliseconds(long long ticks) const { return ticks * 1000.0 / ticksPerSecond_; }

    long OpenKey(KeyHandle parent, const std::string& path, KeyHandle* key) override
    {
        return Timed(kOpenKey, [&] { return inner_.OpenKey(parent, path, key); });
    }
    long QueryInfoKey(KeyHandle key, KeyInfo* info) override
    {
        return Timed(kQueryInfoKey, [&] { return inner_.QueryInfoKey(key, info); });
    }
    long QueryValue(KeyHandle key, const std::string& name, std::uint32_t* type,
                    std::uint8_t* data, std::uint32_t* size) override
    {
        return Timed(kQueryValue, [&] { return inner_.QueryValue(key, name, type, data, size); });
    }
    long EnumValue(KeyHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength,
                   std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) override
    {
        return Timed(kEnumValue, [&] {
            return inner_.EnumValue(key, index, name, nameLength, type, data, dataSize);
        });
    }
    long EnumKey(KeyHandle key, std::uint32_t index, char* name,
                 std::uint32_t nameBufferSize) override
    {
        return Timed(kEnumKey, [&] { return inner_.EnumKey(key, index, name, nameBufferSize); });
    }
    long SetValue(KeyHandle key, const std::string& name, std::uint32_t type,
                  const std::uint8_t* data, std::uint32_t size) override
    {
        return Timed(kOther, [&] { return inner_.SetValue(key, name, type, data, size); });
    }
    long DeleteValue(KeyHandle key, const std::string& name) override
    {
        return Timed(kOther, [&] { return inner_.DeleteValue(key, name); });
    }
    long CreateKey(KeyHandle parent, const std::string& path, KeyHandle* key) override
    {
        return Timed(kOther, [&] { return inner_.CreateKey(parent, path, key); });
    }
    long DeleteKeyTree(KeyHandle parent, const std::string& subKey) override
    {
        return Timed(kOther, [&] { return inner_.DeleteKeyTree(parent, subKey); });
    }
    long QueryKeyVolatile(KeyHandle key, bool* isVolatile) override
    {
        return Timed(kOther, [&] { return inner_.QueryKeyVolatile(key, isVolatile); });
    }
    void CloseKey(KeyHandle key) override
    {
        Timed(kCloseKey, [&] {
            inner_.CloseKey(key);
            return 0;
        });
    }

    bool OpenFileExists(const std::string& path) override
    {
        return Timed(kOpenFileExists, [&] { return inner_.OpenFileExists(path); });
    }
    std::uint32_t FileAttributes(const std::string& path) override
    {
        return Timed(kFileAttributes, [&] { return inner_.FileAttributes(path); });
    }
    std::string LogicalDriveStrings() override
    {
        return Timed(kLogicalDriveStrings, [&] { return inner_.LogicalDriveStrings(); });
    }
    unsigned DriveType(const std::string& rootPath) override
    {
        return Timed(kDriveType, [&] { return inner_.DriveType(rootPath); });
    }
    bool ListFolder(const std::string& pattern, FolderVisitor visitor, void* context) override
    {
        return Timed(kListFolder, [&] { return inner_.ListFolder(pattern, visitor, context); });
    }
    bool FileTimes(const std::string& path, CalendarTime* creation, CalendarTime* lastAccess,
                   CalendarTime* lastWrite) override
    {
        return Timed(kOther,
                     [&] { return inner_.FileTimes(path, creation, lastAccess, lastWrite); });
    }
    bool MakeDirectoryPath(const std::string& folder) override
    {
        return Timed(kOther, [&] { return inner_.MakeDirectoryPath(folder); });
    }
    std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path,
                                                 bool failIfExists) override
    {
        return Timed(kOther, [&] { return inner_.CreateOutputFile(path, failIfExists); });
    }
    bool RemoveFile(const std::string& path) override
    {
        return Timed(kOther, [&] { return inner_.RemoveFile(path); });
    }

    std::string AnsiToUtf8(const std::string& ansi) override
    {
        return Timed(kAnsiToUtf8, [&] { return inner_.AnsiToUtf8(ansi); });
    }
    void LowerText(std::string& text) override
    {
        Timed(kLowerText, [&] {
            inner_.LowerText(text);
            return 0;
        });
    }
    void UpperText(std::string& text) override
    {
        Timed(kUpperText, [&] {
            inner_.UpperText(text);
            return 0;
        });
    }

    std::string ReadProfileString(const std::string& file, const std::string& section,
                                  const std::string& key, std::size_t maxLength) override
    {
        return Timed(kOther,
                     [&] { return inner_.ReadProfileString(file, section, key, maxLength); });
    }
    CalendarTime CurrentLocalTime() override
    {
        return Timed(kOther, [&] { return inner_.CurrentLocalTime(); });
    }
    std::string CurrentTimeZoneStandardName() override
    {
        return Timed(kTimeZoneName, [&] { return inner_.CurrentTimeZoneStandardName(); });
    }
    bool RunsUnderWow64() override
    {
        return Timed(kOther, [&] { return inner_.RunsUnderWow64(); });
    }
    bool RunsElevated() override
    {
        return Timed(kOther, [&] { return inner_.RunsElevated(); });
    }

private:
    template <typename Body>
    auto Timed(Call call, Body body) -> decltype(body())
    {
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        auto result = body();
        LARGE_INTEGER end;
        QueryPerformanceCounter(&end);
        ++tally_.calls[call];
        tally_.ticks[call] += end.QuadPart - start.QuadPart;
        return result;
    }

    Platform& inner_;
    Tally tally_;
    double ticksPerSecond_ = 1;
};
