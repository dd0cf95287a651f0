// Root keys and full registry paths as text, the display text of value data,
// and the small registry operations built on them: reading one string value,
// listing the subkeys of a key, deleting a value or a key with its subtree.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Platform.h"

// Owns a key opened through the registry and closes it when destroyed. When
// the registry hands back the parent itself (an empty path), nothing is
// closed, since the key belongs to whoever opened the parent.
class ScopedKey {
public:
    explicit ScopedKey(RegistryAccess& registry) : registry_(registry) {}
    ~ScopedKey() { Close(); }
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;

    // Opens path below parent; returns the registry's result code.
    long Open(KeyHandle parent, const std::string& path);
    // Opens path below parent for writing, creating it and any missing key
    // above it first; returns the registry's result code.
    long Create(KeyHandle parent, const std::string& path);
    void Close();
    KeyHandle Get() const { return key_; }
    bool IsOpen() const { return key_ != kNoKey; }

private:
    RegistryAccess& registry_;
    KeyHandle key_ = kNoKey;
    bool owned_ = false;
};

// The smallest buffer BufferSizeForLongest gives: a key name of 255 UTF-16
// units takes at most 765 bytes of UTF-8, with its NUL 766.
constexpr std::uint32_t kSmallestNameBuffer = 766;

// The size of a buffer for a name or data whose longest length a key reports
// (KeyInfo): one more for the NUL, and never less than kSmallestNameBuffer,
// so that a full 255-character name in any script always fits, also when the
// key's sizes cannot be read. A report of 0xFFFFFFFF, which leaves no room
// for one more, is taken as it is.
std::uint32_t BufferSizeForLongest(std::uint32_t longest);

// The full upper-case name of a root key ("HKEY_CURRENT_USER"); empty for any
// value outside the seven predefined keys.
std::string RootKeyName(RootKey root);

// The root key of a full name, compared after system upper-casing; kNoRootKey
// when the name is none of the seven (short forms and blanks never match).
RootKey ParseRootKey(TextRules& textRules, const std::string& name);

// Removes every leading backslash and the trailing run of backslashes.
std::string TrimBackslashes(const std::string& path);

// Splits "ROOT\key\path" into its root key and key path. Fails (root
// kNoRootKey, empty key path) for an unknown root or a bare root name.
bool SplitRegistryPath(TextRules& textRules, const std::string& fullPath, RootKey* root,
                       std::string* keyPath);

// Splits the full path of the key that holds a value. A value may sit in a
// root key itself, so a bare root name ("HKEY_CURRENT_USER", with or without
// backslashes after it) names that root with an empty key path; otherwise as
// SplitRegistryPath. Fails for an unknown root.
bool SplitValueKeyPath(TextRules& textRules, const std::string& fullPath, RootKey* root,
                       std::string* keyPath);

// The largest value read whole; a larger one counts as unreadable. No text a
// person types and no value a cleaner finds comes near it.
constexpr std::uint32_t kLargestWholeValue = 64u * 1024u * 1024u;

struct WholeValue {
    std::uint32_t type = 0;
    std::string bytes;   // the data exactly as stored
};

enum class WholeValueRead {
    Read,         // the value was read whole
    Missing,      // no value of that name (or the key is gone)
    Unreadable,   // the value exists but could not be read whole
};

// Reads a value of an open key whole: its size first, then its data, again
// with the new size when it grew between the two calls. A value that keeps
// growing, is larger than kLargestWholeValue, does not fit in memory or
// cannot be read for any other reason is Unreadable, never Missing: the
// difference decides whether a backup is complete.
WholeValueRead ReadWholeValue(RegistryAccess& registry, KeyHandle key, const std::string& name,
                              WholeValue* value);

// One line of display text for value data: strings as stored, up to 20 binary
// bytes in hex, 32-bit numbers as "0x%08x (%ld)", multi-strings joined by
// blanks; empty for every other type.
std::string FormatValueData(std::uint32_t type, const std::uint8_t* data, std::uint32_t dataSize);

// The value's text, read into a buffer of 520 bytes (a folder path of up to
// 259 characters); empty when the key or value cannot be read or the value
// needs more room.
std::string ReadStringValue(RegistryAccess& registry, RootKey root, const std::string& keyPath,
                            const std::string& valueName);

using SubKeyVisitor = void (*)(RootKey root, const std::string& keyPath,
                               const std::string& subKeyName, void* context);

// Calls the visitor for every direct subkey of the key, in the registry's
// order, with the key path trimmed of blanks and backslashes at both ends.
// The listing ends early once
// `stop` is set, so that a key with many thousands of subkeys does not hold
// up a stopped scan.
void EnumSubKeys(RegistryAccess& registry, RootKey root,
                 const std::string& keyPath, SubKeyVisitor visitor, void* context,
                 const std::atomic<bool>* stop = nullptr);

// Deletes one value, also one held by a root key itself (a bare root name);
// true only when it was deleted. `result` (when given) receives the system's
// code of the step that failed, kResultOk on success and kResultFileNotFound
// for a path that names no key.
bool DeleteRegistryValue(RegistryAccess& registry, TextRules& textRules,
                         const std::string& fullKeyPath, const std::string& valueName,
                         long* result = nullptr);

// Deletes a key with everything below it; true only when it was deleted.
// `result` as for DeleteRegistryValue.
bool DeleteRegistryKey(RegistryAccess& registry, TextRules& textRules,
                       const std::string& fullKeyPath, long* result = nullptr);
