// Path rules of the cleaner on the in-memory platform: which texts are testable
// paths, the existence tests, the drive table, the wildcard matcher, substring
// counting and the two splitters, with names of every script.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "core/Text.h"
#include "core/PathRules.h"
#include "tests/support/MemoryPlatform.h"

namespace {

using Strings = std::vector<std::string>;

// C: and G: are fixed disks; the other letters stand for every other kind.
class PathRulesTest : public ::testing::Test {
protected:
    PathRulesTest() {
        platform.SetDrive('D', kDriveCdRom);
        platform.SetDrive('E', kDriveRemovable);
        platform.SetDrive('F', kDriveRemote);
        platform.SetDrive('G', kDriveFixed);
        platform.SetDrive('R', kDriveRamDisk);
    }

    // The extracted path, or "<refused>"; also checks that a refusal leaves
    // the output empty even when it held something before.
    std::string Extract(const std::string& text) {
        std::string path = "stale";
        if (ExtractFilePath(platform, platform, text, path)) return path;
        EXPECT_EQ("", path) << text;
        return "<refused>";
    }

    MemoryPlatform platform;
};

const char* const kRefused = "<refused>";

TEST_F(PathRulesTest, AcceptsPlainAndQuotedPathsOnFixedDrives) {
    const struct {
        const char* text;
        const char* path;
    } cases[] = {
        {"C:\\Windows\\notepad.exe", "C:\\Windows\\notepad.exe"},
        {"  \"C:\\Windows\\notepad.exe\"  ", "C:\\Windows\\notepad.exe"},
        {"\" \"\" C:\\x.exe \"\"\" \"", "C:\\x.exe"},
        {"\"C:\\Program Files\\App\\setup.exe\" /S", "C:\\Program Files\\App\\setup.exe"},
        {"\"C:\\Program Files\\App\\app.exe\" \"%1\"", "C:\\Program Files\\App\\app.exe"},
        {"C:\\Program Files\\App\\app.exe", "C:\\Program Files\\App\\app.exe"},
        {"C:\\App\\app.exe /background", "C:\\App\\app.exe"},
        {"c:\\a.exe", "c:\\a.exe"},
        {"G:\\Data\\lib.dll", "G:\\Data\\lib.dll"},
        {"g:\\Data", "g:\\Data"},
        {"C:\\", "C:\\"},
        {"C:\\dir[1]\\file.txt", "C:\\dir[1]\\file.txt"},
        // A second colon ends the path (an alternate stream or a second path).
        {"C:\\a\\b.txt:stream", "C:\\a\\b.txt"},
        {"C:\\x:\\y", "C:\\x"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.path, Extract(c.text)) << c.text;
}

TEST_F(PathRulesTest, RefusesTextsThatAreNoSinglePlainPath) {
    for (const char* text : {
             "C:\\Documents and Settings\\x.y\\My Documents\\a.txt",
             "C:\\WINDOWS\\system32\\rundll32.exe shell32.dll,Control_RunDLL",
             "C:\\a.exe;C:\\b.exe",
             "C:\\Hey!\\a.exe",
             "C:\\x\\y.dll[1]",
             "C:\\x\\*.exe",
             "\"C:\\a.exe\" -silent",
             "C:\\My Docs - Copy\\a.txt",
             "C:\\O'Brien\\a.exe",
             "C:\\Windows\\notepad.exe %1",
             "C:\\a.exe C:\\b.exe",
             "%SystemRoot%\\system32\\x.dll",
             "\\\\server\\share\\x.exe",
             "x.exe",
             "",
             "   ",
             "\"\"",
             "C:",
             "C:x.exe",
             "C:/x.exe",
             "CC:\\x.exe",
             "1:\\x.exe",
             // The cut at "/" leaves nothing: no path, and no fault either.
             "/:\\x.exe",
         }) {
        EXPECT_EQ(kRefused, Extract(text)) << text;
    }
}

TEST_F(PathRulesTest, RefusesPathsOnDrivesThatAreNotFixedDisks) {
    for (const char* text : {"D:\\setup.exe", "E:\\x.exe", "F:\\share\\x.exe", "R:\\x.exe",
                             "Q:\\x.exe", "f:\\x.exe"}) {
        EXPECT_EQ(kRefused, Extract(text)) << text;
    }
    // Without any drive list every path is refused.
    for (char letter : {'C', 'D', 'E', 'F', 'G', 'R'}) platform.RemoveDrive(letter);
    EXPECT_EQ("", GetFixedDriveLetters(platform, platform));
    EXPECT_EQ(kRefused, Extract("C:\\Windows\\notepad.exe"));
}

// The rules run in a fixed order, and the order decides the outcome.
TEST_F(PathRulesTest, StepOrderDecidesBetweenSimilarCommands) {
    // The hyphen test comes before the quote cut, the "/" cut before both.
    EXPECT_EQ(kRefused, Extract("\"C:\\a.exe\" -s"));
    EXPECT_EQ("C:\\a.exe", Extract("\"C:\\a.exe\" /s -x"));
    // The apostrophe test comes after the quote cut.
    EXPECT_EQ("C:\\a.exe", Extract("\"C:\\a.exe\" 'arg'"));
    // The blank-after-dot test comes after the quote cut.
    EXPECT_EQ("C:\\a.exe", Extract("\"C:\\a.exe\" x y"));
    // Commas and brackets are looked for before anything is cut off.
    EXPECT_EQ(kRefused, Extract("\"C:\\a.exe\" /a,b"));
    EXPECT_EQ(kRefused, Extract("C:\\a.exe /opt[1]"));
}

// The halves a scan uses with its drive letters read once, and the shape
// test it asks before copying a value, answer as ExtractFilePath does.
TEST_F(PathRulesTest, TheTwoHalvesAndTheShapeTestAnswerAsExtractFilePath) {
    const std::string fixed = GetFixedDriveLetters(platform, platform);
    for (const std::string& text : Strings{"C:\\Windows\\notepad.exe", "  \"C:\\x.exe\" /S", "\" \"\" C:\\x.exe \"\"\" \"",
          "g:\\Data", "D:\\setup.exe", "Q:\\x.exe", "C:\\", "C:", "C:/x.exe", ":\\x",
          " \" ", "", "\"", "C:\\a.dll,C:\\b.dll", "\"C:\\a.exe\" -s", "x C:\\a.exe",
          "C:\\a.exe D:\\b.exe", "C:\\Ж\\\\gone.exe", "Ж:\\gone.exe",
          "Ж\\:\\x.exe", "C:\\ソフト\\😀.exe", std::string("C:\\x\0.exe", 9), std::string("\0C:\\x.exe", 9),
          std::string(" C:\\x.exe\0 ", 11), "C:\\x.exe \t", "\t C:\\x.exe"}) {
        std::string whole = "stale";
        std::string half = "stale";
        const bool accepted = ExtractFilePath(platform, platform, text, whole);
        EXPECT_EQ(accepted, ExtractDrivePath(platform, text, half) &&
                                IsOnDrive(platform, half, fixed))
            << text;
        if (accepted) {
            EXPECT_EQ(whole, half) << text;
        }
        if (!StartsLikeDrivePath(text.data(), text.size())) {
            EXPECT_FALSE(accepted) << text;
        }
    }
    EXPECT_TRUE(StartsLikeDrivePath(" \"C:\\", 5));
    EXPECT_FALSE(StartsLikeDrivePath(" \"C:\\", 4));
    EXPECT_FALSE(StartsLikeDrivePath("  ", 2));
}

TEST_F(PathRulesTest, FixedDriveLettersFollowTheDriveTable) {
    EXPECT_EQ("CG", GetFixedDriveLetters(platform, platform));
    platform.SetDrive('D', kDriveFixed);
    platform.SetDrive('G', kDriveRemote);
    EXPECT_EQ("CD", GetFixedDriveLetters(platform, platform));
}

TEST_F(PathRulesTest, ExistenceTests) {
    platform.AddFile("C:\\App\\app.exe");
    platform.AddFolder("C:\\App\\Plugins");
    platform.AddFile("C:\\App\\locked.dll");
    platform.MakeFileUnopenable("C:\\App\\locked.dll");

    EXPECT_TRUE(FileExists(platform, "C:\\App\\app.exe"));
    EXPECT_FALSE(IsMissingFile(platform, "C:\\App\\app.exe"));
    // A folder cannot be opened as a file, yet it is present.
    EXPECT_FALSE(FileExists(platform, "C:\\App\\Plugins"));
    EXPECT_FALSE(IsMissingFile(platform, "C:\\App\\Plugins"));
    // A file the open test cannot open is present by its attributes.
    EXPECT_FALSE(FileExists(platform, "C:\\App\\locked.dll"));
    EXPECT_FALSE(IsMissingFile(platform, "C:\\App\\locked.dll"));
    EXPECT_TRUE(IsMissingFile(platform, "C:\\App\\other.exe"));
    EXPECT_TRUE(IsMissingFile(platform, "C:\\Gone\\other.exe"));
    // An empty path is no file: neither present nor reported missing.
    EXPECT_FALSE(FileExists(platform, ""));
    EXPECT_FALSE(IsMissingFile(platform, ""));

    std::string path;
    ASSERT_TRUE(ExtractFilePath(platform, platform, "\"C:\\App\\app.exe\" /background", path));
    EXPECT_FALSE(IsMissingFile(platform, path));
    ASSERT_TRUE(platform.RemoveFile("C:\\App\\app.exe"));
    EXPECT_FALSE(FileExists(platform, path));
    EXPECT_TRUE(IsMissingFile(platform, path));
}

TEST_F(PathRulesTest, ResourceNumberAfterAnExistingFileIsPresent) {
    platform.AddFile("C:\\Windows\\system32\\hnetcfg.dll");
    platform.AddFile("C:\\Windows\\system32\\locked.tlb");
    platform.MakeFileUnopenable("C:\\Windows\\system32\\locked.tlb");

    // A type library registered by its resource number in the module.
    std::string path;
    ASSERT_TRUE(ExtractFilePath(platform, platform, "C:\\Windows\\system32\\hnetcfg.dll\\2", path));
    EXPECT_FALSE(IsMissingFile(platform, path));
    EXPECT_FALSE(IsMissingFile(platform, "C:\\WINDOWS\\System32\\HNETCFG.DLL\\12"));
    EXPECT_FALSE(IsMissingFile(platform, "C:\\Windows\\system32\\locked.tlb\\1"));
    // It is still no file of its own.
    EXPECT_FALSE(FileExists(platform, path));

    // A missing module followed by a number is missing; so is a folder
    // followed by one, and any last component that is not a plain number.
    EXPECT_TRUE(IsMissingFile(platform, "C:\\Windows\\system32\\gone.dll\\2"));
    EXPECT_TRUE(IsMissingFile(platform, "C:\\Windows\\system32\\2"));
    EXPECT_TRUE(IsMissingFile(platform, "C:\\2"));
    for (const char* suffix : {"\\x2", "\\2a", "\\-2", "\\ 2", "\\2\\3"}) {
        EXPECT_TRUE(IsMissingFile(platform, std::string("C:\\Windows\\system32\\hnetcfg.dll") + suffix))
            << suffix;
    }

    // Once the module is gone, so is its type library.
    ASSERT_TRUE(platform.RemoveFile("C:\\Windows\\system32\\hnetcfg.dll"));
    EXPECT_TRUE(IsMissingFile(platform, path));
}

TEST(PathRulesWildcardTest, MatchesBytesAnchoredAtBothEnds) {
    const struct {
        const char* pattern;
        const char* text;
        bool match;
    } cases[] = {
        {"?:\\*", "C:\\", true},
        {"?:\\*", "C:", false},
        {"?:\\*", "C:\\Windows", true},
        {"?:\\*", "CC:\\", false},
        {"*:\\*", "abc", false},
        {"*:\\*", "run C:\\x.exe", true},
        {"*", "", true},
        {"**", "", true},
        {"?", "", false},
        {"*?", "", false},
        {"*a*", "", false},
        {"", "", true},
        {"", "a", false},
        {"a", "", false},
        {"abc", "abc", true},
        {"ab", "abc", false},
        {"abc", "ab", false},
        {"A", "a", false},
        {".*", ".abc", true},
        {".*", "abc", false},
        {"*ab", "aab", true},
        {"*x", "xy", false},
        {"a*b?d", "aXbYbZd", true},
        {"a*b?d", "aXbYbZdd", false},
        {"*.r?g", "2008-03-03 14.05.09 (Automatic).reg", true},
        {"*.reg", "a.reg.bak", false},
        {"a*", "a*", true},
        {"?", "*", true},
        // "?" is one character, however many bytes it takes; letters
        // beyond ASCII compare exactly.
        {"é*", "été", true},
        {"É", "é", false},
        {"?", "Я", true},
        {"??", "Я", false},
        {"?", "😀", true},
        {"??", "😀", false},
        {"a?c", "aЖc", true},
        {"*?ф", "фффф", true},
        {"?😀?", "ж😀ソ", true},
        {"?", "\xED\xA0\x80", true},   // a lone surrogate is one character too
        {"*.р?г", "копия.рег", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.match, WildcardMatch(c.pattern, c.text))
            << "pattern '" << c.pattern << "', text '" << c.text << "'";
    }
}

TEST_F(PathRulesTest, CountSubstringCountsSeparateOccurrences) {
    EXPECT_EQ(2u, CountSubstring(platform, "C:\\x:\\y", ":\\", false));
    EXPECT_EQ(2u, CountSubstring(platform, "ABCabc", "abc", false));
    EXPECT_EQ(1u, CountSubstring(platform, "ABCabc", "abc", true));
    EXPECT_EQ(2u, CountSubstring(platform, "aXbAXB", "Ax", false));
    EXPECT_EQ(2u, CountSubstring(platform, "aaaa", "aa", true));
    EXPECT_EQ(1u, CountSubstring(platform, "aaa", "aa", true));
    EXPECT_EQ(0u, CountSubstring(platform, "", "a", true));
    EXPECT_EQ(0u, CountSubstring(platform, "abc", "abcd", true));
    // An empty needle would otherwise be found forever.
    EXPECT_EQ(0u, CountSubstring(platform, "abc", "", true));
    EXPECT_EQ(0u, CountSubstring(platform, "abc", "", false));
}

// Folder and file names of every script pass through whole; a letter is
// never taken for the drive letter.
TEST_F(PathRulesTest, NamesOfEveryScriptAreKeptWhole) {
    const std::string soft = "C:\\ソフトウェア\\Программа\\😀.exe";
    EXPECT_EQ(soft, Extract("\"" + soft + "\" /S"));
    EXPECT_EQ("C:\\Ωμεγα\\x.exe", Extract("  C:\\Ωμεγα\\x.exe  "));
    EXPECT_EQ(kRefused, Extract("C:\\Данные\\файл,второй.exe"));
    EXPECT_EQ(kRefused, Extract("Д:\\x.exe"));
    EXPECT_EQ(kRefused, Extract("😀:\\x.exe"));
    EXPECT_EQ(2u, CountSubstring(platform, "ПриветПРИВЕТ", "привет", false));
    EXPECT_EQ(1u, CountSubstring(platform, "ПриветПРИВЕТ", "ПРИВЕТ", true));
    EXPECT_EQ(2u, CountSubstring(platform, "ΣΙΣΥΦΟΣ σισυφος", "ΣΙΣΥΦ", false));
    EXPECT_EQ(3u, CountSubstring(platform, "😀😀😀", "😀", false));
}

TEST(PathRulesSplitTest, SplitMultiStringStopsAtTheFirstEmptyString) {
    EXPECT_EQ(Strings({"C:\\", "D:\\"}), SplitMultiString(std::string("C:\\\0D:\\\0\0", 9)));
    EXPECT_EQ(Strings({"A"}), SplitMultiString(std::string("A\0\0B\0\0", 6)));
    EXPECT_EQ(Strings(), SplitMultiString(std::string("\0C:\\\0\0", 6)));
    EXPECT_EQ(Strings(), SplitMultiString(""));
    // A buffer without its closing empty string ends at its last byte.
    EXPECT_EQ(Strings({"A", "BC"}), SplitMultiString(std::string("A\0BC", 4)));
    // A buffer of 500 zero bytes, as a failed drive query leaves it.
    EXPECT_EQ(Strings(), SplitMultiString(std::string(500, '\0')));
}

TEST(PathRulesSplitTest, SplitStringKeepsNonEmptyPiecesInOrder) {
    EXPECT_EQ(Strings({"1", "0", "1"}), SplitString("1,0,,1,", ","));
    EXPECT_EQ(Strings({"1"}), SplitString(",,1", ","));
    EXPECT_EQ(Strings(), SplitString(",,,", ","));
    EXPECT_EQ(Strings(), SplitString("", ","));
    EXPECT_EQ(Strings({"abc"}), SplitString("abc", ","));
    // Pieces are not trimmed.
    EXPECT_EQ(Strings({" 1 ", " 0"}), SplitString(" 1 , 0", ","));
    // Any of several delimiters ends a piece.
    EXPECT_EQ(Strings({"2008-03-03 14.05.09 ", "Automatic", ".reg"}),
              SplitString("2008-03-03 14.05.09 (Automatic).reg", "()"));
    EXPECT_EQ(Strings({"a,b"}), SplitString("a,b", ""));
}

// The rules keep no state of their own: workers may run them side by side.
TEST_F(PathRulesTest, ConcurrentCallsGiveTheSameAnswers) {
    platform.AddFile("C:\\App\\app.exe");
    std::vector<std::thread> workers;
    std::vector<int> wrong(4, 0);
    for (std::size_t w = 0; w < wrong.size(); ++w) {
        workers.emplace_back([this, w, &wrong] {
            for (int i = 0; i < 500; ++i) {
                std::string path;
                const bool present = ExtractFilePath(platform, platform, "\"C:\\App\\app.exe\" /S", path) &&
                                     path == "C:\\App\\app.exe" && !IsMissingFile(platform, path);
                const bool refused =
                    !ExtractFilePath(platform, platform, "D:\\App\\app.exe", path) && path.empty();
                if (!present || !refused) ++wrong[w];
            }
        });
    }
    for (std::thread& worker : workers) worker.join();
    EXPECT_EQ(std::vector<int>(4, 0), wrong);
}

}  // namespace
