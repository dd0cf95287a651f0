// The check of a restore (see RestoreCheck.h).
#include "core/RestoreCheck.h"

#include <algorithm>
#include <map>
#include <memory>
#include <new>
#include <utility>

#include "core/Text.h"
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

// Registry names are compared without regard to case: keys and values are
// filed under their upper-cased names.
class ExpectedState {
public:
    explicit ExpectedState(TextRules& textRules) : textRules_(textRules) {}

    void Replay(const RegFileContent& content)
    {
        for (const RegFileKey& key : content.keys) {
            if (key.deleted) {
                DeleteKey(key);
                continue;
            }
            SetKeyPresent(key);
            for (const RegFileValue& value : key.values)
                SetValue(key, value);
        }
    }

    const std::map<std::string, Expectation>& Keys() const { return keys_; }
    const std::map<std::pair<std::string, std::string>, Expectation>& Values() const
    {
        return values_;
    }

private:
    std::string Folded(std::string text) const
    {
        textRules_.UpperText(text);
        return text;
    }

    static std::string FullPath(const RegFileKey& key)
    {
        return key.path.empty() ? key.rootName : key.rootName + "\\" + key.path;
    }

    Expectation KeyExpectation(const RegFileKey& key, bool present, std::size_t line) const
    {
        Expectation expectation;
        expectation.present = present;
        expectation.root = key.root;
        expectation.fullKeyPath = FullPath(key);
        expectation.keyPath = key.path;
        expectation.line = line;
        return expectation;
    }

    // Creating a key creates the keys above it: any of them the file deleted
    // earlier is there again.
    void SetKeyPresent(const RegFileKey& key)
    {
        if (key.path.empty())
            return;   // a root key is always there
        keys_[Folded(FullPath(key))] = KeyExpectation(key, true, key.line);
        for (std::size_t i = 0; i < key.path.size(); i = NextCharIndex(key.path, i)) {
            if (key.path[i] != '\\')
                continue;
            RegFileKey parent = key;
            parent.path = key.path.substr(0, i);
            auto found = keys_.find(Folded(FullPath(parent)));
            if (found != keys_.end() && !found->second.present)
                found->second = KeyExpectation(parent, true, key.line);
        }
    }

    // A deleted key takes every key and value the file put at or below it.
    void DeleteKey(const RegFileKey& key)
    {
        const std::string folded = Folded(FullPath(key));
        const std::string below = folded + "\\";
        auto isBelow = [&below](const std::string& path) {
            return path.compare(0, below.size(), below) == 0;
        };
        keys_.erase(folded);
        for (auto it = keys_.lower_bound(below); it != keys_.end() && isBelow(it->first);)
            it = keys_.erase(it);
        for (auto it = values_.lower_bound({folded, std::string()});
             it != values_.end() && it->first.first == folded;)
            it = values_.erase(it);
        for (auto it = values_.lower_bound({below, std::string()});
             it != values_.end() && isBelow(it->first.first);)
            it = values_.erase(it);
        keys_[folded] = KeyExpectation(key, false, key.line);
    }

    void SetValue(const RegFileKey& key, const RegFileValue& value)
    {
        Expectation expectation = KeyExpectation(key, !value.deleted, value.line);
        expectation.valueName = value.name;
        expectation.type = value.type;
        expectation.data = value.data;
        values_[{Folded(FullPath(key)), Folded(value.name)}] = expectation;
    }

    TextRules& textRules_;
    std::map<std::string, Expectation> keys_;
    std::map<std::pair<std::string, std::string>, Expectation> values_;
};

bool IsTextType(std::uint32_t type)
{
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// The registry holds what the file gives, or, for a text without its
// terminating zero unit, that text with the zero the registry editor adds.
bool SameData(const Expectation& expected, std::uint32_t type, const std::string& data)
{
    if (type != expected.type)
        return false;
    if (data == expected.data)
        return true;
    if (!IsTextType(type) || data.size() <= expected.data.size() ||
        data.compare(0, expected.data.size(), expected.data) != 0)
        return false;
    const std::string added = data.substr(expected.data.size());
    const std::size_t size = expected.data.size();
    const bool unterminated =
        size < 2 || size % 2 != 0 || expected.data[size - 1] != '\0' || expected.data[size - 2] != '\0';
    return unterminated && added.size() <= 2 && added.find_first_not_of('\0') == std::string::npos;
}

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
        } else if (!SameData(expected, type,
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

std::vector<RestoreShortfall> CheckRestoredEntries(RegistryAccess& registry, TextRules& textRules,
                                                   const RegFileContent& content,
                                                   const std::string& defaultValueText,
                                                   std::size_t* checkedCount)
{
    ExpectedState expected(textRules);
    expected.Replay(content);
    if (checkedCount)
        *checkedCount = expected.Keys().size() + expected.Values().size();
    RestoreChecker checker(registry, defaultValueText);
    for (const auto& key : expected.Keys())
        checker.CheckKey(key.second);
    for (const auto& value : expected.Values())
        checker.CheckValue(value.second);
    checker.MarkKeptBySystem();
    return checker.TakeResult();
}
