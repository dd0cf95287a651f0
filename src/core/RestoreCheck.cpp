// The check of a restore (see RestoreCheck.h).
#include "core/RestoreCheck.h"

#include <algorithm>
#include <map>
#include <memory>
#include <new>
#include <utility>

#include "core/RegFileReplay.h"
#include "core/RegistryPaths.h"

namespace {

// What the file leaves behind for one key or value.
struct Expectation {
    bool present = true;
    RootKey root = kNoRootKey;
    std::string fullKeyPath;
    std::string keyPath;
    std::string valueName;
    std::uint32_t type = 0;
    std::string data;
    std::size_t line = 0;
};

// Where a key stands: there (also when it may not be opened), gone, or unknown.
enum class KeyPresence { kPresent, kAbsent, kUnknown };

KeyPresence PresenceOf(long openResult)
{
    if (openResult == kResultOk || openResult == kResultAccessDenied)
        return KeyPresence::kPresent;
    return openResult == kResultFileNotFound ? KeyPresence::kAbsent : KeyPresence::kUnknown;
}

std::string LineText(const Expectation& expected, bool isValue, const std::string& defaultValueText)
{
    if (!isValue)
        return expected.fullKeyPath;
    return expected.fullKeyPath + " " +
           (expected.valueName.empty() ? defaultValueText : "\"" + expected.valueName + "\"");
}

class RestoreChecker {
public:
    RestoreChecker(RegistryAccess& registry, const std::string& defaultValueText)
        : registry_(registry), defaultValueText_(defaultValueText)
    {
    }

    void CheckKey(const Expectation& expected)
    {
        ScopedKey key(registry_);
        const KeyPresence presence = PresenceOf(key.Open(RootHandle(expected.root), expected.keyPath));
        if (presence == KeyPresence::kUnknown)
            Add(RestoreShortfallKind::kNotReadable, expected, false);
        else if (expected.present && presence == KeyPresence::kAbsent)
            Add(RestoreShortfallKind::kKeyMissing, expected, false);
        else if (!expected.present && presence == KeyPresence::kPresent)
            Add(RestoreShortfallKind::kKeyStillPresent, expected, false);
    }

    void CheckValue(const Expectation& expected)
    {
        ScopedKey key(registry_);
        const long opened = key.Open(RootHandle(expected.root), expected.keyPath);
        if (opened == kResultFileNotFound) {
            if (expected.present)
                Add(RestoreShortfallKind::kValueMissing, expected, true);
            return;
        }
        if (opened != kResultOk) {
            Add(RestoreShortfallKind::kNotReadable, expected, true);
            return;
        }
        // Room for the longest data that still counts as the same: anything
        // longer differs, whatever size the registry reports for it.
        const std::uint32_t room = static_cast<std::uint32_t>(expected.data.size()) + 2;
        std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[room]);
        if (!buffer) {
            Add(RestoreShortfallKind::kNotReadable, expected, true);
            return;
        }
        std::uint32_t type = 0;
        std::uint32_t size = room;
        const long read = registry_.QueryValue(key.Get(), expected.valueName, &type, buffer.get(), &size);
        if (read == kResultFileNotFound) {
            if (expected.present)
                Add(RestoreShortfallKind::kValueMissing, expected, true);
        } else if (!expected.present) {
            if (read == kResultOk || read == kResultMoreData)
                Add(RestoreShortfallKind::kValueStillPresent, expected, true);
            else
                Add(RestoreShortfallKind::kNotReadable, expected, true);
        } else if (read == kResultMoreData) {
            Add(RestoreShortfallKind::kValueDiffers, expected, true);
        } else if (read != kResultOk || size > room) {
            Add(RestoreShortfallKind::kNotReadable, expected, true);
        } else if (!SameAsFileData(expected.type, expected.data, type,
                                   std::string(reinterpret_cast<const char*>(buffer.get()), size))) {
            Add(RestoreShortfallKind::kValueDiffers, expected, true);
        }
    }

    // Marks the shortfalls that lie in volatile keys. Asked only for the
    // entries that did not come back: a restore that came back whole asks
    // nothing.
    void MarkKeptBySystem()
    {
        for (RestoreShortfall& shortfall : result_)
            shortfall.keptBySystem =
                shortfall.kind != RestoreShortfallKind::kNotReadable && InVolatileKey(shortfall.root, shortfall.keyPath);
    }

    std::vector<RestoreShortfall> TakeResult()
    {
        std::stable_sort(result_.begin(), result_.end(),
                         [](const RestoreShortfall& a, const RestoreShortfall& b) {
                             return a.line < b.line;
                         });
        return std::move(result_);
    }

private:
    // True when the key, or, when it does not exist, the nearest key above
    // it that does, is volatile. A root key never is.
    bool InVolatileKey(RootKey root, std::string keyPath)
    {
        while (!keyPath.empty()) {
            ScopedKey key(registry_);
            const long opened = key.Open(RootHandle(root), keyPath);
            if (opened == kResultOk) {
                bool isVolatile = false;
                return registry_.QueryKeyVolatile(key.Get(), &isVolatile) == kResultOk && isVolatile;
            }
            if (opened != kResultFileNotFound)
                return false;
            const std::size_t cut = keyPath.rfind('\\');
            keyPath.erase(cut == std::string::npos ? 0 : cut);
        }
        return false;
    }

    void Add(RestoreShortfallKind kind, const Expectation& expected, bool isValue)
    {
        RestoreShortfall shortfall;
        shortfall.kind = kind;
        shortfall.fullKeyPath = expected.fullKeyPath;
        shortfall.isValue = isValue;
        shortfall.valueName = expected.valueName;
        shortfall.line = expected.line;
        shortfall.root = expected.root;
        shortfall.keyPath = expected.keyPath;
        shortfall.text = LineText(expected, isValue, defaultValueText_);
        result_.push_back(shortfall);
    }

    RegistryAccess& registry_;
    const std::string& defaultValueText_;
    std::vector<RestoreShortfall> result_;
};

}  // namespace

namespace {

// Turns the replayed tree into the expectations of the check: every key the
// file creates or deletes (root keys are always there), and every value it
// sets or deletes.
class ExpectationList {
public:
    void AddRoot(const ReplayedRoot& root)
    {
        AddValues(root, root.key, std::string());
        for (const auto& child : root.key.subKeys)
            AddKey(root, *child.second, child.second->name);
    }

    std::vector<Expectation> keys;
    std::vector<Expectation> values;

private:
    static Expectation Of(const ReplayedRoot& root, const std::string& keyPath, bool present, std::size_t line)
    {
        Expectation expectation;
        expectation.present = present;
        expectation.root = root.root;
        expectation.fullKeyPath = keyPath.empty() ? root.rootName : root.rootName + "\\" + keyPath;
        expectation.keyPath = keyPath;
        expectation.line = line;
        return expectation;
    }

    void AddKey(const ReplayedRoot& root, const ReplayedKey& key, const std::string& keyPath)
    {
        if (key.state != ReplayedKeyState::Unnamed)
            keys.push_back(Of(root, keyPath, key.state == ReplayedKeyState::Present, key.line));
        AddValues(root, key, keyPath);
        for (const auto& child : key.subKeys)
            AddKey(root, *child.second, keyPath + "\\" + child.second->name);
    }

    void AddValues(const ReplayedRoot& root, const ReplayedKey& key, const std::string& keyPath)
    {
        for (const ReplayedValue& replayed : key.values) {
            const RegFileValue& value = *replayed.value;
            Expectation expectation = Of(root, keyPath, !value.deleted, value.line);
            expectation.valueName = value.name;
            expectation.type = value.type;
            expectation.data = value.data;
            values.push_back(std::move(expectation));
        }
    }
};

} // namespace

std::vector<RestoreShortfall> CheckRestoredEntries(RegistryAccess& registry, TextRules& textRules,
                                                   const RegFileContent& content,
                                                   const std::string& defaultValueText,
                                                   std::size_t* checkedCount)
{
    const ReplayedFile replayed = ReplayRegFile(textRules, content);
    ExpectationList expected;
    for (const ReplayedRoot& root : replayed.roots)
        expected.AddRoot(root);
    if (checkedCount)
        *checkedCount = expected.keys.size() + expected.values.size();
    RestoreChecker checker(registry, defaultValueText);
    for (const Expectation& key : expected.keys)
        checker.CheckKey(key);
    for (const Expectation& value : expected.values)
        checker.CheckValue(value);
    checker.MarkKeptBySystem();
    return checker.TakeResult();
}
