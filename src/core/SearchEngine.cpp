// The registry search proper (see SearchEngine.h).
#include "core/SearchEngine.h"

#include <vector>

#include "core/PathRules.h"
#include "core/Text.h"
#include "core/Unicode.h"
#include "core/RegistryPaths.h"
#include "core/RegistryWalk.h"

namespace {

void ReportHit(const SearchSink& sink, const RegistryItem& item)
{
    if (sink.addHit)
        sink.addHit(item, sink.context);
}

}  // namespace

std::string LimitKeyword(const std::string& text)
{
    // Counted in UTF-16 units, as the keyword box counts them; a character
    // that would not fit whole is left out.
    std::size_t units = 0;
    std::size_t end = 0;
    while (end < text.size()) {
        std::size_t length = 1;
        const char32_t code = DecodeUtf8(text, end, &length);
        const std::size_t width = code >= 0x10000 ? 2 : 1;
        if (units + width > kMaxKeywordLength)
            break;
        units += width;
        end += length;
    }
    return text.substr(0, end);
}

SearchContext::SearchContext(TextRules& textRules, const SearchOptions& options,
                             const SearchSink& sink, std::string keyRowText)
    : textRules(textRules), options(options), sink(sink), keyRowText(std::move(keyRowText)),
      keyword_(options.keyword)
{
    if (!options.caseSensitive)
        textRules.LowerText(keyword_);
}

bool SearchContext::Matches(const std::string& subject)
{
    const std::string* text = &subject;
    if (!options.caseSensitive) {
        lowered_.assign(subject);
        textRules.LowerText(lowered_);
        text = &lowered_;
    }
    if (options.fullWordMatch)
        return *text == keyword_;
    if (options.useWildcard)
        return WildcardMatch(keyword_, *text);
    return !keyword_.empty() && FindText(*text, keyword_) != std::string::npos;
}

void MatchKey(RootKey root, const std::string& path, const char*, std::uint32_t, std::uint32_t,
              const std::uint8_t*, std::uint32_t, void* context)
{
    auto& search = *static_cast<SearchContext*>(context);
    if (search.options.includeKeyNames) {
        const std::size_t lastBackslash = FindLastChar(path, '\\');
        const std::string name =
            lastBackslash == std::string::npos ? path : path.substr(lastBackslash + 1);
        if (search.Matches(name)) {
            RegistryItem item;
            item.rootName = RootKeyName(root);
            item.keyPath = path;
            item.valueName = search.keyRowText;
            item.image = kSearchImageKey;
            item.type = kKeyRowType;
            ReportHit(search.sink, item);
        }
    }
    if (search.sink.showKey)
        search.sink.showKey(path, search.sink.context);
}

void MatchValue(RootKey root, const std::string& path, const char* valueName,
                std::uint32_t valueNameLength, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t dataSize, void* context)
{
    auto& search = *static_cast<SearchContext*>(context);
    std::string& name = search.valueName;
    if (valueName)
        name.assign(valueName, valueNameLength);
    else
        name.clear();
    const bool nameHit = search.options.includeValueNames && search.Matches(name);
    if (!nameHit && !search.options.includeValueData)
        return;
    // The display text serves both as the subject and as the row's text:
    // the test works on a lower-cased copy, so the row keeps its case.
    std::string& dataText = search.dataText;
    dataText = FormatValueData(type, data, dataSize);
    if (!nameHit && !search.Matches(dataText))
        return;
    RegistryItem item;
    item.rootName = RootKeyName(root);
    item.keyPath = path;
    item.valueName = name;
    item.dataText = dataText;
    item.image = (type == kRegSz || type == kRegExpandSz || type == kRegMultiSz)
                     ? kSearchImageString
                     : kSearchImageOther;
    item.type = static_cast<std::int32_t>(type);
    ReportHit(search.sink, item);
}

void SearchRegistry(RegistryAccess& registry, TextRules& textRules,
                           const SearchOptions& options, const SearchSink& sink,
                           const std::string& keyRowText, const std::atomic<bool>* stop)
{
    if (options.keyword.empty())
        return;
    const struct {
        bool chosen;
        RootKey root;
    } roots[] = {
        {options.searchHKCR, kHkeyClassesRoot}, {options.searchHKCU, kHkeyCurrentUser},
        {options.searchHKLM, kHkeyLocalMachine}, {options.searchHKU, kHkeyUsers},
        {options.searchHKCC, kHkeyCurrentConfig},
    };
    SearchContext context(textRules, options, sink, keyRowText);
    const std::vector<std::string> noExclusions;
    for (const auto& entry : roots) {
        if (stop && stop->load())
            break;
        if (entry.chosen)
            WalkRegistry(registry, textRules, entry.root, "", true, MatchValue, &context, MatchKey,
                         &context, 0xFFFFFFFFu, noExclusions, stop, NoneValues::kVisit);
    }
}
