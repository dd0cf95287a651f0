// The replay of a REG file (see RegFileReplay.h).
#include "core/RegFileReplay.h"

#include <algorithm>
#include <utility>

namespace {

bool IsTextType(std::uint32_t type)
{
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

class Replay {
public:
    explicit Replay(TextRules& textRules) : textRules_(textRules) {}

    void Run(const RegFileContent& content)
    {
        for (const RegFileKey& key : content.keys) {
            if (key.root == kNoRootKey)
                continue;
            if (key.deleted) {
                DeleteKey(key);
                continue;
            }
            ReplayedKey& node = SetKeyPresent(key);
            if (key.values.empty())
                node.bare = true;
            for (const RegFileValue& value : key.values)
                node.values.push_back(ReplayedValue{FoldName(textRules_, value.name), &value});
        }
        for (ReplayedRoot& root : file_.roots)
            KeepLastOfEachName(root.key);
    }

    ReplayedFile Take() { return std::move(file_); }

private:
    ReplayedRoot& RootOf(const RegFileKey& key)
    {
        for (ReplayedRoot& root : file_.roots) {
            if (root.root == key.root)
                return root;
        }
        file_.roots.emplace_back();
        ReplayedRoot& root = file_.roots.back();
        root.root = key.root;
        root.rootName = key.rootName;
        root.key.state = ReplayedKeyState::Present;
        root.key.line = key.line;
        return root;
    }

    // Walks down the key's path, adding the keys the tree does not hold yet
    // as unnamed; with revive, each key on the way that the file deleted is
    // there again.
    ReplayedKey& Walk(const RegFileKey& key, bool revive)
    {
        ReplayedKey* node = &RootOf(key).key;
        std::size_t start = 0;
        while (start < key.path.size()) {
            std::size_t end = key.path.find('\\', start);
            if (end == std::string::npos)
                end = key.path.size();
            if (end > start) {
                std::string name = key.path.substr(start, end - start);
                std::unique_ptr<ReplayedKey>& child = node->subKeys[FoldName(textRules_, name)];
                if (!child)
                    child.reset(new ReplayedKey);
                child->name = std::move(name);
                node = child.get();
                if (revive && end < key.path.size() && node->state == ReplayedKeyState::Deleted) {
                    node->state = ReplayedKeyState::Present;
                    node->line = key.line;
                }
            }
            start = end + 1;
        }
        return *node;
    }

    ReplayedKey& SetKeyPresent(const RegFileKey& key)
    {
        ReplayedKey& node = Walk(key, true);
        if (!key.path.empty()) {
            node.state = ReplayedKeyState::Present;
            node.line = key.line;
        }
        return node;
    }

    void DeleteKey(const RegFileKey& key)
    {
        ReplayedKey& node = Walk(key, false);
        node.subKeys.clear();
        node.values.clear();
        node.bare = false;
        node.state = ReplayedKeyState::Deleted;
        node.line = key.line;
    }

    // Values were appended in file order: of several of one name, the last
    // one counts.
    static void KeepLastOfEachName(ReplayedKey& key)
    {
        std::vector<ReplayedValue>& values = key.values;
        std::stable_sort(values.begin(), values.end(), [](const ReplayedValue& a, const ReplayedValue& b) {
            return a.foldedName < b.foldedName;
        });
        std::size_t kept = 0;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i + 1 < values.size() && values[i + 1].foldedName == values[i].foldedName)
                continue;
            if (kept != i)
                values[kept] = std::move(values[i]);
            ++kept;
        }
        values.resize(kept);
        for (auto& child : key.subKeys)
            KeepLastOfEachName(*child.second);
    }

    TextRules& textRules_;
    ReplayedFile file_;
};

} // namespace

ReplayedFile ReplayRegFile(TextRules& textRules, const RegFileContent& content)
{
    Replay replay(textRules);
    replay.Run(content);
    return replay.Take();
}

const ReplayedValue* FindReplayedValue(const ReplayedKey& key, const std::string& foldedName)
{
    auto found = std::lower_bound(key.values.begin(), key.values.end(), foldedName,
                                  [](const ReplayedValue& value, const std::string& name) {
                                      return value.foldedName < name;
                                  });
    return found != key.values.end() && found->foldedName == foldedName ? &*found : nullptr;
}

std::string FoldName(TextRules& textRules, std::string name)
{
    for (char& c : name) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            textRules.UpperText(name);
            return name;
        }
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return name;
}

bool SameAsFileData(std::uint32_t fileType, const std::string& fileData, std::uint32_t type,
                    const std::string& data)
{
    if (type != fileType)
        return false;
    if (data == fileData)
        return true;
    if (!IsTextType(type) || data.size() <= fileData.size() || data.compare(0, fileData.size(), fileData) != 0)
        return false;
    const std::string added = data.substr(fileData.size());
    const std::size_t size = fileData.size();
    const bool unterminated =
        size < 2 || size % 2 != 0 || fileData[size - 1] != '\0' || fileData[size - 2] != '\0';
    return unterminated && added.size() <= 2 && added.find_first_not_of('\0') == std::string::npos;
}
