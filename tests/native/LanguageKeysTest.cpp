// Checks the installed language file against the program's sources: every
// language key the sources use has a text, the file itself is well formed,
// and texts that the program fills in with printf carry the right arguments.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#ifndef QV_SOURCE_DIR
#error "QV_SOURCE_DIR must name the source root"
#endif

namespace fs = std::filesystem;

namespace {

const fs::path kSourceRoot = QV_SOURCE_DIR;
const fs::path kLanguageFile = kSourceRoot / "resources" / "Quorvane.language";

// Keys that the program completes with a number at run time ("stem" + n):
// the file must hold every numbered key from 1 to the count.
const std::map<std::string, int> kNumberedKeys = {
    {"_PageRegistryCleanerTask", 11},
    {"_RegistryListViewMenuItem", 7},
    {"_IgnoreListDlgCol", 3},
};

// Texts the program uses as printf formats, with the conversions each must
// carry in order. Every other text must not contain a conversion at all.
const std::map<std::string, std::string> kFormatTexts = {
    {"_pageregistrycleanerstate3", "d"},
    {"_pageregistrycleanerdeleteconfirm", "d"},
    {"_pageregistrysearchstate2", "s"},
    {"_pageregistrybackupstate3", "s"},
    {"_pageregistrybackupstate5", "s"},
    {"_pageregistrybackupstate6", "s"},
    {"_commandlinereportnotwritten", "s"},
    {"_pageregistrybackupstate8", "s"},
    {"_pageregistrybackupstate9", "d"},
    {"_pageregistrybackupstate10", "d"},
    {"_pageregistrybackupstate11", "d"},
    {"_pageregistrybackupstate12", "s"},
    {"_pageregistrybackupstate13", "s"},
    {"_pageregistrybackupverifiedkept1", "dd"},
    {"_pageregistrybackupsavelist1", "d"},
    {"_pageregistrybackupsavelist2", "s"},
    {"_pageregistrybackuplistheader1", "s"},
    {"_pageregistrybackuplistline1", "d"},
    {"_registrylistviewdeleterefused", "s"},
    {"_pageregistrydiffundorefused", "s"},
    {"_registrylistviewdeleteremaining", "s"},
    {"_pageregistrycleanertaskcount", "sd"},
    {"_registrylistviewcsvfailed", "s"},
    {"_pageregistrydiffundone1", "d"},
    {"_pageregistrydiffundone2", "d"},
    {"_pageregistrydifffound1", "d"},
    {"_pageregistrydiffvolatile1", "d"},
    {"_commandlinediffnotread", "s"},
    {"_changesdlgcaption1", "s"},
    {"_changesdlgstate1", "s"},
    {"_changesdlgstate2", "s"},
    {"_changesdlgstate3", "dddd"},
    {"_changesdlgstate4", "ddddd"},
    {"_changesdlgstate5", "dddd"},
    {"_changesdlgreadfailed", "s"},
    {"_changesdlgundoconfirm", "d"},
};

struct LanguageLine {
    std::string section;  // as written in the last [header], trimmed
    std::string key;      // trimmed, case kept
    std::string text;     // trimmed, one pair of surrounding quotes removed
    int lineNumber = 0;
};

struct ParsedLanguageFile {
    bool opened = false;
    bool startsWithBom = false;
    std::vector<LanguageLine> entries;
    std::vector<std::string> malformedLines;  // "line N: text"
};

std::string Trim(const std::string& text) {
    const char* blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return "";
    const std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Reads the file with the rules of the platform's profile reader: [section]
// headers, key=text lines, ';' comments, blanks around key and text dropped
// and a text wrapped in a pair of double quotes losing them.
ParsedLanguageFile ReadLanguageFile(const fs::path& path) {
    ParsedLanguageFile file;
    std::ifstream in(path, std::ios::binary);
    if (!in) return file;
    file.opened = true;
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    file.startsWithBom = content.compare(0, 3, "\xEF\xBB\xBF") == 0;

    std::istringstream lines(content);
    std::string line;
    std::string section;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == ';') continue;
        if (trimmed.front() == '[' && trimmed.back() == ']') {
            section = Trim(trimmed.substr(1, trimmed.size() - 2));
            continue;
        }
        const std::size_t equals = trimmed.find('=');
        if (equals == std::string::npos || Trim(trimmed.substr(0, equals)).empty()) {
            file.malformedLines.push_back("line " + std::to_string(lineNumber) + ": " + trimmed);
            continue;
        }
        LanguageLine entry;
        entry.section = section;
        entry.key = Trim(trimmed.substr(0, equals));
        entry.text = Trim(trimmed.substr(equals + 1));
        if (entry.text.size() >= 2 && entry.text.front() == '"' && entry.text.back() == '"')
            entry.text = entry.text.substr(1, entry.text.size() - 2);
        entry.lineNumber = lineNumber;
        file.entries.push_back(entry);
    }
    return file;
}

// The text the program would get for each key (lower case), taken from the
// [String] section; the reader returns the first of several equal keys.
std::map<std::string, std::string> TextsByKey(const ParsedLanguageFile& file) {
    std::map<std::string, std::string> texts;
    for (const LanguageLine& entry : file.entries)
        if (Lower(entry.section) == "string") texts.emplace(Lower(entry.key), entry.text);
    return texts;
}

bool IsScannedSource(const fs::path& path) {
    const std::string extension = Lower(path.extension().string());
    return extension == ".rc" || extension == ".cpp" || extension == ".h";
}

// Every quoted language key in the program's sources, by its lower-case form,
// with the first place it was seen ("Key in file:line").
std::map<std::string, std::string> ScanSourceKeys() {
    static const char* const kFolders[] = {"src", "tools", "resources"};
    const std::regex keyPattern("\"(_[A-Za-z][A-Za-z0-9]*)\"");
    std::map<std::string, std::string> keys;
    for (const char* folder : kFolders) {
        const fs::path dir = kSourceRoot / folder;
        std::error_code error;
        if (!fs::is_directory(dir, error)) continue;
        for (fs::recursive_directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
            if (!it->is_regular_file(error) || !IsScannedSource(it->path())) continue;
            std::ifstream in(it->path(), std::ios::binary);
            std::string line;
            int lineNumber = 0;
            while (std::getline(in, line)) {
                ++lineNumber;
                for (std::sregex_iterator match(line.begin(), line.end(), keyPattern), none; match != none;
                     ++match) {
                    const std::string key = (*match)[1].str();
                    const std::string where =
                        fs::relative(it->path(), kSourceRoot).generic_string() + ":" + std::to_string(lineNumber);
                    keys.emplace(Lower(key), key + " in " + where);
                }
            }
        }
    }
    return keys;
}

// The printf conversions of a text in order ("%d items, %s" gives "ds");
// "%%" is a literal percent sign. A '*' width or precision counts as a
// conversion of its own, since it takes an argument too.
std::string Conversions(const std::string& text) {
    std::string found;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        ++i;
        if (i < text.size() && text[i] == '%') continue;
        while (i < text.size() && std::string("-+ #0").find(text[i]) != std::string::npos) ++i;
        while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '*' ||
                                   text[i] == '.')) {
            if (text[i] == '*') found += '*';
            ++i;
        }
        while (i < text.size() && std::string("hlLqjzt").find(text[i]) != std::string::npos) ++i;
        found += i < text.size() ? text[i] : '?';
    }
    return found;
}

TEST(LanguageFile, GivesATextForEveryKeyTheProgramUses) {
    const ParsedLanguageFile file = ReadLanguageFile(kLanguageFile);
    ASSERT_TRUE(file.opened) << "cannot read " << kLanguageFile;
    const std::map<std::string, std::string> texts = TextsByKey(file);
    const std::map<std::string, std::string> used = ScanSourceKeys();

    // The resource script alone holds dozens of keys; far fewer means the
    // scan looked in the wrong place and would pass without checking.
    ASSERT_GT(used.size(), 50u) << "only " << used.size() << " language keys found below " << kSourceRoot;

    for (const auto& [lowerKey, where] : used) {
        if (const auto text = texts.find(lowerKey); text != texts.end() && !text->second.empty()) continue;
        const bool isNumberedStem = std::any_of(kNumberedKeys.begin(), kNumberedKeys.end(),
                                                [&](const auto& family) { return Lower(family.first) == lowerKey; });
        if (!isNumberedStem) ADD_FAILURE() << "no text in the language file for " << where;
    }

    for (const auto& [stem, count] : kNumberedKeys) {
        for (int n = 1; n <= count; ++n) {
            const auto text = texts.find(Lower(stem + std::to_string(n)));
            EXPECT_TRUE(text != texts.end() && !text->second.empty())
                << "no text in the language file for " << stem << n;
        }
    }
}

TEST(LanguageFile, HoldsOneStringSectionWithUniqueKeys) {
    const ParsedLanguageFile file = ReadLanguageFile(kLanguageFile);
    ASSERT_TRUE(file.opened) << "cannot read " << kLanguageFile;
    ASSERT_FALSE(file.entries.empty());

    // A byte-order mark would stick to the first line and can hide the
    // [String] header from the ANSI profile reader.
    EXPECT_FALSE(file.startsWithBom) << "the language file must be ANSI text without a byte-order mark";
    for (const std::string& line : file.malformedLines) ADD_FAILURE() << "not a key=text line, " << line;

    std::map<std::string, int> firstLineOfKey;
    for (const LanguageLine& entry : file.entries) {
        EXPECT_EQ(Lower(entry.section), "string")
            << entry.key << " (line " << entry.lineNumber << ") is outside the [String] section";
        EXPECT_EQ(entry.key[0], '_') << "line " << entry.lineNumber << ": key " << entry.key
                                     << " does not begin with '_'";
        EXPECT_FALSE(entry.text.empty()) << "line " << entry.lineNumber << ": " << entry.key
                                         << " has an empty text, so the program would show the key";
        const auto [previous, inserted] = firstLineOfKey.emplace(Lower(entry.key), entry.lineNumber);
        EXPECT_TRUE(inserted) << entry.key << " on line " << entry.lineNumber << " repeats the key of line "
                              << previous->second << " (keys ignore case); only the first is ever read";
    }
}

TEST(LanguageFile, FormatTextsCarryExactlyTheirArguments) {
    const ParsedLanguageFile file = ReadLanguageFile(kLanguageFile);
    ASSERT_TRUE(file.opened) << "cannot read " << kLanguageFile;
    const std::map<std::string, std::string> texts = TextsByKey(file);

    for (const auto& [key, expected] : kFormatTexts) {
        const auto text = texts.find(key);
        ASSERT_NE(text, texts.end()) << "missing format text " << key;
        EXPECT_EQ(Conversions(text->second), expected) << key << " = \"" << text->second << "\"";
    }
    // The program shows every other text as it stands, so a placeholder there
    // would reach the user unfilled.
    for (const auto& [key, text] : texts) {
        if (kFormatTexts.count(key) != 0) continue;
        EXPECT_EQ(Conversions(text), "") << key << " = \"" << text << "\" is not filled in by the program";
    }
}

TEST(LanguageFile, BackupTypeTextsFitIntoFileNames) {
    const ParsedLanguageFile file = ReadLanguageFile(kLanguageFile);
    ASSERT_TRUE(file.opened) << "cannot read " << kLanguageFile;
    const std::map<std::string, std::string> texts = TextsByKey(file);

    // The type text goes unchanged into backup file names such as
    // "2008-03-03 14-05-09(Full).reg" and is read back from between the
    // brackets, so it must be a valid file name part without brackets.
    for (const char* key : {"_pageregistrybackuptype1", "_pageregistrybackuptype2"}) {
        const auto text = texts.find(key);
        ASSERT_NE(text, texts.end()) << "missing " << key;
        EXPECT_FALSE(text->second.empty()) << key;
        EXPECT_EQ(text->second.find_first_of("\\/:*?\"<>|()"), std::string::npos)
            << key << " = \"" << text->second << "\" cannot stand in a backup file name";
    }
    EXPECT_NE(Lower(texts.at("_pageregistrybackuptype1")), Lower(texts.at("_pageregistrybackuptype2")))
        << "the two backup kinds must be told apart by their type text";
}

TEST(LanguageFileReader, ReadsLikeTheProfileReader) {
    // The checks above are only as good as this reader: it must see the same
    // texts as the program does.
    const fs::path path = fs::temp_directory_path() / "qv_language_reader_test.language";
    {
        std::ofstream out(path, std::ios::binary);
        out << "; comment\r\n[Other]\r\n_A=other\r\n[ String ]\r\n  _Key  =  some text  \r\n"
               "_Quoted=\"Scanning: \"\r\n_EMPTY=\r\nnot a line\r\n_key=second\r\n";
    }
    const ParsedLanguageFile file = ReadLanguageFile(path);
    fs::remove(path);
    ASSERT_TRUE(file.opened);
    const std::map<std::string, std::string> texts = TextsByKey(file);
    EXPECT_EQ(texts.count("_a"), 0u);
    EXPECT_EQ(texts.at("_key"), "some text");
    EXPECT_EQ(texts.at("_quoted"), "Scanning: ");
    EXPECT_EQ(texts.at("_empty"), "");
    ASSERT_EQ(file.malformedLines.size(), 1u);
    EXPECT_EQ(file.malformedLines[0], "line 8: not a line");

    EXPECT_EQ(Conversions("Found %d of %s, 100%% done"), "ds");
    EXPECT_EQ(Conversions("%-5.2ld and %*d"), "d*d");
    EXPECT_EQ(Conversions("no placeholder"), "");
}

}  // namespace
