// The in-memory platform: registry tree, file system, drives, text rules,
// profiles and clock, answering as the Win32 functions do.
#include "tests/support/MemoryPlatform.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/Text.h"
#include "core/Unicode.h"

namespace {

constexpr long kResultInvalidHandle = 6;
constexpr long kResultBadPathname = 161;
constexpr long kResultKeyDeleted = 1018;
constexpr std::uint32_t kFileAttributeReadOnly = 0x1u;
constexpr std::uint32_t kFileAttributeArchive = 0x20u;

struct MemoryValue {
    std::string name;
    std::uint32_t type = kRegNone;
    std::string bytes;
    bool oversized = false;
};

// Matches a FindFirstFileA mask against a name; both already upper-cased.
// "*" is any run of characters and "?" exactly one; "*.*" matches every name.
bool MaskMatches(const std::string& mask, const std::string& name)
{
    if (mask == "*.*")
        return true;
    std::size_t m = 0, n = 0, starMask = std::string::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || mask[m] == name[n])) {
            ++m;
            ++n;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

std::string TrimBlanks(const std::string& text)
{
    std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return std::string();
    std::size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

bool IsDriveRoot(const std::string& key)
{
    return key.size() == 3 && key[1] == ':' && key[2] == '\\';
}

}  // namespace

struct MemoryPlatform::MemoryKey {
    std::string name;
    std::vector<std::shared_ptr<MemoryKey>> subKeys;
    std::vector<MemoryValue> values;
    unsigned faults = kKeyFaultNone;
    bool deleted = false;
    bool isVolatile = false;

    MemoryValue* FindValue(const std::string& name, const MemoryPlatform& platform)
    {
        std::string upper = platform.Upper(name);
        for (MemoryValue& value : values) {
            if (platform.Upper(value.name) == upper)
                return &value;
        }
        return nullptr;
    }

    // Replaces a value of the same name in place, or appends a new one.
    void SetValue(const std::string& name, std::uint32_t type, std::string bytes,
                  const MemoryPlatform& platform)
    {
        MemoryValue* value = FindValue(name, platform);
        if (!value) {
            values.push_back(MemoryValue());
            value = &values.back();
            value->name = name;
        }
        value->type = type;
        value->bytes = std::move(bytes);
        value->oversized = false;
    }
};

struct MemoryPlatform::FileEntry {
    std::string path;   // as given, with backslashes
    bool folder = false;
    std::uint32_t attributes = 0;
    std::string content;
    bool sizeSet = false;
    std::uint64_t size = 0;
    CalendarTime creation, lastAccess, lastWrite;
    bool unopenable = false;
    int writers = 0;
};

namespace {

bool TreeRefusesDeletion(const MemoryPlatform::MemoryKey& key)
{
    if (key.faults & (kDenyDelete | kDenyOpen))
        return true;
    for (const auto& child : key.subKeys) {
        if (TreeRefusesDeletion(*child))
            return true;
    }
    return false;
}

void MarkDeleted(MemoryPlatform::MemoryKey& key)
{
    key.deleted = true;
    for (const auto& child : key.subKeys)
        MarkDeleted(*child);
}

}  // namespace

// A file being written; its bytes land in the platform's entry as they come.
class MemoryOutputFile : public OutputFile {
public:
    MemoryOutputFile(MemoryPlatform* platform, std::string key)
        : platform_(platform), key_(std::move(key)) {}
    ~MemoryOutputFile() override { Close(); }

    bool Write(const std::string& bytes) override
    {
        if (closed_ || failed_)
            return false;
        if (!platform_->AppendToFile(key_, bytes)) {
            failed_ = true;
            return false;
        }
        position_ += bytes.size();
        return true;
    }
    std::uint64_t Position() const override { return position_; }
    bool Close() override
    {
        if (!closed_) {
            closed_ = true;
            platform_->EndWriting(key_);
        }
        return !failed_;
    }

private:
    MemoryPlatform* platform_;
    std::string key_;
    std::uint64_t position_ = 0;
    bool failed_ = false;
    bool closed_ = false;
};

MemoryPlatform::MemoryPlatform()
{
    for (RootKey root = kHkeyClassesRoot; root <= kHkeyDynData; ++root)
        roots_[root] = std::make_shared<MemoryKey>();
    drives_['C'] = kDriveFixed;
    localTime_ = CalendarTime{2008, 3, 3, 14, 5, 9};
    timeZoneName_ = "W. Europe Standard Time";
}

MemoryPlatform::~MemoryPlatform() = default;

// ---------------------------------------------------------------- text rules

namespace {

// Case pairs of Latin, Greek and Cyrillic letters, as Windows folds them.
char32_t LowerCode(char32_t c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
        (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    if (((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) && c % 2 == 0)
        return c + 1;
    if (((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) && c % 2 == 1)
        return c + 1;
    if (c == 0x178)
        return 0xFF;
    return c;
}

char32_t UpperCode(char32_t c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) ||
        (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) || (c >= 0x430 && c <= 0x44F))
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    if (((c >= 0x101 && c <= 0x137) || (c >= 0x14B && c <= 0x177)) && c % 2 == 1)
        return c - 1;
    if (((c >= 0x13A && c <= 0x148) || (c >= 0x17A && c <= 0x17E)) && c % 2 == 0)
        return c - 1;
    if (c == 0xFF)
        return 0x178;
    return c;
}

std::string MapCodes(const std::string& text, char32_t (*map)(char32_t))
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 1;
        const char32_t code = DecodeUtf8(text, i, &length);
        if (code == 0xFFFD && length == 1)
            out.push_back(text[i]);   // a stray byte stays as it is
        else
            AppendUtf8(out, map(code));
        i += length;
    }
    return out;
}

}  // namespace

std::string MemoryPlatform::Upper(std::string text) const
{
    return MapCodes(text, &UpperCode);
}

void MemoryPlatform::LowerText(std::string& text)
{
    text = MapCodes(text, &LowerCode);
}

void MemoryPlatform::UpperText(std::string& text)
{
    text = Upper(std::move(text));
}

std::string MemoryPlatform::AnsiToUtf8(const std::string& ansi)
{
    // Code page 1252: its letters from 0xA0 on are those of Latin-1, and
    // the few it has between 0x80 and 0x9F are listed.
    static const char32_t k80To9F[32] = {
        0x20AC, 0x81, 0x201A, 0x192, 0x201E, 0x2026, 0x2020, 0x2021, 0x2C6, 0x2030, 0x160,
        0x2039, 0x152, 0x8D, 0x17D, 0x8F, 0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x2DC, 0x2122, 0x161, 0x203A, 0x153, 0x9D, 0x17E, 0x178};
    std::string out;
    out.reserve(ansi.size());
    for (const char c : ansi) {
        const unsigned char byte = static_cast<unsigned char>(c);
        AppendUtf8(out, byte >= 0x80 && byte <= 0x9F ? k80To9F[byte - 0x80] : byte);
    }
    return out;
}

// ------------------------------------------------------------------ registry

std::vector<std::string> MemoryPlatform::SplitComponents(const std::string& path,
                                                         bool* emptyFirst) const
{
    // As the registry does: empty components between or after backslashes
    // are passed over, but a path may not begin with one.
    std::vector<std::string> parts;
    std::string current;
    *emptyFirst = !path.empty() && path[0] == '\\';
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '\\') {
            if (!current.empty())
                parts.push_back(current);
            current.clear();
        } else {
            current += path[i];
        }
    }
    if (!current.empty())
        parts.push_back(current);
    return parts;
}

std::shared_ptr<MemoryPlatform::MemoryKey> MemoryPlatform::FindChild(const MemoryKey& parent,
                                                                   const std::string& name) const
{
    std::string upper = Upper(name);
    for (const auto& child : parent.subKeys) {
        if (Upper(child->name) == upper)
            return child;
    }
    return nullptr;
}

MemoryPlatform::MemoryKey* MemoryPlatform::FindKey(RootKey root, const std::string& path) const
{
    auto found = roots_.find(root);
    if (found == roots_.end())
        return nullptr;
    bool emptyFirst = false;
    std::shared_ptr<MemoryKey> key = found->second;
    for (const std::string& part : SplitComponents(path, &emptyFirst)) {
        key = FindChild(*key, part);
        if (!key)
            return nullptr;
    }
    return key.get();
}

MemoryPlatform::MemoryKey* MemoryPlatform::MakeKey(RootKey root, const std::string& path)
{
    auto found = roots_.find(root);
    if (found == roots_.end())
        return nullptr;
    bool emptyFirst = false;
    std::shared_ptr<MemoryKey> key = found->second;
    for (const std::string& part : SplitComponents(path, &emptyFirst)) {
        std::shared_ptr<MemoryKey> child = FindChild(*key, part);
        if (!child) {
            child = std::make_shared<MemoryKey>();
            child->name = part;
            key->subKeys.push_back(child);
        }
        key = child;
    }
    return key.get();
}

std::shared_ptr<MemoryPlatform::MemoryKey> MemoryPlatform::KeyOfHandle(KeyHandle handle,
                                                                     long* result) const
{
    std::shared_ptr<MemoryKey> key;
    if (handle <= 0xFFFFFFFFu) {
        auto root = roots_.find(static_cast<RootKey>(handle));
        if (root != roots_.end())
            key = root->second;
    }
    if (!key) {
        auto open = handles_.find(handle);
        if (open != handles_.end())
            key = open->second;
    }
    if (!key) {
        *result = kResultInvalidHandle;
        return nullptr;
    }
    if (key->deleted) {
        *result = kResultKeyDeleted;
        return nullptr;
    }
    *result = kResultOk;
    return key;
}

void MemoryPlatform::AddKey(RootKey root, const std::string& path)
{
    std::lock_guard<std::mutex> lock(mutex_);
    MakeKey(root, path);
}

void MemoryPlatform::AddValue(RootKey root, const std::string& path, const std::string& name,
                              std::uint32_t type, const std::string& bytes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (MemoryKey* key = MakeKey(root, path))
        key->SetValue(name, type, bytes, *this);
}

void MemoryPlatform::AddString(RootKey root, const std::string& path, const std::string& name,
                               const std::string& text)
{
    AddValue(root, path, name, kRegSz, TextToStringData(text));
}

void MemoryPlatform::AddDword(RootKey root, const std::string& path, const std::string& name,
                              std::uint32_t number)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
    AddValue(root, path, name, kRegDword, bytes);
}

void MemoryPlatform::SetKeyFaults(RootKey root, const std::string& path, unsigned faults)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (MemoryKey* key = MakeKey(root, path))
        key->faults = faults;
}

void MemoryPlatform::SetKeyVolatile(RootKey root, const std::string& path, bool isVolatile)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (MemoryKey* key = MakeKey(root, path))
        key->isVolatile = isVolatile;
}

void MemoryPlatform::MakeValueOversized(RootKey root, const std::string& path,
                                        const std::string& name)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (MemoryKey* key = FindKey(root, path)) {
        if (MemoryValue* value = key->FindValue(name, *this))
            value->oversized = true;
    }
}

bool MemoryPlatform::HasKey(RootKey root, const std::string& path) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return FindKey(root, path) != nullptr;
}

bool MemoryPlatform::HasValue(RootKey root, const std::string& path, const std::string& name) const
{
    return ReadValue(root, path, name, nullptr, nullptr);
}

bool MemoryPlatform::ReadValue(RootKey root, const std::string& path, const std::string& name,
                               std::uint32_t* type, std::string* bytes) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    MemoryKey* key = FindKey(root, path);
    MemoryValue* value = key ? key->FindValue(name, *this) : nullptr;
    if (!value)
        return false;
    if (type)
        *type = value->type;
    if (bytes)
        *bytes = value->bytes;
    return true;
}

std::vector<std::string> MemoryPlatform::SubKeyNames(RootKey root, const std::string& path) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> names;
    if (MemoryKey* key = FindKey(root, path)) {
        for (const auto& child : key->subKeys)
            names.push_back(child->name);
    }
    return names;
}

std::vector<std::string> MemoryPlatform::ValueNames(RootKey root, const std::string& path) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> names;
    if (MemoryKey* key = FindKey(root, path)) {
        for (const MemoryValue& value : key->values)
            names.push_back(value.name);
    }
    return names;
}

std::size_t MemoryPlatform::OpenKeyCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return handles_.size();
}

std::size_t MemoryPlatform::KeyOpenTotal() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return keyOpenTotal_;
}

std::size_t MemoryPlatform::BadCloseCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return badCloses_;
}

long MemoryPlatform::OpenKey(KeyHandle parent, const std::string& path, KeyHandle* key)
{
    std::lock_guard<std::mutex> lock(mutex_);
    *key = kNoKey;
    long result = kResultOk;
    std::shared_ptr<MemoryKey> node = KeyOfHandle(parent, &result);
    if (!node)
        return result;
    if (path.empty()) {
        // RegOpenKeyA hands back the parent handle itself.
        *key = parent;
        return kResultOk;
    }
    bool emptyFirst = false;
    std::vector<std::string> parts = SplitComponents(path, &emptyFirst);
    if (emptyFirst)
        return kResultBadPathname;
    for (const std::string& part : parts) {
        node = FindChild(*node, part);
        if (!node)
            return kResultFileNotFound;
    }
    if (node->faults & kDenyOpen)
        return kResultAccessDenied;
    // The handle shares the key, so it stays valid (answering "key deleted")
    // after the key is deleted.
    KeyHandle handle = nextHandle_;
    nextHandle_ += 4;
    handles_[handle] = node;
    ++keyOpenTotal_;
    *key = handle;
    return kResultOk;
}

long MemoryPlatform::CreateKey(KeyHandle parent, const std::string& path, KeyHandle* key)
{
    std::lock_guard<std::mutex> lock(mutex_);
    *key = kNoKey;
    long result = kResultOk;
    std::shared_ptr<MemoryKey> node = KeyOfHandle(parent, &result);
    if (!node)
        return result;
    bool emptyFirst = false;
    std::vector<std::string> parts = SplitComponents(path, &emptyFirst);
    if (emptyFirst)
        return kResultBadPathname;
    for (const std::string& part : parts) {
        std::shared_ptr<MemoryKey> child = FindChild(*node, part);
        if (!child) {
            if (node->faults & kDenyCreate)
                return kResultAccessDenied;
            child = std::make_shared<MemoryKey>();
            child->name = part;
            node->subKeys.push_back(child);
        }
        node = child;
    }
    if (node->faults & kDenyOpen)
        return kResultAccessDenied;
    KeyHandle handle = nextHandle_;
    nextHandle_ += 4;
    handles_[handle] = node;
    ++keyOpenTotal_;
    *key = handle;
    return kResultOk;
}

template <typename Body>
long MemoryPlatform::WithOpenKey(KeyHandle handle, Body body)
{
    std::lock_guard<std::mutex> lock(mutex_);
    long result = kResultOk;
    std::shared_ptr<MemoryKey> key = KeyOfHandle(handle, &result);
    return key ? body(*key) : result;
}

long MemoryPlatform::QueryKeyVolatile(KeyHandle handle, bool* isVolatile)
{
    return WithOpenKey(handle, [isVolatile](MemoryKey& key) {
        if (key.faults & kDenyQueryInfo)
            return kResultAccessDenied;
        *isVolatile = key.isVolatile;
        return kResultOk;
    });
}

long MemoryPlatform::QueryInfoKey(KeyHandle handle, KeyInfo* info)
{
    return WithOpenKey(handle, [info](MemoryKey& key) {
        if (key.faults & kDenyQueryInfo)
            return kResultAccessDenied;
        KeyInfo out;
        out.subKeyCount = static_cast<std::uint32_t>(key.subKeys.size());
        for (const auto& child : key.subKeys)
            out.maxSubKeyNameLength =
                std::max(out.maxSubKeyNameLength, static_cast<std::uint32_t>(child->name.size()));
        out.valueCount = static_cast<std::uint32_t>(key.values.size());
        for (const MemoryValue& value : key.values) {
            out.maxValueNameLength =
                std::max(out.maxValueNameLength, static_cast<std::uint32_t>(value.name.size()));
            if (!value.oversized)
                out.maxValueDataSize =
                    std::max(out.maxValueDataSize, static_cast<std::uint32_t>(value.bytes.size()));
        }
        *info = out;
        return kResultOk;
    });
}

namespace {

// Hands out a value's data as RegQueryValueExA does; data null asks for the
// size only.
long CopyValueData(const MemoryValue& value, std::uint32_t* type, std::uint8_t* data,
                   std::uint32_t* size)
{
    if (type)
        *type = value.type;
    if (!size)
        return data ? kResultInvalidHandle : kResultOk;
    std::uint32_t needed = static_cast<std::uint32_t>(value.bytes.size());
    if (!data) {
        *size = needed;
        return kResultOk;
    }
    if (value.oversized) {
        *size = std::max(needed, *size == 0xFFFFFFFFu ? *size : *size + 1);
        return kResultMoreData;
    }
    if (needed > *size) {
        *size = needed;
        return kResultMoreData;
    }
    if (needed)
        std::memcpy(data, value.bytes.data(), needed);
    *size = needed;
    return kResultOk;
}

}  // namespace

long MemoryPlatform::QueryValue(KeyHandle handle, const std::string& name, std::uint32_t* type,
                                std::uint8_t* data, std::uint32_t* size)
{
    return WithOpenKey(handle, [&](MemoryKey& key) {
        MemoryValue* value = key.FindValue(name, *this);
        return value ? CopyValueData(*value, type, data, size) : kResultFileNotFound;
    });
}

long MemoryPlatform::EnumValue(KeyHandle handle, std::uint32_t index, char* name,
                               std::uint32_t* nameLength, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* dataSize)
{
    return WithOpenKey(handle, [&](MemoryKey& key) {
        if (key.faults & kDenyEnumerate)
            return kResultAccessDenied;
        if (index >= key.values.size())
            return kResultNoMoreItems;
        const MemoryValue& value = key.values[index];
        if (value.name.size() + 1 > *nameLength)
            return kResultMoreData;
        std::memcpy(name, value.name.c_str(), value.name.size() + 1);
        *nameLength = static_cast<std::uint32_t>(value.name.size());
        return CopyValueData(value, type, data, dataSize);
    });
}

long MemoryPlatform::EnumKey(KeyHandle handle, std::uint32_t index, char* name,
                             std::uint32_t nameBufferSize)
{
    return WithOpenKey(handle, [&](MemoryKey& key) {
        if (key.faults & kDenyEnumerate)
            return kResultAccessDenied;
        if (index >= key.subKeys.size())
            return kResultNoMoreItems;
        const std::string& childName = key.subKeys[index]->name;
        if (childName.size() + 1 > nameBufferSize)
            return kResultMoreData;
        std::memcpy(name, childName.c_str(), childName.size() + 1);
        return kResultOk;
    });
}

long MemoryPlatform::SetValue(KeyHandle handle, const std::string& name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t size)
{
    return WithOpenKey(handle, [&](MemoryKey& key) {
        if (key.faults & kDenyWrite)
            return kResultAccessDenied;
        key.SetValue(name, type,
                     data ? std::string(reinterpret_cast<const char*>(data), size) : std::string(),
                     *this);
        return kResultOk;
    });
}

long MemoryPlatform::DeleteValue(KeyHandle handle, const std::string& name)
{
    return WithOpenKey(handle, [&](MemoryKey& key) {
        if (key.faults & kDenyWrite)
            return kResultAccessDenied;
        MemoryValue* value = key.FindValue(name, *this);
        if (!value)
            return kResultFileNotFound;
        key.values.erase(key.values.begin() + (value - key.values.data()));
        return kResultOk;
    });
}

long MemoryPlatform::DeleteKeyTree(KeyHandle parentHandle, const std::string& subKey)
{
    std::lock_guard<std::mutex> lock(mutex_);
    long result = kResultOk;
    std::shared_ptr<MemoryKey> parent = KeyOfHandle(parentHandle, &result);
    if (!parent)
        return result;
    if (subKey.empty()) {
        // SHDeleteKeyA with an empty name empties the key itself of all its
        // values and subkeys (the key stays).
        for (const auto& child : parent->subKeys) {
            if (TreeRefusesDeletion(*child))
                return kResultAccessDenied;
        }
        for (const auto& child : parent->subKeys)
            MarkDeleted(*child);
        parent->subKeys.clear();
        parent->values.clear();
        return kResultOk;
    }
    bool emptyFirst = false;
    std::vector<std::string> parts = SplitComponents(subKey, &emptyFirst);
    if (emptyFirst)
        return kResultBadPathname;
    std::shared_ptr<MemoryKey> owner = parent;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        owner = FindChild(*owner, parts[i]);
        if (!owner)
            return kResultFileNotFound;
    }
    std::shared_ptr<MemoryKey> target =
        parts.empty() ? nullptr : FindChild(*owner, parts.back());
    if (!target)
        return kResultFileNotFound;
    if (TreeRefusesDeletion(*target))
        return kResultAccessDenied;
    MarkDeleted(*target);
    auto& siblings = owner->subKeys;
    siblings.erase(std::remove_if(siblings.begin(), siblings.end(),
                                  [&target](const std::shared_ptr<MemoryKey>& child) {
                                      return child == target;
                                  }),
                   siblings.end());
    return kResultOk;
}

void MemoryPlatform::CloseKey(KeyHandle key)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (key <= 0xFFFFFFFFu && roots_.count(static_cast<RootKey>(key)))
        return;   // a root key is always open
    if (handles_.erase(key) == 0)
        ++badCloses_;
}

// --------------------------------------------------------------- file system

std::string MemoryPlatform::FileKey(const std::string& path) const
{
    std::string key = path;
    std::replace(key.begin(), key.end(), '/', '\\');
    while (key.size() > 1 && key.back() == '\\' && !IsDriveRoot(key))
        key.pop_back();
    if (key.size() == 2 && key[1] == ':')
        key += '\\';
    return Upper(key);
}

namespace {

// The folder part of a normalised key ("C:\A" for "C:\A\B", "C:\" for "C:\A"),
// or empty when there is none.
std::string ParentKey(const std::string& key)
{
    if (IsDriveRoot(key))
        return std::string();
    std::size_t slash = key.find_last_of('\\');
    if (slash == std::string::npos)
        return std::string();
    std::string parent = key.substr(0, slash);
    if (parent.size() == 2 && parent[1] == ':')
        parent += '\\';
    return parent;
}

std::string LastComponent(const std::string& path)
{
    std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

MemoryPlatform::FileEntry* MemoryPlatform::FindEntry(const std::string& path) const
{
    auto found = files_.find(FileKey(path));
    return found == files_.end() ? nullptr : found->second.get();
}

bool MemoryPlatform::FolderExists(const std::string& key) const
{
    if (IsDriveRoot(key))
        return drives_.count(key[0]) != 0;
    auto found = files_.find(key);
    return found != files_.end() && found->second->folder;
}

MemoryPlatform::FileEntry* MemoryPlatform::MakeEntry(const std::string& path, bool folder)
{
    std::string key = FileKey(path);
    auto found = files_.find(key);
    if (found != files_.end())
        return found->second.get();
    if (IsDriveRoot(key))
        return nullptr;
    std::string normal = path;
    std::replace(normal.begin(), normal.end(), '/', '\\');
    while (normal.size() > 1 && normal.back() == '\\')
        normal.pop_back();
    std::string parent = ParentKey(key);
    if (!parent.empty() && !IsDriveRoot(parent))
        MakeEntry(normal.substr(0, normal.find_last_of('\\')), true);
    auto entry = std::make_unique<FileEntry>();
    entry->path = normal;
    entry->folder = folder;
    entry->attributes = folder ? kFileAttributeDirectory : kFileAttributeArchive;
    entry->creation = entry->lastAccess = entry->lastWrite = localTime_;
    FileEntry* raw = entry.get();
    files_[key] = std::move(entry);
    fileOrder_.push_back(key);
    return raw;
}

void MemoryPlatform::AddFile(const std::string& path, const std::string& content,
                             std::uint32_t attributes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (FileEntry* entry = MakeEntry(path, false)) {
        entry->folder = false;
        entry->attributes = attributes & ~kFileAttributeDirectory;
        entry->content = content;
        entry->sizeSet = false;
    }
}

void MemoryPlatform::AddFolder(const std::string& path)
{
    std::lock_guard<std::mutex> lock(mutex_);
    MakeEntry(path, true);
}

void MemoryPlatform::SetFileSize(const std::string& path, std::uint64_t size)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (FileEntry* entry = FindEntry(path)) {
        entry->sizeSet = true;
        entry->size = size;
    }
}

void MemoryPlatform::SetFileTimes(const std::string& path, const CalendarTime& creation,
                                  const CalendarTime& lastAccess, const CalendarTime& lastWrite)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (FileEntry* entry = FindEntry(path)) {
        entry->creation = creation;
        entry->lastAccess = lastAccess;
        entry->lastWrite = lastWrite;
    }
}

void MemoryPlatform::MakeFileUnopenable(const std::string& path)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (FileEntry* entry = FindEntry(path))
        entry->unopenable = true;
}

void MemoryPlatform::FailFileCreation(const std::string& path)
{
    std::lock_guard<std::mutex> lock(mutex_);
    failCreation_.push_back(FileKey(path));
}

void MemoryPlatform::FailFileWritesAfter(const std::string& path, std::uint64_t byteLimit)
{
    std::lock_guard<std::mutex> lock(mutex_);
    writeLimits_[FileKey(path)] = byteLimit;
}

void MemoryPlatform::FailDirectoryCreation(bool fail)
{
    std::lock_guard<std::mutex> lock(mutex_);
    failDirectories_ = fail;
}

bool MemoryPlatform::HasFile(const std::string& path) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    FileEntry* entry = FindEntry(path);
    return entry && !entry->folder;
}

bool MemoryPlatform::HasFolder(const std::string& path) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return FolderExists(FileKey(path));
}

std::string MemoryPlatform::FileContent(const std::string& path) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    FileEntry* entry = FindEntry(path);
    return entry ? entry->content : std::string();
}

MemoryPlatform::FileTestCounts MemoryPlatform::FileTests() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return fileTests_;
}

bool MemoryPlatform::OpenFileExists(const std::string& path)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ++fileTests_.openTests;
    FileEntry* entry = FindEntry(path);
    return entry && !entry->folder && !entry->unopenable;
}

std::uint32_t MemoryPlatform::FileAttributes(const std::string& path)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ++fileTests_.attributeQueries;
    std::string key = FileKey(path);
    if (IsDriveRoot(key))
        return FolderExists(key) ? kFileAttributeDirectory : kInvalidFileAttributes;
    FileEntry* entry = FindEntry(path);
    return entry ? entry->attributes : kInvalidFileAttributes;
}

bool MemoryPlatform::ListFolder(const std::string& pattern, FolderVisitor visitor, void* context)
{
    std::vector<FoundFile> found;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::string normal = pattern;
        std::replace(normal.begin(), normal.end(), '/', '\\');
        std::size_t slash = normal.find_last_of('\\');
        if (slash == std::string::npos)
            return false;
        std::string folder = FileKey(normal.substr(0, slash + 1));
        std::string mask = Upper(normal.substr(slash + 1));
        if (!FolderExists(folder))
            return false;
        if (!IsDriveRoot(folder)) {
            for (const char* dots : {".", ".."}) {
                if (MaskMatches(mask, dots))
                    found.push_back(FoundFile{dots, kFileAttributeDirectory, 0});
            }
        }
        for (const std::string& key : fileOrder_) {
            if (ParentKey(key) != folder)
                continue;
            const FileEntry& entry = *files_.at(key);
            std::string name = LastComponent(entry.path);
            if (!MaskMatches(mask, Upper(name)))
                continue;
            std::uint64_t size = entry.folder ? 0 : entry.sizeSet ? entry.size : entry.content.size();
            found.push_back(FoundFile{name, entry.attributes, size});
        }
    }
    // Like FindFirstFileA, a listing that matches nothing does not start.
    if (found.empty())
        return false;
    for (const FoundFile& file : found) {
        if (visitor && !visitor(file, context))
            break;
    }
    return true;
}

bool MemoryPlatform::FileTimes(const std::string& path, CalendarTime* creation,
                               CalendarTime* lastAccess, CalendarTime* lastWrite)
{
    std::lock_guard<std::mutex> lock(mutex_);
    FileEntry* entry = FindEntry(path);
    if (!entry)
        return false;
    if (creation)
        *creation = entry->creation;
    if (lastAccess)
        *lastAccess = entry->lastAccess;
    if (lastWrite)
        *lastWrite = entry->lastWrite;
    return true;
}

bool MemoryPlatform::MakeDirectoryPath(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (failDirectories_)
        return false;
    std::string normal = folder;
    std::replace(normal.begin(), normal.end(), '/', '\\');
    if (normal.size() < 3 || normal[1] != ':' || normal[2] != '\\')
        return false;
    if (!FolderExists(FileKey(normal.substr(0, 3))))
        return false;
    // Like MakeSureDirectoryPathExists: every folder up to the last backslash;
    // whatever follows it is taken for a file name.
    for (std::size_t slash = normal.find('\\', 3); slash != std::string::npos;
         slash = normal.find('\\', slash + 1)) {
        std::string part = normal.substr(0, slash);
        if (part.back() == '\\')
            continue;
        FileEntry* entry = FindEntry(part);
        if (entry && !entry->folder)
            return false;
        if (!entry)
            MakeEntry(part, true);
    }
    return true;
}

std::unique_ptr<OutputFile> MemoryPlatform::CreateOutputFile(const std::string& path,
                                                             bool failIfExists)
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::string key = FileKey(path);
    if (std::find(failCreation_.begin(), failCreation_.end(), key) != failCreation_.end())
        return nullptr;
    FileEntry* entry = FindEntry(path);
    if (entry) {
        if (entry->folder || failIfExists || (entry->attributes & kFileAttributeReadOnly) ||
            entry->writers > 0)
            return nullptr;
    } else {
        std::string parent = ParentKey(key);
        if (parent.empty() || !FolderExists(parent))
            return nullptr;
        entry = MakeEntry(path, false);
    }
    entry->content.clear();
    entry->sizeSet = false;
    entry->creation = entry->lastAccess = entry->lastWrite = localTime_;
    ++entry->writers;
    return std::make_unique<MemoryOutputFile>(this, key);
}

bool MemoryPlatform::AppendToFile(const std::string& key, const std::string& bytes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = files_.find(key);
    if (found == files_.end())
        return false;
    FileEntry& entry = *found->second;
    auto limit = writeLimits_.find(key);
    if (limit != writeLimits_.end() && entry.content.size() + bytes.size() > limit->second)
        return false;
    entry.content += bytes;
    return true;
}

void MemoryPlatform::EndWriting(const std::string& key)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = files_.find(key);
    if (found != files_.end() && found->second->writers > 0)
        --found->second->writers;
}

bool MemoryPlatform::RemoveFile(const std::string& path)
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::string key = FileKey(path);
    auto found = files_.find(key);
    if (found == files_.end() || found->second->folder || found->second->writers > 0 ||
        (found->second->attributes & kFileAttributeReadOnly))
        return false;
    files_.erase(found);
    fileOrder_.erase(std::remove(fileOrder_.begin(), fileOrder_.end(), key), fileOrder_.end());
    return true;
}

// -------------------------------------------------------------------- drives

void MemoryPlatform::SetDrive(char letter, unsigned driveType)
{
    std::lock_guard<std::mutex> lock(mutex_);
    drives_[Upper(std::string(1, letter))[0]] = driveType;
}

void MemoryPlatform::RemoveDrive(char letter)
{
    std::lock_guard<std::mutex> lock(mutex_);
    drives_.erase(Upper(std::string(1, letter))[0]);
}

std::string MemoryPlatform::LogicalDriveStrings()
{
    std::lock_guard<std::mutex> lock(mutex_);
    ++fileTests_.driveLists;
    std::string strings;
    for (const auto& drive : drives_) {
        strings += drive.first;
        strings += ":\\";
        strings += '\0';
    }
    strings += '\0';
    return strings;
}

unsigned MemoryPlatform::DriveType(const std::string& rootPath)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ++fileTests_.driveTypeQueries;
    auto found = drives_.find(DriveRootLetter(rootPath));
    return found == drives_.end() ? kDriveNoRootDir : found->second;
}

// ------------------------------------------------------------------ profiles

void MemoryPlatform::SetProfileFile(const std::string& path, const std::string& text)
{
    std::lock_guard<std::mutex> lock(mutex_);
    profiles_[FileKey(path)] = text;
}

std::string MemoryPlatform::ReadProfileString(const std::string& file, const std::string& section,
                                              const std::string& key, std::size_t maxLength)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = profiles_.find(FileKey(file));
    if (found == profiles_.end())
        return std::string();
    const std::string& text = found->second;
    const std::string wantedSection = Upper(TrimBlanks(section));
    const std::string wantedKey = Upper(TrimBlanks(key));
    bool inSection = false;
    bool sectionSeen = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        line = TrimBlanks(line);
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            // Only the first section of a name is read.
            if (inSection)
                return std::string();
            std::size_t close = line.find(']');
            std::string name = line.substr(1, close == std::string::npos ? std::string::npos
                                                                         : close - 1);
            inSection = !sectionSeen && Upper(TrimBlanks(name)) == wantedSection;
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection)
            continue;
        std::size_t equals = line.find('=');
        std::string name = TrimBlanks(line.substr(0, equals));
        if (Upper(name) != wantedKey)
            continue;
        if (equals == std::string::npos)
            return std::string();
        std::string value = TrimBlanks(line.substr(equals + 1));
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
            value = value.substr(1, value.size() - 2);
        return value.substr(0, maxLength);
    }
    return std::string();
}

// ---------------------------------------------------------------------- time

void MemoryPlatform::SetLocalTime(const CalendarTime& time)
{
    std::lock_guard<std::mutex> lock(mutex_);
    localTime_ = time;
}

void MemoryPlatform::SetTimeZoneName(const std::string& name)
{
    std::lock_guard<std::mutex> lock(mutex_);
    timeZoneName_ = name;
}

void MemoryPlatform::SetRunsUnderWow64(bool wow64)
{
    std::lock_guard<std::mutex> lock(mutex_);
    runsUnderWow64_ = wow64;
}

bool MemoryPlatform::RunsUnderWow64()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return runsUnderWow64_;
}

void MemoryPlatform::SetRunsElevated(bool elevated)
{
    std::lock_guard<std::mutex> lock(mutex_);
    runsElevated_ = elevated;
}

bool MemoryPlatform::RunsElevated()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return runsElevated_;
}

CalendarTime MemoryPlatform::CurrentLocalTime()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return localTime_;
}

std::string MemoryPlatform::CurrentTimeZoneStandardName()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return timeZoneName_;
}
