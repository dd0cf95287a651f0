// The keyboard letters ('&' in the language file's texts) of each dialog of
// Quorvane.rc are unique within it. The pages share the main window's Alt
// keys with its menu bar, and the dialog manager lets a control's letter go
// before the menu's, so a page must not take the letters of the menu bar.

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(std::string(QV_SOURCE_DIR) + path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The letter after the first single '&' of a key's text, in lower case; 0 when none.
char Mnemonic(const std::string& key)
{
    static const std::string language = ReadFile("/resources/Quorvane.language");
    const std::size_t line = language.find("\n" + key + "=");
    const std::string text =
        line == std::string::npos ? "" : language.substr(line, language.find('\n', line + 1) - line);
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '&' && text[i + 1] == '&')
            ++i;
        else if (text[i] == '&')
            return static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 1])));
    }
    return 0;
}

} // namespace

TEST(Mnemonics, EachDialogsLettersAreUniqueAndPagesLeaveTheMenuBarsLettersAlone)
{
    const std::string script = ReadFile("/resources/Quorvane.rc");
    std::map<char, std::string> menuBar;
    const std::regex popup("POPUP \"(_[A-Za-z0-9]+)\"");
    for (std::sregex_iterator p(script.begin(), script.end(), popup), end; p != end; ++p)
        menuBar[Mnemonic((*p)[1])] = (*p)[1];
    ASSERT_EQ(2u, menuBar.size());
    ASSERT_EQ(0u, menuBar.count(0));

    const std::regex dialog("\n(IDD_[A-Z_]+) DIALOGEX");
    const std::regex caption("\"(_[A-Za-z0-9]+)\"");
    int pages = 0;
    for (std::sregex_iterator d(script.begin(), script.end(), dialog), end; d != end; ++d) {
        const std::string name = (*d)[1];
        const bool page = name.rfind("IDD_PAGE_", 0) == 0;
        pages += page ? 1 : 0;
        std::map<char, std::string> taken = page ? menuBar : std::map<char, std::string>();
        const std::size_t begin = static_cast<std::size_t>(d->position());
        const std::string body = script.substr(begin, script.find("\nEND", begin) - begin);
        for (std::sregex_iterator c(body.begin(), body.end(), caption); c != std::sregex_iterator(); ++c) {
            const char letter = Mnemonic((*c)[1]);
            if (letter != 0 && !taken.emplace(letter, (*c)[1]).second)
                ADD_FAILURE() << name << ": '" << letter << "' of " << (*c)[1] << " is also that of " << taken[letter];
        }
    }
    EXPECT_EQ(3, pages);
}
