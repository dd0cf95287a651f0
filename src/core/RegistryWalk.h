// The one recursive traversal of the registry: a key, its values and, on
// request, every key below it, depth first, handed to key and value visitors.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Platform.h"

// Called for every value that passes the type mask. name is NUL-terminated
// and nameLength its length without the NUL; the pointers are valid only
// during the call.
using ValueVisitor = void (*)(RootKey root, const std::string& path, const char* valueName,
                              std::uint32_t valueNameLength, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t dataSize,
                              void* context);

// Called once for every key that was opened, before its values, with the
// same arguments as a value visitor whose five middle arguments are zero.
using KeyVisitor = ValueVisitor;

// Whether values of type REG_NONE, which no type mask admits, reach the
// value visitor all the same.
enum class NoneValues { kSkip, kVisit };

// Walks the key at path below root ("" is the root itself; leading and
// trailing backslashes are ignored). Keys whose path contains one of the
// excluded fragments (compared after system lower-casing) are skipped with
// their whole subtree, as are keys that cannot be opened. A value reaches the
// value visitor only when (type & typeMask) is non-zero, so REG_NONE does not
// unless noneValues asks for it. When stop is given and becomes true, the
// walk ends before the next key, value or subkey.
void WalkRegistry(RegistryAccess& registry, TextRules& textRules, RootKey root,
                  const std::string& path, bool recurse,
                  ValueVisitor valueVisitor, void* valueContext, KeyVisitor keyVisitor,
                  void* keyContext, std::uint32_t typeMask,
                  const std::vector<std::string>& excludedPaths,
                  const std::atomic<bool>* stop = nullptr,
                  NoneValues noneValues = NoneValues::kSkip);
