// The Win32 side of the platform: registry, file system, drives, text rules,
// profiles and clock of the running system, all through the wide functions.
#include "win32/Win32Platform.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "core/Text.h"
#include "win32/Win32Handles.h"
#include "win32/WideText.h"

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

// The registry's longest value name has 16383 UTF-16 units; a key name is
// shorter.
constexpr DWORD kLongestName = 16383;

// A UTF-16 name read from the registry: room on the stack for every usual
// name, the heap for the longest.
class WideName {
public:
    WCHAR* Data() { return heap_ ? heap_.get() : stack_; }
    DWORD Capacity() const { return capacity_; }
    // Makes room for the longest name; false when there is no more room to make.
    bool Grow()
    {
        if (capacity_ > kLongestName)
            return false;
        heap_.reset(new (std::nothrow) WCHAR[kLongestName + 1]);
        if (!heap_) {
            capacity_ = kStackChars;
            return false;
        }
        capacity_ = kLongestName + 1;
        return true;
    }

private:
    static constexpr DWORD kStackChars = 512;
    WCHAR stack_[kStackChars];
    std::unique_ptr<WCHAR[]> heap_;
    DWORD capacity_ = kStackChars;
};

// Hands a UTF-16 name to the caller's buffer as UTF-8 with its NUL;
// ERROR_MORE_DATA when it does not fit.
long NameToCaller(const WCHAR* wide, DWORD length, char* name, std::uint32_t bufferSize,
                  std::uint32_t* nameLength)
{
    const std::string text = Narrow(wide, length);
    if (text.size() + 1 > bufferSize) {
        if (bufferSize > 0)
            name[0] = '\0';
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, text.c_str(), text.size() + 1);
    if (nameLength)
        *nameLength = static_cast<std::uint32_t>(text.size());
    return ERROR_SUCCESS;
}

// A file path for the wide file functions. A drive or network path too long
// for the plain form is handed over in the "\\?\" form, which reaches paths
// of any length (it is taken as it stands, so only a full path gets it).
std::wstring FilePath(const std::string& path)
{
    std::wstring wide = Widen(path);
    if (wide.size() < MAX_PATH)
        return wide;
    if (wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\')
        return L"\\\\?\\" + wide;
    if (wide.size() > 2 && wide[0] == L'\\' && wide[1] == L'\\' && wide[2] != L'?')
        return L"\\\\?\\UNC\\" + wide.substr(2);
    return wide;
}

bool IsAscii(const std::string& text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
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
    LONG result = RegOpenKeyW(ToHkey(parent), Widen(path).c_str(), &opened);
    *key = result == ERROR_SUCCESS ? FromHkey(opened) : kNoKey;
    return result;
}

long Win32Platform::CreateKey(KeyHandle parent, const std::string& path, KeyHandle* key)
{
    HKEY created = nullptr;
    const LONG result = RegCreateKeyExW(ToHkey(parent), Widen(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_READ | KEY_WRITE, nullptr, &created, nullptr);
    *key = result == ERROR_SUCCESS ? FromHkey(created) : kNoKey;
    return result;
}

long Win32Platform::QueryInfoKey(KeyHandle key, KeyInfo* info)
{
    DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValueName = 0, maxValueData = 0;
    LONG result = RegQueryInfoKeyW(ToHkey(key), nullptr, nullptr, nullptr, &subKeys, &maxSubKey,
                                   nullptr, &values, &maxValueName, &maxValueData, nullptr, nullptr);
    if (result == ERROR_SUCCESS) {
        // A UTF-16 unit takes at most three bytes of UTF-8 (a pair of
        // surrogates four bytes for two units).
        info->subKeyCount = subKeys;
        info->maxSubKeyNameLength = maxSubKey * 3;
        info->valueCount = values;
        info->maxValueNameLength = maxValueName * 3;
        info->maxValueDataSize = maxValueData;
    }
    return result;
}

long Win32Platform::QueryValue(KeyHandle key, const std::string& name, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* size)
{
    DWORD valueType = 0;
    DWORD dataSize = size ? *size : 0;
    LONG result = RegQueryValueExW(ToHkey(key), Widen(name).c_str(), nullptr, &valueType, data,
                                   size ? &dataSize : nullptr);
    if (type)
        *type = valueType;
    if (size)
        *size = dataSize;
    return result;
}

// One call does for a value whose name and data fit; only one that does not
// is read again, for its name and the size its data needs.
long Win32Platform::EnumValue(KeyHandle key, std::uint32_t index, char* name,
                              std::uint32_t* nameLength, std::uint32_t* type, std::uint8_t* data,
                              std::uint32_t* dataSize)
{
    const HKEY hkey = ToHkey(key);
    WideName wide;
    DWORD wideLength = wide.Capacity();
    DWORD valueType = 0;
    DWORD size = dataSize ? *dataSize : 0;
    LONG result = RegEnumValueW(hkey, index, wide.Data(), &wideLength, nullptr, &valueType, data,
                                dataSize ? &size : nullptr);
    bool dataShort = false;
    if (result == ERROR_MORE_DATA) {
        do {
            wideLength = wide.Capacity();
            size = 0;
            result = RegEnumValueW(hkey, index, wide.Data(), &wideLength, nullptr, &valueType,
                                   nullptr, dataSize ? &size : nullptr);
        } while (result == ERROR_MORE_DATA && wide.Grow());
        dataShort = data && dataSize && size > *dataSize;
        if (result == ERROR_SUCCESS && data && dataSize && !dataShort) {
            // The name was the long part: now both fit.
            wideLength = wide.Capacity();
            size = *dataSize;
            result = RegEnumValueW(hkey, index, wide.Data(), &wideLength, nullptr, &valueType,
                                   data, &size);
        }
    }
    if (type)
        *type = valueType;
    if (result != ERROR_SUCCESS)
        return result;
    if (dataSize)
        *dataSize = size;
    result = NameToCaller(wide.Data(), wideLength, name, *nameLength, nameLength);
    if (result != ERROR_SUCCESS)
        return result;
    return dataShort ? ERROR_MORE_DATA : ERROR_SUCCESS;
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
    } while (result == ERROR_MORE_DATA && wide.Grow());
    if (result != ERROR_SUCCESS)
        return result;
    return NameToCaller(wide.Data(), wideLength, name, nameBufferSize, nullptr);
}

long Win32Platform::SetValue(KeyHandle key, const std::string& name, std::uint32_t type,
                             const std::uint8_t* data, std::uint32_t size)
{
    return RegSetValueExW(ToHkey(key), Widen(name).c_str(), 0, type, data, size);
}

long Win32Platform::DeleteValue(KeyHandle key, const std::string& name)
{
    return RegDeleteValueW(ToHkey(key), Widen(name).c_str());
}

long Win32Platform::DeleteKeyTree(KeyHandle parent, const std::string& subKey)
{
    return static_cast<long>(SHDeleteKeyW(ToHkey(parent), Widen(subKey).c_str()));
}

namespace {

// NtQueryKey's KeyFlagsInformation and its answer (KEY_FLAGS_INFORMATION).
constexpr int kKeyFlagsInformation = 5;
constexpr ULONG kKeyFlagVolatile = 0x1;
struct KeyFlagsInformation {
    ULONG wow64Flags;
    ULONG keyFlags;
    ULONG controlFlags;
};
using NtQueryKeyFunction = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);

// The subkey the fallback below creates for a moment: a name no program uses.
constexpr const wchar_t* kVolatileProbeName = L"Quorvane volatile test {5B0E0F6C-93E4-4C0B-A2D1-7C51E6A4B8D3}";

} // namespace

long Win32Platform::QueryKeyVolatile(KeyHandle key, bool* isVolatile)
{
    // The root keys are the registry itself, never volatile.
    if (IsRootHandle(key)) {
        *isVolatile = false;
        return kResultOk;
    }
    const HKEY hkey = ToHkey(key);
    // The system's own answer, read only.
    static const NtQueryKeyFunction queryKey = reinterpret_cast<NtQueryKeyFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryKey")));
    if (queryKey) {
        KeyFlagsInformation flags = {};
        ULONG length = 0;
        if (queryKey(hkey, kKeyFlagsInformation, &flags, sizeof flags, &length) == 0) {
            *isVolatile = (flags.keyFlags & kKeyFlagVolatile) != 0;
            return kResultOk;
        }
    }
    // A system that does not tell (Wine) refuses a non-volatile subkey below
    // a volatile key before creating anything; below any other key the
    // subkey is created and removed again at once.
    HKEY probe = nullptr;
    DWORD disposition = 0;
    const LONG created = RegCreateKeyExW(hkey, kVolatileProbeName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ,
                                         nullptr, &probe, &disposition);
    if (created == ERROR_CHILD_MUST_BE_VOLATILE) {
        *isVolatile = true;
        return kResultOk;
    }
    if (created != ERROR_SUCCESS)
        return static_cast<long>(created);
    RegCloseKey(probe);
    if (disposition == REG_CREATED_NEW_KEY)
        RegDeleteKeyW(hkey, kVolatileProbeName);
    *isVolatile = false;
    return kResultOk;
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
    // Opened for no access at all, as a test that the file is there and
    // may be opened; a folder is not opened without backup semantics.
    HANDLE handle = CreateFileW(FilePath(path).c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return true;
}

std::uint32_t Win32Platform::FileAttributes(const std::string& path)
{
    return GetFileAttributesW(FilePath(path).c_str());
}

void Win32Platform::RefreshDriveTable()
{
    auto now = std::chrono::steady_clock::now();
    if (driveTableRead_ && now - driveTableTime_ < kDriveTableValidity)
        return;
    WCHAR buffer[512] = {};
    const DWORD length = GetLogicalDriveStringsW(ARRAYSIZE(buffer) - 1, buffer);
    driveStrings_.clear();
    for (unsigned& type : driveTypes_)
        type = DRIVE_NO_ROOT_DIR;
    if (length > 0 && length < ARRAYSIZE(buffer)) {
        for (const WCHAR* root = buffer; *root; root += wcslen(root) + 1) {
            const std::string rootText = NarrowZ(root);
            driveStrings_ += rootText;
            driveStrings_ += '\0';
            if (char letter = DriveRootLetter(rootText))
                driveTypes_[letter - 'A'] = GetDriveTypeW(root);
        }
    }
    driveStrings_ += '\0';
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
        return GetDriveTypeW(Widen(rootPath).c_str());
    std::lock_guard<std::mutex> lock(driveMutex_);
    RefreshDriveTable();
    return driveTypes_[letter - 'A'];
}

bool Win32Platform::ListFolder(const std::string& pattern, FolderVisitor visitor, void* context)
{
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(FilePath(pattern).c_str(), &data));
    if (find.get() == INVALID_HANDLE_VALUE)
        return false;
    do {
        FoundFile file;
        file.name = NarrowZ(data.cFileName);
        file.attributes = data.dwFileAttributes;
        file.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        if (visitor && !visitor(file, context))
            break;
    } while (FindNextFileW(find.get(), &data));
    return true;
}

bool Win32Platform::FileTimes(const std::string& path, CalendarTime* creation,
                              CalendarTime* lastAccess, CalendarTime* lastWrite)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(FilePath(path).c_str(), GetFileExInfoStandard, &data))
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
    // Every folder on the way is made in turn, from the first below the
    // drive or share; one that is there already is passed.
    const std::size_t end = folder.find_last_of('\\');
    if (end == std::string::npos)
        return false;
    std::size_t from = 0;
    if (folder.size() > 2 && folder[1] == ':')
        from = 3;
    else if (folder.compare(0, 2, "\\\\") == 0) {
        // \\server\share\ is the root of a network path.
        const std::size_t server = folder.find('\\', 2);
        from = server == std::string::npos ? folder.size() : folder.find('\\', server + 1);
        from = from == std::string::npos ? folder.size() : from + 1;
    }
    for (std::size_t cut = folder.find('\\', from); cut != std::string::npos && cut <= end;
         cut = folder.find('\\', cut + 1)) {
        const std::wstring part = FilePath(folder.substr(0, cut));
        if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    const DWORD attributes = GetFileAttributesW(FilePath(folder.substr(0, end)).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::unique_ptr<OutputFile> Win32Platform::CreateOutputFile(const std::string& path,
                                                            bool failIfExists)
{
    HANDLE handle = CreateFileW(FilePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                failIfExists ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::make_unique<Win32OutputFile>(handle);
}

bool Win32Platform::RemoveFile(const std::string& path)
{
    return DeleteFileW(FilePath(path).c_str()) != FALSE;
}

// ---------------------------------------------------------------- text rules

namespace {

// Plain ASCII is folded here; everything else by the system, in UTF-16.
void FoldCase(std::string& text, bool upper)
{
    if (IsAscii(text)) {
        const char from = upper ? 'a' : 'A';
        const char to = upper ? 'A' : 'a';
        for (char& c : text) {
            if (c >= from && c <= from + 25)
                c = static_cast<char>(c - from + to);
        }
        return;
    }
    std::wstring wide = Widen(text);
    if (upper)
        CharUpperBuffW(&wide[0], static_cast<DWORD>(wide.size()));
    else
        CharLowerBuffW(&wide[0], static_cast<DWORD>(wide.size()));
    text = Narrow(wide);
}

}  // namespace

void Win32Platform::LowerText(std::string& text)
{
    FoldCase(text, false);
}

void Win32Platform::UpperText(std::string& text)
{
    FoldCase(text, true);
}

std::string Win32Platform::AnsiToUtf8(const std::string& ansi)
{
    if (ansi.empty() || IsAscii(ansi))
        return ansi;
    const int length = static_cast<int>(std::min<std::size_t>(ansi.size(), INT_MAX));
    const int units = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    if (units <= 0)
        return std::string();
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, &wide[0], units);
    return Narrow(wide);
}

// ------------------------------------------------------------ profile, time

std::string Win32Platform::ReadProfileString(const std::string& file, const std::string& section,
                                             const std::string& key, std::size_t maxLength)
{
    std::vector<WCHAR> buffer(maxLength + 1, L'\0');
    DWORD length = GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), L"",
                                            buffer.data(), static_cast<DWORD>(buffer.size()),
                                            Widen(file).c_str());
    return Narrow(buffer.data(), std::min<std::size_t>(length, maxLength));
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
    return Narrow(zone.StandardName, wcsnlen(zone.StandardName, ARRAYSIZE(zone.StandardName)));
}

bool Win32Platform::RunsUnderWow64()
{
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

bool Win32Platform::RunsElevated()
{
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened))
        return false;
    const UniqueHandle token(opened);
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    if (!GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size))
        return false;
    return elevation.TokenIsElevated != 0;
}

Platform& SystemPlatform()
{
    static Win32Platform platform;
    return platform;
}
