// The comma-separated flag lists of config.xml (see FlagList.h).
#include "core/FlagList.h"

#include "core/Text.h"

std::string EncodeFlagList(const std::vector<bool>& flags)
{
    std::string text;
    for (std::size_t i = 0; i < flags.size(); ++i) {
        if (i > 0)
            text += ',';
        text += flags[i] ? '1' : '0';
    }
    return text;
}

bool DecodeFlagList(const std::string& text, std::vector<bool>& flags)
{
    const std::vector<std::string> pieces = SplitString(text, ",");
    if (pieces.empty())
        return false;
    for (std::size_t i = 0; i < flags.size(); ++i) {
        const std::string& piece = i < pieces.size() ? pieces[i] : pieces.back();
        flags[i] = piece == "1";
    }
    return true;
}
