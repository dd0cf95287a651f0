// What a REG file leaves behind when the registry editor merges it: the file
// replayed in order (a later line wins over an earlier one, a key deletion
// takes everything the file put below it, creating a key brings back the keys
// above it that the file deleted), as a tree of keys with their values. The
// restore check and the comparison with a backup both start from it.
// Platform-free; the tree points into the file's content, which must outlive
// it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/Platform.h"
#include "core/RegReader.h"

// What the file says about a key.
enum class ReplayedKeyState {
    Unnamed,   // only a path to keys below it: the file says nothing of the key itself
    Present,   // the file creates it (a key line)
    Deleted,   // the file deletes it ([-KEY]) and does not create it again
};

// One value the file leaves behind: set, or deleted ("name"=-).
struct ReplayedValue {
    std::string foldedName;               // upper-cased as Windows compares names
    const RegFileValue* value = nullptr;  // the last line that names it
};

struct ReplayedKey {
    std::string name;       // the last component of the path, as the file spells it
    ReplayedKeyState state = ReplayedKeyState::Unnamed;
    // A key line with no value after it names the key, and no deletion of the
    // key came after it.
    bool bare = false;
    std::size_t line = 0;   // the line that made the key what it is (0 when unnamed)
    std::map<std::string, std::unique_ptr<ReplayedKey>> subKeys;   // by upper-cased name
    std::vector<ReplayedValue> values;   // by upper-cased name, one per name
};

// A root key the file names, with everything the file holds below it. A root
// key is always there: its state is Present.
struct ReplayedRoot {
    RootKey root = kNoRootKey;
    std::string rootName;
    ReplayedKey key;
};

struct ReplayedFile {
    std::vector<ReplayedRoot> roots;   // in the order the file first names them
};

// Replays the file's keys and values. Names are folded with the system's
// text rules.
ReplayedFile ReplayRegFile(TextRules& textRules, const RegFileContent& content);

// The value of a key by its upper-cased name; null when the file holds none.
const ReplayedValue* FindReplayedValue(const ReplayedKey& key, const std::string& foldedName);

// Upper-cases a name as Windows compares registry names; plain ASCII is
// folded here, anything else by the text rules.
std::string FoldName(TextRules& textRules, std::string name);

// True when the registry's type and bytes hold what the file gives, or, for a
// text without its terminating zero unit, that text with the zero the
// registry editor adds.
bool SameAsFileData(std::uint32_t fileType, const std::string& fileData, std::uint32_t type,
                    const std::string& data);
