// The Win32 side of the platform: registry, file system, drives, ANSI text
// rules, profiles and clock of the running system.
#include "win32/Win32Platform.h"

#include <windows.h>
#include <imagehlp.h>
#include <shlwapi.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "core/AnsiText.h"
#include "win32/AnsiConversion.h"

namespace {

// Predefined keys are 32-bit values; on x64 the system sign-extends them.
bool IsRootHandle(KeyHandle key)
{
    return key >= kHkeyClassesRoot && key <= kHkeyDynData;
}

HKEY ToHkey(KeyHandle key)
{
    if (IsRootHandle(key))
        return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(key)));
    return reinterpret_cast<HKEY>(key);
}

KeyHandle FromHkey(HKEY key)
{
    ULONG_PTR raw = reinterpret_cast<ULONG_PTR>(key);
    for (RootKey root = kHkeyClassesRoot; root <= kHkeyDynData; ++root) {
        if (raw == static_cast<ULONG_PTR>(static_cast<LONG>(root)))
            return RootHandle(root);
    }
    return static_cast<KeyHandle>(raw);
}

CalendarTime FromSystemTime(const SYSTEMTIME& time)
{
    return CalendarTime{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

// A file-system time as local calendar time; zero when it cannot be converted.
CalendarTime LocalCalendarTime(const FILETIME& fileTime)
{
    SYSTEMTIME utc, local;
    if (!FileTimeToSystemTime(&fileTime, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return CalendarTime();
    return FromSystemTime(local);
}

// A UTF-16 name read from the registry: room on the stack for every usual
// name, the heap for a longer one. The registry's longest value name has
// 16383 characters; a key name is shorter.
class WideName {
public:
    WCHAR* Data() { return heap_ ? heap_.get() : stack_; }
    DWORD Capacity() const { return capacity_; }
    // Makes room for a name of as many characters as the caller's ANSI
    // buffer holds bytes (with the NUL), since an ANSI name is never shorter
    // than its UTF-16 form; false when there is no more room to make.
    bool Grow(std::uint32_t callerSize)
    {
        const DWORD wanted = std::min<std::uint32_t>(callerSize, kLongestName + 1);
        if (wanted <= capacity_)
            return false;
        heap_.reset(new (std::nothrow) WCHAR[wanted]);
        if (!heap_) {
            capacity_ = kStackChars;
            return false;
        }
        capacity_ = wanted;
        return true;
    }

private:
    static constexpr DWORD kStackChars = 512;
    static constexpr DWORD kLongestName = 16383;
    WCHAR stack_[kStackChars];
    std::unique_ptr<WCHAR[]> heap_;
    DWORD capacity_ = kStackChars;
};

// UTF-16 value text on its way to the ANSI code page: room on the stack for
// short text, the heap for longer.
class WideText {
public:
    WCHAR* Data() { return heap_ ? heap_.get() : stack_; }
    // Room for `bytes` bytes of text; false when it cannot be had.
    bool Reserve(DWORD bytes)
    {
        const std::size_t units = bytes / sizeof(WCHAR) + 1;
        if (units <= kStackChars)
            return true;
        heap_.reset(new (std::nothrow) WCHAR[units]);
        return heap_ != nullptr;
    }

private:
    static constexpr std::size_t kStackChars = 1024;
    WCHAR stack_[kStackChars];
    std::unique_ptr<WCHAR[]> heap_;
};

// The ANSI form of a registry name into the caller's buffer: a system result
// code, or kResultNameNotSpellable.
long NameToAnsi(const WCHAR* wide, DWORD length, char* name, std::uint32_t bufferSize,
                std::uint32_t* ansiLength)
{
    switch (WideNameToSystemAnsi(wide, length, name, bufferSize, ansiLength)) {
    case AnsiNameResult::kConverted:
        return ERROR_SUCCESS;
    case AnsiNameResult::kTooLong:
        return ERROR_MORE_DATA;
    default:
        if (bufferSize > 0)
            name[0] = '\0';
        return kResultNameNotSpellable;
    }
}

bool IsTextType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Text data in the ANSI code page as RegEnumValueA hands it out: the UTF-16
// bytes (an odd last byte dropped) converted with the code page's best-fit
// and default characters. Writes into `ansi` when it is given and `room` is
// large enough, adding a NUL after text that lacks one when there is room;
// returns the ANSI size either way (more than `room` when it did not fit).
DWORD WideDataToAnsi(const WCHAR* wide, DWORD wideBytes, std::uint8_t* ansi, DWORD room)
{
    const int units = static_cast<int>(std::min<DWORD>(wideBytes / sizeof(WCHAR), INT_MAX / 2));
    if (units == 0)
        return 0;
    // Converted straight into the room offered; measured only when it
    // does not fit there.
    int size = 0;
    if (ansi && room > 0)
        size = WideCharToMultiByte(CP_ACP, 0, wide, units, reinterpret_cast<char*>(ansi),
                                   static_cast<int>(std::min<DWORD>(room, INT_MAX)), nullptr,
                                   nullptr);
    if (size <= 0) {
        size = WideCharToMultiByte(CP_ACP, 0, wide, units, nullptr, 0, nullptr, nullptr);
        return size > 0 ? static_cast<DWORD>(size) : 0;
    }
    if (static_cast<DWORD>(size) < room && ansi[size - 1] != 0)
        ansi[size] = 0;
    return static_cast<DWORD>(size);
}

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    ~FindHandle()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

class Win32OutputFile : public OutputFile {
public:
    explicit Win32OutputFile(HANDLE handle) : handle_(handle) {}
    ~Win32OutputFile() override { Close(); }

    bool Write(const std::string& bytes) override
    {
        if (handle_ == INVALID_HANDLE_VALUE || failed_)
            return false;
        std::size_t done = 0;
        while (done < bytes.size()) {
            DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
            DWORD written = 0;
            if (!WriteFile(handle_, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
                failed_ = true;
                return false;
            }
            done += written;
            position_ += written;
        }
        return true;
    }
    std::uint64_t Position() const override { return position_; }
    bool Close() override
    {
        if (handle_ != INVALID_HANDLE_VALUE) {
            // The file may be the only copy of what is about to be deleted.
            if (!FlushFileBuffers(handle_))
                failed_ = true;
            if (!CloseHandle(handle_))
                failed_ = true;
            handle_ = INVALID_HANDLE_VALUE;
        }
        return !failed_;
    }

private:
    HANDLE handle_;
    std::uint64_t position_ = 0;
    bool failed_ = false;
};

}  // namespace

// ------------------------------------------------------------------ registry

long Win32Platform::OpenKey(KeyHandle parent, const std::string& path, KeyHandle* key)
{
    HKEY opened = nullptr;
    LONG result = RegOpenKeyA(ToHkey(parent), path.c_str(), &opened);
    *key = result == ERROR_SUCCESS ? FromHkey(opened) : kNoKey;
    return result;
}

long Win32Platform::QueryInfoKey(KeyHandle key, KeyInfo* info)
{
    DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValueName = 0, maxValueData = 0;
    LONG result = RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, &subKeys, &maxSubKey,
                                   nullptr, &values, &maxValueName, &maxValueData, nullptr, nullptr);
    if (result == ERROR_SUCCESS) {
        info->subKeyCount = subKeys;
        info->maxSubKeyNameLength = maxSubKey;
        info->valueCount = values;
        info->maxValueNameLength = maxValueName;
        info->maxValueDataSize = maxValueData;
    }
    return result;
}

long Win32Platform::QueryValue(KeyHandle key, const std::string& name, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* size)
{
    DWORD valueType = 0;
    DWORD dataSize = size ? *size : 0;
    LONG result = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &valueType, data,
                                   size ? &dataSize : nullptr);
    if (type)
        *type = valueType;
    if (size)
        *size = dataSize;
    return result;
}

// Names are read in UTF-16 and converted here, so that a name the code page
// cannot spell is known as such; the ANSI functions would hand out a
// stand-in with '?' or best-fit letters, naming another entry or none. Data
// comes as RegEnumValueA gives it. One call does for a value whose name and
// data fit the caller's buffers; only one that does not is read again.
long Win32Platform::EnumValue(KeyHandle key, std::uint32_t index, char* name,
                              std::uint32_t* nameLength, std::uint32_t* type, std::uint8_t* data,
                              std::uint32_t* dataSize)
{
    const HKEY hkey = ToHkey(key);
    const DWORD room = dataSize ? *dataSize : 0;
    WideName wide;
    DWORD wideLength = wide.Capacity();
    DWORD valueType = 0;
    DWORD size = room;
    LONG result = RegEnumValueW(hkey, index, wide.Data(), &wideLength, nullptr, &valueType, data,
                                dataSize ? &size : nullptr);
    bool dataInBuffer = result == ERROR_SUCCESS && data;
    // A text's size asked for without its data needs the text to measure.
    if (result == ERROR_MORE_DATA ||
        (result == ERROR_SUCCESS && dataSize && !data && IsTextType(valueType))) {
        // The name, the type and the data size, with room for a long name.
        do {
            wideLength = wide.Capacity();
            result = RegEnumValueW(hkey, index, wide.Data(), &wideLength, nullptr, &valueType,
                                   nullptr, &size);
        } while (result == ERROR_MORE_DATA && wide.Grow(*nameLength));
        dataInBuffer = false;
    }
    if (type)
        *type = valueType;
    if (result != ERROR_SUCCESS)
        return result;
    std::uint32_t ansiLength = 0;
    result = NameToAnsi(wide.Data(), wideLength, name, *nameLength, &ansiLength);
    if (result != ERROR_SUCCESS)
        return result;
    *nameLength = ansiLength;
    if (!dataSize)
        return ERROR_SUCCESS;
    DWORD nameRoom = wide.Capacity();
    if (!IsTextType(valueType)) {
        if (data && !dataInBuffer) {
            // The first read fell short: the data is read again if it fits.
            if (size > room) {
                *dataSize = size;
                return ERROR_MORE_DATA;
            }
            size = room;
            result = RegEnumValueW(hkey, index, wide.Data(), &nameRoom, nullptr, &valueType, data,
                                   &size);
        }
        *dataSize = size;
        return result;
    }
    // Text is converted from a UTF-16 copy: of what the caller's buffer
    // holds, or read whole into the copy when it did not fit there.
    WideText copy;
    if (!copy.Reserve(size))
        return ERROR_NOT_ENOUGH_MEMORY;
    if (dataInBuffer) {
        std::memcpy(copy.Data(), data, size);
    } else {
        DWORD textSize = size;
        result = RegEnumValueW(hkey, index, wide.Data(), &nameRoom, nullptr, &valueType,
                               reinterpret_cast<BYTE*>(copy.Data()), &textSize);
        if (result != ERROR_SUCCESS)
            return result;
        size = textSize;
    }
    const DWORD ansiSize = WideDataToAnsi(copy.Data(), size, data, room);
    *dataSize = ansiSize;
    return data && ansiSize > room ? ERROR_MORE_DATA : ERROR_SUCCESS;
}

long Win32Platform::EnumKey(KeyHandle key, std::uint32_t index, char* name,
                            std::uint32_t nameBufferSize)
{
    const HKEY hkey = ToHkey(key);
    WideName wide;
    DWORD wideLength = 0;
    LONG result;
    do {
        wideLength = wide.Capacity();
        result = RegEnumKeyExW(hkey, index, wide.Data(), &wideLength, nullptr, nullptr, nullptr,
                               nullptr);
    } while (result == ERROR_MORE_DATA && wide.Grow(nameBufferSize));
    if (result != ERROR_SUCCESS)
        return result;
    std::uint32_t ansiLength = 0;
    return NameToAnsi(wide.Data(), wideLength, name, nameBufferSize, &ansiLength);
}

long Win32Platform::SetValue(KeyHandle key, const std::string& name, std::uint32_t type,
                             const std::uint8_t* data, std::uint32_t size)
{
    return RegSetValueExA(ToHkey(key), name.c_str(), 0, type, data, size);
}

long Win32Platform::DeleteValue(KeyHandle key, const std::string& name)
{
    return RegDeleteValueA(ToHkey(key), name.c_str());
}

long Win32Platform::DeleteKeyTree(KeyHandle parent, const std::string& subKey)
{
    return static_cast<long>(SHDeleteKeyA(ToHkey(parent), subKey.c_str()));
}

void Win32Platform::CloseKey(KeyHandle key)
{
    // A root key stays open for the whole process.
    if (key != kNoKey && !IsRootHandle(key))
        RegCloseKey(ToHkey(key));
}

// --------------------------------------------------------------- file system

bool Win32Platform::OpenFileExists(const std::string& path)
{
    OFSTRUCT info = {};
    return OpenFile(path.c_str(), &info, OF_EXIST) != HFILE_ERROR;
}

std::uint32_t Win32Platform::FileAttributes(const std::string& path)
{
    return GetFileAttributesA(path.c_str());
}

void Win32Platform::RefreshDriveTable()
{
    auto now = std::chrono::steady_clock::now();
    if (driveTableRead_ && now - driveTableTime_ < kDriveTableValidity)
        return;
    char buffer[500] = {};
    GetLogicalDriveStringsA(sizeof buffer, buffer);
    // The list ends at the first empty string; the last byte stays a NUL.
    std::size_t end = 0;
    while (end + 1 < sizeof buffer && buffer[end] != '\0')
        end += std::strlen(buffer + end) + 1;
    driveStrings_.assign(buffer, end);
    driveStrings_ += '\0';
    for (unsigned& type : driveTypes_)
        type = DRIVE_NO_ROOT_DIR;
    for (const char* root = buffer; *root; root += std::strlen(root) + 1) {
        if (char letter = DriveRootLetter(root))
            driveTypes_[letter - 'A'] = GetDriveTypeA(root);
    }
    driveTableRead_ = true;
    driveTableTime_ = now;
}

std::string Win32Platform::LogicalDriveStrings()
{
    std::lock_guard<std::mutex> lock(driveMutex_);
    RefreshDriveTable();
    return driveStrings_;
}

unsigned Win32Platform::DriveType(const std::string& rootPath)
{
    char letter = DriveRootLetter(rootPath);
    if (!letter)
        return GetDriveTypeA(rootPath.c_str());
    std::lock_guard<std::mutex> lock(driveMutex_);
    RefreshDriveTable();
    return driveTypes_[letter - 'A'];
}

bool Win32Platform::ListFolder(const std::string& pattern, FolderVisitor visitor, void* context)
{
    WIN32_FIND_DATAA data;
    FindHandle find(FindFirstFileA(pattern.c_str(), &data));
    if (find.get() == INVALID_HANDLE_VALUE)
        return false;
    do {
        FoundFile file;
        file.name = data.cFileName;
        file.attributes = data.dwFileAttributes;
        file.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        if (visitor && !visitor(file, context))
            break;
    } while (FindNextFileA(find.get(), &data));
    return true;
}

bool Win32Platform::FileTimes(const std::string& path, CalendarTime* creation,
                              CalendarTime* lastAccess, CalendarTime* lastWrite)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    if (creation)
        *creation = LocalCalendarTime(data.ftCreationTime);
    if (lastAccess)
        *lastAccess = LocalCalendarTime(data.ftLastAccessTime);
    if (lastWrite)
        *lastWrite = LocalCalendarTime(data.ftLastWriteTime);
    return true;
}

bool Win32Platform::MakeDirectoryPath(const std::string& folder)
{
    return MakeSureDirectoryPathExists(folder.c_str()) != FALSE;
}

std::unique_ptr<OutputFile> Win32Platform::CreateOutputFile(const std::string& path,
                                                            bool failIfExists)
{
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                failIfExists ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::make_unique<Win32OutputFile>(handle);
}

bool Win32Platform::RemoveFile(const std::string& path)
{
    return DeleteFileA(path.c_str()) != FALSE;
}

// ---------------------------------------------------------------- text rules

bool Win32Platform::IsLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

void Win32Platform::LowerText(std::string& text)
{
    if (!text.empty())
        CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
}

void Win32Platform::UpperText(std::string& text)
{
    if (!text.empty())
        CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
}

// ------------------------------------------------------------ profile, time

std::string Win32Platform::ReadProfileString(const std::string& file, const std::string& section,
                                             const std::string& key, std::size_t maxLength)
{
    std::vector<char> buffer(maxLength + 1, '\0');
    DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(),
                                            static_cast<DWORD>(buffer.size()), file.c_str());
    return std::string(buffer.data(), std::min<std::size_t>(length, maxLength));
}

CalendarTime Win32Platform::CurrentLocalTime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return FromSystemTime(now);
}

std::string Win32Platform::CurrentTimeZoneStandardName()
{
    TIME_ZONE_INFORMATION zone = {};
    if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID)
        return std::string();
    char name[2 * sizeof zone.StandardName] = {};
    if (!WideCharToMultiByte(CP_ACP, 0, zone.StandardName, -1, name, sizeof name, nullptr, nullptr))
        return std::string();
    return name;
}

bool Win32Platform::RunsUnderWow64()
{
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

Platform& SystemPlatform()
{
    static Win32Platform platform;
    return platform;
}
