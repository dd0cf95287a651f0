// The keyboard letters ('&' in the language file's texts) of each dialog of
// Quorvane.rc are unique within it. The pages share the main window's Alt
// keys with its menu bar, and the dialog manager gives a control's letter
// precedence over the menu's, so a page's letters must not take those of
// "_File" and "_About" either.

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#ifndef QV_SOURCE_DIR
#error "QV_SOURCE_DIR must name the source root"
#endif

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// key -> text of the language file.
std::map<std::string, std::string> LanguageTexts()
{
    std::map<std::string, std::string> texts;
    std::istringstream lines(ReadFile(std::string(QV_SOURCE_DIR) + "/resources/Quorvane.language"));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t equals = line.find('=');
        if (!line.empty() && line[0] == '_' && equals != std::string::npos)
            texts[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return texts;
}

// The caption keys of each block of the resource script that begins with
// `header` (such as "IDD_PAGE_CLEANER DIALOGEX") and ends at its END line.
std::map<std::string, std::vector<std::string>> CaptionKeysOf(const std::string& script, const std::regex& header)
{
    std::map<std::string, std::vector<std::string>> blocks;
    const std::regex key("\"(_[A-Za-z0-9]+)\"");
    for (std::sregex_iterator start(script.begin(), script.end(), header), end; start != end; ++start) {
        const std::size_t begin = static_cast<std::size_t>(start->position());
        const std::size_t finish = script.find("\nEND", begin);
        const std::string body = script.substr(begin, finish - begin);
        std::vector<std::string>& keys = blocks[(*start)[1].str()];
        for (std::sregex_iterator k(body.begin(), body.end(), key); k != std::sregex_iterator(); ++k)
            keys.push_back((*k)[1].str());
    }
    return blocks;
}

// The letter after the first single '&' of a text, in lower case; 0 when none.
char Mnemonic(const std::string& text)
{
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 1])));
    }
    return 0;
}

} // namespace

TEST(Mnemonics, EachDialogsLettersAreUniqueAndPagesLeaveTheMenuBarsLettersAlone)
{
    const std::string script = ReadFile(std::string(QV_SOURCE_DIR) + "/resources/Quorvane.rc");
    const std::map<std::string, std::string> texts = LanguageTexts();
    ASSERT_FALSE(texts.empty());

    // The menu bar: the POPUP lines of the main menu.
    std::map<char, std::string> menuBar;
    const std::regex popup("POPUP \"(_[A-Za-z0-9]+)\"");
    for (std::sregex_iterator p(script.begin(), script.end(), popup), end; p != end; ++p) {
        const char letter = Mnemonic(texts.at((*p)[1].str()));
        ASSERT_NE(0, letter) << (*p)[1].str();
        EXPECT_EQ(0u, menuBar.count(letter)) << (*p)[1].str();
        menuBar[letter] = (*p)[1].str();
    }
    ASSERT_EQ(2u, menuBar.size());

    const auto dialogs = CaptionKeysOf(script, std::regex("\n(IDD_[A-Z_]+) DIALOGEX"));
    ASSERT_GE(dialogs.size(), 3u);
    int pages = 0;
    for (const auto& dialog : dialogs) {
        const bool page = dialog.first.rfind("IDD_PAGE_", 0) == 0;
        pages += page ? 1 : 0;
        std::map<char, std::string> taken = page ? menuBar : std::map<char, std::string>();
        for (const std::string& key : dialog.second) {
            const auto text = texts.find(key);
            if (text == texts.end())
                continue;
            const char letter = Mnemonic(text->second);
            if (letter == 0)
                continue;
            EXPECT_EQ(0u, taken.count(letter))
                << dialog.first << ": '" << letter << "' of " << key << " is also that of " << taken[letter];
            taken.emplace(letter, key);
        }
    }
    EXPECT_EQ(3, pages);
}

TEST(Mnemonics, TheLetterIsTheOneAfterASingleAmpersand)
{
    EXPECT_EQ('s', Mnemonic("&Scan"));
    EXPECT_EQ('l', Mnemonic("Delete A&ll"));
    EXPECT_EQ('b', Mnemonic("Salt && &Basil"));
    EXPECT_EQ(0, Mnemonic("Look at"));
    EXPECT_EQ(0, Mnemonic("Trailing &"));
}
