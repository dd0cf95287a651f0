// Reading registry subtrees for comparison, and merging REG files with the
// system's registry editor.
#include "RegistrySnapshot.h"

#include "win32/WideText.h"

#include <cstdio>
#include <vector>

namespace {

std::string Printable(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out;
}

void ReadKey(HKEY key, const std::string& relative, RegistrySnapshot& snapshot)
{
    auto& values = snapshot.keys[relative];
    std::vector<wchar_t> name(32768);
    std::vector<BYTE> data(1 << 20);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        if (RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &size) !=
            ERROR_SUCCESS)
            break;
        values[Narrow(name.data(), nameLength)] =
            SnapshotValue{type, std::string(reinterpret_cast<const char*>(data.data()), size)};
    }
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(key, index, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        const std::string child = Narrow(name.data(), nameLength);
        HKEY childKey = nullptr;
        if (RegOpenKeyExW(key, Widen(child).c_str(), 0, KEY_READ, &childKey) != ERROR_SUCCESS)
            continue;
        ReadKey(childKey, relative.empty() ? child : relative + "\\" + child, snapshot);
        RegCloseKey(childKey);
    }
}

}  // namespace

RegistrySnapshot TakeRegistrySnapshot(HKEY root, const std::string& path)
{
    RegistrySnapshot snapshot;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, Widen(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return snapshot;
    snapshot.exists = true;
    ReadKey(key, "", snapshot);
    RegCloseKey(key);
    return snapshot;
}

std::string DescribeSnapshotDifference(const RegistrySnapshot& expected,
                                       const RegistrySnapshot& actual)
{
    if (expected.exists != actual.exists)
        return expected.exists ? "the tree is missing" : "the tree exists";
    for (const auto& key : expected.keys) {
        auto other = actual.keys.find(key.first);
        if (other == actual.keys.end())
            return "key missing: " + Printable(key.first);
        for (const auto& value : key.second) {
            auto found = other->second.find(value.first);
            if (found == other->second.end())
                return "value missing: " + Printable(key.first) + " | " + Printable(value.first);
            if (!(found->second == value.second))
                return "value differs: " + Printable(key.first) + " | " + Printable(value.first) +
                       ": type " + std::to_string(value.second.type) + " [" +
                       Printable(value.second.bytes) + "] became type " +
                       std::to_string(found->second.type) + " [" + Printable(found->second.bytes) +
                       "]";
        }
        for (const auto& value : other->second) {
            if (!key.second.count(value.first))
                return "value added: " + Printable(key.first) + " | " + Printable(value.first);
        }
    }
    for (const auto& key : actual.keys) {
        if (!expected.keys.count(key.first))
            return "key added: " + Printable(key.first);
    }
    return std::string();
}

bool MergeWithRegedit(const std::string& regFile)
{
    std::wstring line = Widen("C:\\windows\\regedit.exe /s \"" + regFile + "\"");
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    DWORD waited = WaitForSingleObject(process.hProcess, 120000);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return waited == WAIT_OBJECT_0 && exitCode == 0;
}
