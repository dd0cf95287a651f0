// The comparison of a REG file with the registry (see RegistryDiff.h).
#include "core/RegistryDiff.h"

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

#include "core/BackupStore.h"
#include "core/RegFileReplay.h"
#include "core/RegistryPaths.h"

namespace {

// The status line hears of one key in this many.
constexpr std::size_t kKeysPerProgress = 256;

std::string JoinPath(const std::string& keyPath, const std::string& name)
{
    return keyPath.empty() ? name : keyPath + "\\" + name;
}

// Whether an open key is volatile, asked once and only when a difference in
// it needs the answer. Below a volatile key every key is volatile.
class Volatility {
public:
    Volatility(RegistryAccess& registry, KeyHandle key, bool inherited)
        : registry_(registry), key_(key), known_(inherited), volatile_(inherited)
    {
    }

    bool Get()
    {
        if (!known_) {
            known_ = true;
            bool answer = false;
            volatile_ = registry_.QueryKeyVolatile(key_, &answer) == kResultOk && answer;
        }
        return volatile_;
    }

    // True only when the key is already known to be volatile; asks nothing.
    bool KnownVolatile() const { return known_ && volatile_; }

private:
    RegistryAccess& registry_;
    KeyHandle key_;
    bool known_;
    bool volatile_;
};

// One value of an open key as the enumeration gives it.
struct ListedValue {
    std::string name;
    std::uint32_t type = 0;
    std::string data;
};

class Comparison {
public:
    Comparison(Platform& platform, DiffScope scope, DiffProgress progress, void* context,
               const std::atomic<bool>* stop)
        : platform_(platform), scope_(scope), progress_(progress), context_(context), stop_(stop)
    {
    }

    void CompareRoot(const ReplayedRoot& root)
    {
        root_ = &root;
        const bool whole = scope_ == DiffScope::WholeRoots || root.key.bare;
        CompareKey(root.key, std::string(), whole, false);
    }

    DiffOutcome Take() { return std::move(outcome_); }

private:
    bool Stopped()
    {
        if (stop_ && stop_->load())
            outcome_.stopped = true;
        return outcome_.stopped;
    }

    std::string FullPath(const std::string& keyPath) const
    {
        return keyPath.empty() ? root_->rootName : root_->rootName + "\\" + keyPath;
    }

    DiffEntry Entry(DiffKind kind, const std::string& keyPath, std::size_t line) const
    {
        DiffEntry entry;
        entry.kind = kind;
        entry.root = root_->root;
        entry.rootName = root_->rootName;
        entry.keyPath = keyPath;
        entry.line = line;
        return entry;
    }

    void Report(const std::string& keyPath)
    {
        if (progress_ && keysSeen_++ % kKeysPerProgress == 0)
            progress_(FullPath(keyPath), context_);
    }

    // A key of the file, with what the registry holds at its place. whole:
    // a key above it is held whole. inVolatile: a key above it is volatile.
    void CompareKey(const ReplayedKey& key, const std::string& keyPath, bool whole, bool inVolatile)
    {
        if (Stopped())
            return;
        Report(keyPath);
        const bool isRoot = keyPath.empty();
        if (!isRoot && key.state != ReplayedKeyState::Unnamed)
            ++outcome_.comparedCount;
        if (key.state == ReplayedKeyState::Present && key.bare)
            whole = true;
        ScopedKey open(platform_);
        const long opened = open.Open(RootHandle(root_->root), keyPath);

        if (key.state == ReplayedKeyState::Deleted) {
            // The file holds the key's absence.
            if (opened == kResultOk)
                AddKeyEntry(DiffKind::Added, keyPath, key.line, open.Get(), inVolatile);
            else if (opened != kResultFileNotFound)
                AddKeyEntry(DiffKind::Added, keyPath, key.line, kNoKey, inVolatile);
            return;
        }
        if (opened == kResultFileNotFound) {
            KeyMissing(key, keyPath, whole, inVolatile);
            return;
        }
        if (opened != kResultOk) {
            ++outcome_.unreadableCount;
            return;
        }
        Volatility volatility(platform_, open.Get(), inVolatile);
        // The sizes of the longest names and data, read once for both
        // listings; when they cannot be read the buffers start small.
        KeyInfo info;
        platform_.QueryInfoKey(open.Get(), &info);
        // An unnamed key below a key held whole is held whole as well: the
        // walk that wrote the key above it wrote everything below it.
        CompareValues(key, keyPath, open.Get(), info, whole, volatility);
        if (Stopped())
            return;
        std::vector<const ReplayedKey*> children;
        if (whole)
            ListSubKeys(key, keyPath, open.Get(), info, volatility, &children);
        else
            for (const auto& child : key.subKeys)
                children.push_back(child.second.get());
        // Each key below asks for itself when a difference needs it, so a
        // key without differences is never asked.
        const bool childrenVolatile = volatility.KnownVolatile();
        for (const ReplayedKey* child : children) {
            CompareKey(*child, JoinPath(keyPath, child->name), whole, childrenVolatile);
            if (Stopped())
                return;
        }
    }

    // A key the file holds is not in the registry. A key the file names is
    // one entry with everything the file holds below it; for a key the file
    // does not name, the keys below it speak for themselves.
    void KeyMissing(const ReplayedKey& key, const std::string& keyPath, bool whole, bool inVolatile)
    {
        if (key.state == ReplayedKeyState::Present || whole) {
            DiffEntry entry = Entry(DiffKind::Removed, keyPath, key.line);
            CollectBackupKeys(key, keyPath, &entry.backupKeys, false);
            if (inVolatile || ParentChainVolatile(keyPath))
                ++outcome_.volatileCount;
            else
                outcome_.entries.push_back(std::move(entry));
            return;
        }
        for (const auto& child : key.subKeys) {
            CompareKey(*child.second, JoinPath(keyPath, child.second->name), whole, inVolatile);
            if (Stopped())
                return;
        }
    }

    // True when the nearest key above a missing one that exists is volatile.
    bool ParentChainVolatile(std::string keyPath)
    {
        for (;;) {
            const std::size_t cut = keyPath.rfind('\\');
            if (cut == std::string::npos)
                return false;   // a root key never is
            keyPath.erase(cut);
            ScopedKey key(platform_);
            const long opened = key.Open(RootHandle(root_->root), keyPath);
            if (opened == kResultOk) {
                bool isVolatile = false;
                return platform_.QueryKeyVolatile(key.Get(), &isVolatile) == kResultOk && isVolatile;
            }
            if (opened != kResultFileNotFound)
                return false;
        }
    }

    // countKey: the key itself was not counted yet (the missing key at the
    // top was, when it was opened).
    void CollectBackupKeys(const ReplayedKey& key, const std::string& keyPath, std::vector<DiffKeyData>* keys,
                           bool countKey)
    {
        if (key.state == ReplayedKeyState::Deleted)
            return;
        if (countKey && key.state != ReplayedKeyState::Unnamed)
            ++outcome_.comparedCount;
        {
            // Also a key the file only passes through: below a key held
            // whole it was there, and creating it again costs nothing.
            DiffKeyData data;
            data.keyPath = keyPath;
            for (const ReplayedValue& replayed : key.values) {
                ++outcome_.comparedCount;
                if (!replayed.value->deleted)
                    data.values.push_back(
                        DiffValueData{replayed.value->name, replayed.value->type, replayed.value->data});
            }
            keys->push_back(std::move(data));
        }
        for (const auto& child : key.subKeys)
            CollectBackupKeys(*child.second, JoinPath(keyPath, child.second->name), keys, true);
    }

    // A key whose existence may be told but not its volatility is listed.
    void AddKeyEntry(DiffKind kind, const std::string& keyPath, std::size_t line, KeyHandle key, bool inVolatile)
    {
        bool isVolatile = inVolatile;
        if (!isVolatile && key != kNoKey) {
            bool answer = false;
            isVolatile = platform_.QueryKeyVolatile(key, &answer) == kResultOk && answer;
        }
        if (isVolatile)
            ++outcome_.volatileCount;
        else
            outcome_.entries.push_back(Entry(kind, keyPath, line));
    }

    void AddValueEntry(DiffEntry entry, Volatility& volatility)
    {
        if (volatility.Get())
            ++outcome_.volatileCount;
        else
            outcome_.entries.push_back(std::move(entry));
    }

    DiffEntry ValueEntry(DiffKind kind, const std::string& keyPath, const std::string& name, std::size_t line) const
    {
        DiffEntry entry = Entry(kind, keyPath, line);
        entry.isValue = true;
        entry.valueName = name;
        return entry;
    }

    // Reads every value of the open key; false when the listing could not
    // be finished.
    bool ListValues(KeyHandle key, KeyInfo info, std::vector<ListedValue>* listed)
    {
        std::uint32_t nameSize = BufferSizeForLongest(info.maxValueNameLength);
        std::uint32_t dataSize = BufferSizeForLongest(info.maxValueDataSize);
        std::unique_ptr<char[]> name(new (std::nothrow) char[nameSize]);
        std::unique_ptr<std::uint8_t[]> data(new (std::nothrow) std::uint8_t[dataSize]);
        if (!name || !data)
            return false;
        int retries = 0;
        for (std::uint32_t index = 0;;) {
            std::uint32_t nameLength = nameSize;
            std::uint32_t type = 0;
            std::uint32_t size = dataSize;
            const long result = platform_.EnumValue(key, index, name.get(), &nameLength, &type, data.get(), &size);
            if (result == kResultNoMoreItems)
                return true;
            if (result == kResultMoreData && retries++ < 4) {
                // A value grew since the sizes were read: read them afresh.
                if (platform_.QueryInfoKey(key, &info) != kResultOk)
                    return false;
                nameSize = std::max(nameSize, BufferSizeForLongest(info.maxValueNameLength));
                dataSize = std::max(dataSize, BufferSizeForLongest(info.maxValueDataSize));
                if (dataSize > kLargestWholeValue)
                    return false;
                name.reset(new (std::nothrow) char[nameSize]);
                data.reset(new (std::nothrow) std::uint8_t[dataSize]);
                if (!name || !data)
                    return false;
                continue;
            }
            if (result != kResultOk)
                return false;
            listed->push_back(ListedValue{std::string(name.get(), nameLength), type,
                                          std::string(reinterpret_cast<const char*>(data.get()), size)});
            ++index;
        }
    }

    void CompareValues(const ReplayedKey& key, const std::string& keyPath, KeyHandle open, const KeyInfo& info,
                       bool whole, Volatility& volatility)
    {
        if (key.values.empty() && !whole)
            return;
        std::vector<ListedValue> listed;
        const bool complete = ListValues(open, info, &listed);
        std::vector<bool> matched(key.values.size(), false);
        for (ListedValue& value : listed) {
            const ReplayedValue* replayed = FindReplayedValue(key, FoldName(platform_, value.name));
            if (replayed)
                matched[static_cast<std::size_t>(replayed - key.values.data())] = true;
            if (!replayed && !whole)
                continue;
            const RegFileValue* file = replayed ? replayed->value : nullptr;
            if (file && !file->deleted && SameAsFileData(file->type, file->data, value.type, value.data))
                continue;
            DiffEntry entry = ValueEntry(file && !file->deleted ? DiffKind::Changed : DiffKind::Added, keyPath,
                                         value.name, file ? file->line : 0);
            if (file && !file->deleted) {
                entry.backupType = file->type;
                entry.backupData = file->data;
            }
            entry.currentType = value.type;
            entry.currentData = std::move(value.data);
            AddValueEntry(std::move(entry), volatility);
        }
        for (std::size_t i = 0; i < key.values.size(); ++i) {
            const RegFileValue& file = *key.values[i].value;
            ++outcome_.comparedCount;
            if (matched[i])
                continue;
            if (!complete) {
                // Not listed: looked up by its name.
                WholeValue now;
                const WholeValueRead read = ReadWholeValue(platform_, open, file.name, &now);
                if (read == WholeValueRead::Unreadable) {
                    ++outcome_.unreadableCount;
                    continue;
                }
                if (read == WholeValueRead::Read) {
                    if (file.deleted || !SameAsFileData(file.type, file.data, now.type, now.bytes)) {
                        DiffEntry entry = ValueEntry(file.deleted ? DiffKind::Added : DiffKind::Changed, keyPath,
                                                     file.name, file.line);
                        if (!file.deleted) {
                            entry.backupType = file.type;
                            entry.backupData = file.data;
                        }
                        entry.currentType = now.type;
                        entry.currentData = std::move(now.bytes);
                        AddValueEntry(std::move(entry), volatility);
                    }
                    continue;
                }
            }
            if (file.deleted)
                continue;
            DiffEntry entry = ValueEntry(DiffKind::Removed, keyPath, file.name, file.line);
            entry.backupType = file.type;
            entry.backupData = file.data;
            AddValueEntry(std::move(entry), volatility);
        }
        if (!complete)
            ++outcome_.unreadableCount;
    }

    // The subkeys to compare below a key held whole: those of the file, and
    // every subkey of the registry the file does not hold, which is added.
    void ListSubKeys(const ReplayedKey& key, const std::string& keyPath, KeyHandle open, const KeyInfo& info,
                     const Volatility& volatility, std::vector<const ReplayedKey*>* children)
    {
        for (const auto& child : key.subKeys)
            children->push_back(child.second.get());
        const std::uint32_t size = BufferSizeForLongest(info.maxSubKeyNameLength);
        std::unique_ptr<char[]> name(new (std::nothrow) char[size]);
        if (!name) {
            ++outcome_.unreadableCount;
            return;
        }
        for (std::uint32_t index = 0;; ++index) {
            if (Stopped())
                return;
            const long result = platform_.EnumKey(open, index, name.get(), size);
            if (result == kResultNoMoreItems)
                return;
            if (result != kResultOk) {
                ++outcome_.unreadableCount;
                return;
            }
            const std::string subKey = name.get();
            if (key.subKeys.count(FoldName(platform_, subKey)) != 0)
                continue;
            const std::string path = JoinPath(keyPath, subKey);
            ScopedKey added(platform_);
            const long opened = added.Open(RootHandle(root_->root), path);
            if (opened == kResultFileNotFound)
                continue;   // gone since it was listed
            AddKeyEntry(DiffKind::Added, path, 0, opened == kResultOk ? added.Get() : kNoKey,
                        volatility.KnownVolatile());
        }
    }

    Platform& platform_;
    DiffScope scope_;
    DiffProgress progress_;
    void* context_;
    const std::atomic<bool>* stop_;
    const ReplayedRoot* root_ = nullptr;
    std::size_t keysSeen_ = 0;
    DiffOutcome outcome_;
};

std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

DiffScope DiffScopeOfFile(const std::string& fileName, const std::string& wholeTypeText)
{
    return !wholeTypeText.empty() && BackupTypeOfFileName(BaseName(fileName)) == wholeTypeText
               ? DiffScope::WholeRoots
               : DiffScope::SavedKeys;
}

DiffScope DiffScopeOfPath(TextRules& textRules, const std::string& filePath, const std::string& backupFolder,
                           const std::string& wholeTypeText)
{
    const std::size_t slash = filePath.find_last_of("\\/");
    std::string folder = slash == std::string::npos ? std::string() : filePath.substr(0, slash);
    std::string backups = backupFolder;
    while (!backups.empty() && (backups.back() == '\\' || backups.back() == '/'))
        backups.pop_back();
    textRules.UpperText(folder);
    textRules.UpperText(backups);
    if (folder.empty() || folder != backups)
        return DiffScope::SavedKeys;
    return DiffScopeOfFile(filePath, wholeTypeText);
}

DiffOutcome CompareWithRegistry(Platform& platform, const RegFileContent& content, DiffScope scope,
                                DiffProgress progress, void* context, const std::atomic<bool>* stop)
{
    const ReplayedFile replayed = ReplayRegFile(platform, content);
    Comparison comparison(platform, scope, progress, context, stop);
    for (const ReplayedRoot& root : replayed.roots)
        comparison.CompareRoot(root);
    return comparison.Take();
}
