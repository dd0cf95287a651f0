// Language-file rules: lookups, escapes, program paths and the filling of
// translated texts that carry one argument.
#include "core/Language.h"
#include "tests/support/MemoryPlatform.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kFile = "C:\\Suite\\Quorvane.language";

class LanguageLookup : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform_.SetProfileFile(kFile,
                                 "[String]\r\n"
                                 "_pageregistrycleanertitle=Registry Cleaner\r\n"
                                 "_Empty=\r\n"
                                 "_Blank=    \r\n"
                                 "_TwoLines=first\\nsecond\r\n"
                                 "_Return=a\\rb\r\n"
                                 "_Path=C:\\path\r\n"
                                 "_Mixed=x\\r\\ny\r\n");
    }
    std::string Lookup(const std::string& key, bool expand = false)
    {
        return LookupText(platform_, kFile, key, expand);
    }

    MemoryPlatform platform_;
};

} // namespace

TEST_F(LanguageLookup, MissingEmptyAndBlankTextsGiveTheKey)
{
    EXPECT_EQ(Lookup("_NotThere"), "_NotThere");
    EXPECT_EQ(Lookup("_Empty"), "_Empty");
    EXPECT_EQ(Lookup("_Blank"), "_Blank");
    EXPECT_EQ(Lookup("_Blank", true), "_Blank");
    EXPECT_EQ(LookupText(platform_, "C:\\Suite\\Other.language", "_TwoLines"), "_TwoLines");
    EXPECT_EQ(LookupText(platform_, "", "_TwoLines"), "_TwoLines");
}

TEST_F(LanguageLookup, KeysCompareWithoutCase)
{
    EXPECT_EQ(Lookup("_PageRegistryCleanerTitle"), "Registry Cleaner");
}

TEST_F(LanguageLookup, EscapesAreExpandedOnlyOnRequest)
{
    EXPECT_EQ(Lookup("_TwoLines"), "first\\nsecond");
    EXPECT_EQ(Lookup("_TwoLines", true), "first\nsecond");
    EXPECT_EQ(Lookup("_Return", true), "a\rb");
    EXPECT_EQ(Lookup("_Mixed", true), "x\r\ny");
    EXPECT_EQ(Lookup("_Path", true), "C:\\path");
}

TEST(ExpandEscapes, ReplacesOnlyBackslashRAndBackslashN)
{
    std::string text = "a\\tb\\\\c\\n\\r\\x";
    ExpandEscapes(text);
    EXPECT_EQ(text, "a\\tb\\\\c\n\r\\x");

    std::string trailing = "ends with \\";
    ExpandEscapes(trailing);
    EXPECT_EQ(trailing, "ends with \\");

    // Carriage returns are replaced first: "\\r" then "n" is not a line feed.
    std::string order = "\\\\rn";
    ExpandEscapes(order);
    EXPECT_EQ(order, "\\\rn");
}

TEST(ProgramPaths, FolderOfModulePath)
{
    EXPECT_EQ(FolderOfModulePath("C:\\Suite\\Quorvane.exe"), "C:\\Suite");
    EXPECT_EQ(FolderOfModulePath("D:\\Tools\\x.exe"), "D:\\Tools");
    // In the root of a drive the folder is the drive alone.
    EXPECT_EQ(FolderOfModulePath("C:\\Cleaner.exe"), "C:");
    EXPECT_EQ(FolderOfModulePath("C:Cleaner.exe"), "C:");
    // A program on a network share keeps its share path; no colon is invented.
    EXPECT_EQ(FolderOfModulePath("\\\\server\\share\\Quorvane.exe"), "\\\\server\\share");
}

TEST(ProgramPaths, FolderOfModulePathKeepsFoldersOfEveryScript)
{
    const std::string folder = "C:\\Программы\\ソフト😀";
    EXPECT_EQ(FolderOfModulePath(folder + "\\q.exe"), folder);
    EXPECT_EQ(FolderOfModulePath("C:\\Ωμεγα.exe"), "C:");
}

TEST(ProgramPaths, StripExtensionCutsAtTheLastDot)
{
    EXPECT_EQ(StripExtension("Quorvane.exe"), "Quorvane");
    EXPECT_EQ(StripExtension("My.Tool.exe"), "My.Tool");
    EXPECT_EQ(StripExtension("NoDot"), "NoDot");
    EXPECT_EQ(StripExtension(""), "");
}

TEST(FormatText, FillsTheFirstConversionOnly)
{
    EXPECT_EQ(FormatTextWithNumber("Found %d entries.", 42), "Found 42 entries.");
    EXPECT_EQ(FormatTextWithNumber("%ld", -7), "-7");
    EXPECT_EQ(FormatTextWithNumber("Delete %d entries (100%%)?", 3), "Delete 3 entries (100%)?");
    EXPECT_EQ(FormatTextWithString("Searching %s", "Software\\Run"), "Searching Software\\Run");
    EXPECT_EQ(FormatTextWithString("Done.", "ignored"), "Done.");
    EXPECT_EQ(FormatTextWithNumber("no conversion, 50%% done", 1), "no conversion, 50% done");
}

TEST(FormatText, ATranslationWithTheWrongConversionsCannotReadMissingArguments)
{
    // A translator's %s where a number belongs, or a second conversion, is
    // filled or left as written instead of reading memory that is not there.
    EXPECT_EQ(FormatTextWithNumber("Found %s entries in %s", 5), "Found 5 entries in %s");
    EXPECT_EQ(FormatTextWithString("Key %d of %n", "x"), "Key x of %n");
    EXPECT_EQ(FormatTextWithString("%-20s|", "a"), "a|");
    EXPECT_EQ(FormatTextWithNumber("trailing %", 1), "trailing %");
}

TEST(FormatText, AStringAndANumberFillTheFirstTwoConversionsByTheirLetters)
{
    const struct {
        const char* format;
        const char* text;
        long long number;
        const char* expected;
    } cases[] = {
        {"%s (%d)", "Missing program files", 289, "Missing program files (289)"},
        {"(%d) %s", "Empty keys", 3, "(3) Empty keys"},      // a translation may swap them
        {"%s (%d%%)", "50%", 7, "50% (7%)"},                  // a % in the text is no conversion
        {"%s", "Only the title", 4, "Only the title"},
        {"%s (%d) %n", "T", 1, "T (1) %n"},                   // a third conversion gets nothing
        {"No conversion", "T", 1, "No conversion"},
    };
    for (const auto& item : cases)
        EXPECT_EQ(FormatTextWithStringAndNumber(item.format, item.text, item.number), item.expected) << item.format;
}
