// Root keys, full registry paths, value display text and the small registry
// read, list and delete operations.
#include "core/RegistryPaths.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <memory>
#include <new>

#include "core/Text.h"
#include "core/Unicode.h"

namespace {

struct RootKeyEntry {
    RootKey root;
    const char* name;
};

constexpr RootKeyEntry kRootKeys[] = {
    {kHkeyClassesRoot, "HKEY_CLASSES_ROOT"},
    {kHkeyCurrentUser, "HKEY_CURRENT_USER"},
    {kHkeyLocalMachine, "HKEY_LOCAL_MACHINE"},
    {kHkeyUsers, "HKEY_USERS"},
    {kHkeyPerformanceData, "HKEY_PERFORMANCE_DATA"},
    {kHkeyCurrentConfig, "HKEY_CURRENT_CONFIG"},
    {kHkeyDynData, "HKEY_DYN_DATA"},
};

// String data (UTF-16 LE) as text up to its first zero unit, never beyond size.
std::string TextUpToZero(const std::uint8_t* data, std::uint32_t size)
{
    return data ? StringDataText(data, size) : std::string();
}

}  // namespace

long ScopedKey::Open(KeyHandle parent, const std::string& path)
{
    Close();
    KeyHandle key = kNoKey;
    long result = registry_.OpenKey(parent, path, &key);
    if (result == kResultOk && key != kNoKey) {
        key_ = key;
        owned_ = key != parent;
    } else if (result == kResultOk) {
        result = kResultFileNotFound;   // success without a handle is no key
    }
    return result;
}

long ScopedKey::Create(KeyHandle parent, const std::string& path)
{
    Close();
    KeyHandle key = kNoKey;
    long result = registry_.CreateKey(parent, path, &key);
    if (result == kResultOk && key != kNoKey) {
        key_ = key;
        owned_ = key != parent;
    } else if (result == kResultOk) {
        result = kResultFileNotFound;
    }
    return result;
}

void ScopedKey::Close()
{
    if (key_ != kNoKey && owned_)
        registry_.CloseKey(key_);
    key_ = kNoKey;
    owned_ = false;
}

std::uint32_t BufferSizeForLongest(std::uint32_t longest)
{
    return longest >= 0xFFFFFFFFu ? longest : std::max<std::uint32_t>(longest + 1, kSmallestNameBuffer);
}

std::string RootKeyName(RootKey root)
{
    for (const RootKeyEntry& entry : kRootKeys) {
        if (entry.root == root)
            return entry.name;
    }
    return std::string();
}

RootKey ParseRootKey(TextRules& textRules, const std::string& name)
{
    std::string upper = name;
    textRules.UpperText(upper);
    for (const RootKeyEntry& entry : kRootKeys) {
        if (upper == entry.name)
            return entry.root;
    }
    return kNoRootKey;
}

std::string TrimBackslashes(const std::string& path)
{
    std::size_t begin = path.find_first_not_of('\\');
    if (begin == std::string::npos)
        return std::string();
    // The final run starts at a backslash that is a whole character, so the
    // text is walked from the front to tell trail bytes apart.
    std::size_t end = path.size();
    std::size_t runStart = std::string::npos;
    for (std::size_t i = begin; i < path.size(); i = NextCharIndex(path, i)) {
        if (path[i] == '\\') {
            if (runStart == std::string::npos)
                runStart = i;
        } else {
            runStart = std::string::npos;
        }
    }
    if (runStart != std::string::npos)
        end = runStart;
    return path.substr(begin, end - begin);
}

bool SplitRegistryPath(TextRules& textRules, const std::string& fullPath, RootKey* root,
                       std::string* keyPath)
{
    *root = kNoRootKey;
    keyPath->clear();
    std::string text = TrimBackslashes(fullPath);
    std::size_t slash = FindChar(text, '\\');
    if (text.empty() || slash == std::string::npos)
        return false;
    RootKey parsed = ParseRootKey(textRules, text.substr(0, slash));
    if (parsed == kNoRootKey)
        return false;
    *root = parsed;
    *keyPath = text.substr(slash + 1);
    return true;
}

bool SplitValueKeyPath(TextRules& textRules, const std::string& fullPath, RootKey* root,
                       std::string* keyPath)
{
    const std::string text = TrimBackslashes(fullPath);
    if (FindChar(text, '\\') != std::string::npos)
        return SplitRegistryPath(textRules, text, root, keyPath);
    keyPath->clear();
    *root = ParseRootKey(textRules, text);
    return *root != kNoRootKey;
}

WholeValueRead ReadWholeValue(RegistryAccess& registry, KeyHandle key, const std::string& name,
                              WholeValue* value)
{
    // A value that grows between the size and the read is asked again, a
    // few times: one that keeps growing is not read at all.
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        const long sized = registry.QueryValue(key, name, &type, nullptr, &size);
        if (sized == kResultFileNotFound)
            return WholeValueRead::Missing;
        if (sized != kResultOk || size > kLargestWholeValue)
            return WholeValueRead::Unreadable;
        std::string bytes;
        if (size > 0) {
            std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[size]);
            if (!buffer)
                return WholeValueRead::Unreadable;
            std::uint32_t read = size;
            const long result = registry.QueryValue(key, name, &type, buffer.get(), &read);
            if (result == kResultMoreData)
                continue;
            if (result == kResultFileNotFound)
                return WholeValueRead::Missing;   // deleted between the two calls
            if (result != kResultOk || read > size)
                return WholeValueRead::Unreadable;
            bytes.assign(reinterpret_cast<const char*>(buffer.get()), read);
        }
        value->type = type;
        value->bytes = std::move(bytes);
        return WholeValueRead::Read;
    }
    return WholeValueRead::Unreadable;
}

std::string FormatValueData(std::uint32_t type, const std::uint8_t* data, std::uint32_t dataSize)
{
    if (!data)
        dataSize = 0;
    switch (type) {
    case kRegSz:
    case kRegExpandSz:
        return TextUpToZero(data, dataSize);
    case kRegBinary: {
        static const char kDigits[] = "0123456789abcdef";
        std::string text;
        text.reserve(64);
        for (std::uint32_t i = 0; i < dataSize && i < 20; ++i) {
            if (i > 0)
                text += ' ';
            text += kDigits[data[i] >> 4];
            text += kDigits[data[i] & 0x0F];
        }
        if (dataSize > 20)
            text += "...";
        return text;
    }
    case kRegDword: {
        // Shorter data is taken as far as it goes rather than read past its end.
        std::uint32_t number = 0;
        for (std::uint32_t i = 0; i < 4 && i < dataSize; ++i)
            number |= static_cast<std::uint32_t>(data[i]) << (8 * i);
        char text[32];
        std::snprintf(text, sizeof text, "0x%08" PRIx32 " (%" PRId32 ")", number,
                      static_cast<std::int32_t>(number));
        return text;
    }
    case kRegMultiSz: {
        std::string text;
        for (const std::string& part : MultiStringDataTexts(data, dataSize)) {
            if (!text.empty())
                text += ' ';
            text += part;
        }
        return text;
    }
    default:
        return std::string();
    }
}

std::string ReadStringValue(RegistryAccess& registry, RootKey root, const std::string& keyPath,
                            const std::string& valueName)
{
    ScopedKey key(registry);
    if (key.Open(RootHandle(root), keyPath) != kResultOk)
        return std::string();
    // Room for a folder path of 259 characters and its terminator.
    std::uint8_t buffer[520] = {};
    std::uint32_t type = 0;
    std::uint32_t size = sizeof buffer;
    if (registry.QueryValue(key.Get(), valueName, &type, buffer, &size) != kResultOk)
        return std::string();
    return TextUpToZero(buffer, size);
}

void EnumSubKeys(RegistryAccess& registry, RootKey root,
                 const std::string& keyPath, SubKeyVisitor visitor, void* context,
                 const std::atomic<bool>* stop)
{
    std::string path = keyPath;
    TrimChars(path, " \\");
    ScopedKey key(registry);
    if (key.Open(RootHandle(root), path) != kResultOk)
        return;
    // Room for the longest name the key reports, so that no name ends the
    // listing early.
    KeyInfo info;
    registry.QueryInfoKey(key.Get(), &info);
    const std::uint32_t size = BufferSizeForLongest(info.maxSubKeyNameLength);
    std::unique_ptr<char[]> name(new (std::nothrow) char[size]);
    if (!name)
        return;
    for (std::uint32_t index = 0;; ++index) {
        if (stop && stop->load())
            return;
        const long result = registry.EnumKey(key.Get(), index, name.get(), size);
        if (result != kResultOk)
            break;
        if (visitor)
            visitor(root, path, name.get(), context);
    }
}

namespace {

// Keeps a step's code for the caller and tells whether it succeeded.
bool Succeeded(long code, long* result)
{
    if (result)
        *result = code;
    return code == kResultOk;
}

} // namespace

bool DeleteRegistryValue(RegistryAccess& registry, TextRules& textRules,
                         const std::string& fullKeyPath, const std::string& valueName, long* result)
{
    RootKey root = kNoRootKey;
    std::string keyPath;
    if (!SplitValueKeyPath(textRules, fullKeyPath, &root, &keyPath))
        return Succeeded(kResultFileNotFound, result);
    ScopedKey key(registry);
    if (!Succeeded(key.Open(RootHandle(root), keyPath), result))
        return false;
    return Succeeded(registry.DeleteValue(key.Get(), valueName), result);
}

bool DeleteRegistryKey(RegistryAccess& registry, TextRules& textRules,
                       const std::string& fullKeyPath, long* result)
{
    RootKey root = kNoRootKey;
    std::string keyPath;
    if (!SplitRegistryPath(textRules, TrimBackslashes(fullKeyPath), &root, &keyPath))
        return Succeeded(kResultFileNotFound, result);
    // A key directly beneath the root is deleted from the root itself.
    std::size_t slash = FindLastChar(keyPath, '\\');
    std::string parentPath = slash == std::string::npos ? std::string() : keyPath.substr(0, slash);
    std::string leaf = slash == std::string::npos ? keyPath : keyPath.substr(slash + 1);
    // An empty name would make the deletion empty the parent itself, and a
    // key path that begins with a backslash names no key the registry opens.
    if (leaf.empty() || (slash != std::string::npos && parentPath.empty()))
        return Succeeded(kResultFileNotFound, result);
    ScopedKey parent(registry);
    if (!Succeeded(parent.Open(RootHandle(root), parentPath), result))
        return false;
    return Succeeded(registry.DeleteKeyTree(parent.Get(), leaf), result);
}
