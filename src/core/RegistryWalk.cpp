// The recursive registry walk.
#include "core/RegistryWalk.h"

#include <memory>
#include <new>

#include "core/Text.h"
#include "core/RegistryPaths.h"

namespace {

struct Walk {
    RegistryAccess& registry;
    TextRules& textRules;
    RootKey root;
    bool recurse;
    ValueVisitor valueVisitor;
    void* valueContext;
    KeyVisitor keyVisitor;
    void* keyContext;
    std::uint32_t typeMask;
    std::vector<std::string> loweredExclusions;
    const std::atomic<bool>* stop;
    NoneValues noneValues;

    bool Stopped() const { return stop && stop->load(); }

    bool Admits(std::uint32_t type) const
    {
        return (type & typeMask) != 0 || (type == kRegNone && noneValues == NoneValues::kVisit);
    }
};

bool IsExcluded(const Walk& walk, const std::string& path)
{
    if (walk.loweredExclusions.empty())
        return false;
    std::string lowered = path;
    walk.textRules.LowerText(lowered);
    for (const std::string& fragment : walk.loweredExclusions) {
        if (FindText(lowered, fragment) != std::string::npos)
            return true;
    }
    return false;
}

void WalkKey(const Walk& walk, const std::string& startPath)
{
    if (walk.Stopped())
        return;
    std::string path = TrimBackslashes(startPath);
    if (IsExcluded(walk, path))
        return;
    ScopedKey key(walk.registry);
    if (key.Open(RootHandle(walk.root), path) != kResultOk)
        return;
    if (walk.keyVisitor)
        walk.keyVisitor(walk.root, path, nullptr, 0, 0, nullptr, 0, walk.keyContext);

    // Buffers are sized once per key from its longest name and data; when the
    // sizes cannot be read they stay at 256 bytes.
    KeyInfo info;
    walk.registry.QueryInfoKey(key.Get(), &info);
    const std::uint32_t nameSize = BufferSizeForLongest(info.maxValueNameLength);
    const std::uint32_t dataSize = BufferSizeForLongest(info.maxValueDataSize);
    const std::uint32_t subKeySize = BufferSizeForLongest(info.maxSubKeyNameLength);
    std::unique_ptr<char[]> name(new (std::nothrow) char[nameSize]);
    std::unique_ptr<std::uint8_t[]> data(new (std::nothrow) std::uint8_t[dataSize]);
    std::unique_ptr<char[]> subKey(new (std::nothrow) char[subKeySize]);
    if (!name || !data || !subKey)
        return;

    for (std::uint32_t index = 0;; ++index) {
        if (walk.Stopped())
            return;
        std::uint32_t nameLength = nameSize;
        std::uint32_t type = 0;
        std::uint32_t size = dataSize;
        const long result = walk.registry.EnumValue(key.Get(), index, name.get(), &nameLength,
                                                    &type, data.get(), &size);
        if (result != kResultOk)
            break;
        if (walk.valueVisitor && walk.Admits(type))
            walk.valueVisitor(walk.root, path, name.get(), nameLength, type, data.get(), size,
                              walk.valueContext);
    }

    if (!walk.recurse)
        return;
    for (std::uint32_t index = 0;; ++index) {
        if (walk.Stopped())
            return;
        const long result = walk.registry.EnumKey(key.Get(), index, subKey.get(), subKeySize);
        if (result != kResultOk)
            break;
        WalkKey(walk, path + "\\" + subKey.get());
    }
}

}  // namespace

void WalkRegistry(RegistryAccess& registry, TextRules& textRules, RootKey root,
                  const std::string& path, bool recurse, ValueVisitor valueVisitor,
                  void* valueContext, KeyVisitor keyVisitor, void* keyContext,
                  std::uint32_t typeMask, const std::vector<std::string>& excludedPaths,
                  const std::atomic<bool>* stop, NoneValues noneValues)
{
    Walk walk{registry, textRules, root, recurse, valueVisitor, valueContext, keyVisitor,
              keyContext, typeMask, {}, stop, noneValues};
    for (std::string fragment : excludedPaths) {
        textRules.LowerText(fragment);
        walk.loweredExclusions.push_back(fragment);
    }
    WalkKey(walk, path);
}
