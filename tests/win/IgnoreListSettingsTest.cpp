// The ignore list in config.xml through the system's XML component: reading
// entries, adding and removing them in the installed file and in hand-made
// ones, keeping everything else, and never creating the file or the list.
#include "win32/WideText.h"
#include "core/IgnoreList.h"
#include "win32/IgnoreListSettings.h"
#include "win32/SettingsDocument.h"
#include "win32/Win32Handles.h"
#include "win32/Win32Platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

IgnoreEntry WholeKey(const std::string& root, const std::string& path)
{
    IgnoreEntry entry;
    entry.rootName = root;
    entry.keyPath = path;
    return entry;
}

IgnoreEntry OneValue(const std::string& root, const std::string& path, const std::string& name)
{
    IgnoreEntry entry = WholeKey(root, path);
    entry.hasValueName = true;
    entry.valueName = name;
    return entry;
}

std::string Describe(const IgnoreEntry& entry)
{
    return entry.rootName + "|" + entry.keyPath + (entry.hasValueName ? "|=" + entry.valueName : "");
}

std::vector<std::string> Described(const std::vector<IgnoreEntry>& entries)
{
    std::vector<std::string> texts;
    for (const IgnoreEntry& entry : entries)
        texts.push_back(Describe(entry));
    return texts;
}

const char* const kHandMade =
    "<?xml version=\"1.0\"?>\r\n"
    "<config>\r\n"
    "  <othertool custom=\"keep me\"/>\r\n"
    "  <quorvane>\r\n"
    "    <searchpage><options custom=\"1,1,1,0,0,0\"/></searchpage>\r\n"
    "    <ignorelist>\r\n"
    "      <entry root=\"HKEY_CURRENT_USER\" key=\"Software\\Vendor\\App\"/>\r\n"
    "      <entry root=\"HKEY_LOCAL_MACHINE\" key=\"Software\\Run\" value=\"Up &amp; &quot;down&quot;\"/>\r\n"
    "      <!-- a note of the user -->\r\n"
    "      <entry root=\"HKEY_CURRENT_USER\" key=\"Software\\Vendor\\App\" value=\"\"/>\r\n"
    "      <entry key=\"Software\\NoRoot\"/>\r\n"
    "      <other root=\"HKEY_USERS\" key=\"x\"/>\r\n"
    "      <entry root=\"hkey_current_user\" key=\"SOFTWARE\\VENDOR\\APP\"/>\r\n"
    "    </ignorelist>\r\n"
    "  </quorvane>\r\n"
    "</config>\r\n";

class IgnoreListSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A file of its own beside the program's, so that the tests of the
        // program's settings file can run at the same time.
        path_ = SettingsFilePath();
        path_.insert(path_.rfind('\\') + 1, "ignorelist-test-");
        DeleteFileW(Widen(path_).c_str());
    }
    void TearDown() override { DeleteFileW(Widen(path_).c_str()); }

    void UseInstalledFile() { WriteFile(path_, ReadFile(QV_SOURCE_DIR "/resources/config.xml")); }

    ComApartment com_;
    Win32Platform platform_;
    std::string path_;
};

} // namespace

TEST_F(IgnoreListSettingsTest, ReadsEveryEntryElementInFileOrder)
{
    WriteFile(path_, kHandMade);
    const IgnoreListFile file = ReadIgnoreList(path_);
    EXPECT_TRUE(file.available);
    EXPECT_EQ(Described(file.entries),
              std::vector<std::string>({"HKEY_CURRENT_USER|Software\\Vendor\\App",
                                        "HKEY_LOCAL_MACHINE|Software\\Run|=Up & \"down\"",
                                        "HKEY_CURRENT_USER|Software\\Vendor\\App|=",
                                        "hkey_current_user|SOFTWARE\\VENDOR\\APP"}));
}

TEST_F(IgnoreListSettingsTest, AddedEntriesComeBackAndEverythingElseStays)
{
    UseInstalledFile();
    ASSERT_TRUE(ReadIgnoreList(path_).available);
    ASSERT_TRUE(ReadIgnoreList(path_).entries.empty());
    const std::vector<IgnoreEntry> wanted = {
        WholeKey("HKEY_CURRENT_USER", "Software\\Vendor\\App"),
        OneValue("HKEY_LOCAL_MACHINE", "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Updater <&> \"x\""),
        OneValue("HKEY_CLASSES_ROOT", ".txt", ""),
        OneValue("HKEY_CURRENT_USER", "Software\\Caf\xC3\xA9", "Wert \xC3\xA9")};
    EXPECT_EQ(AddToIgnoreList(platform_, path_, wanted), IgnoreListSave::Saved);

    const IgnoreListFile file = ReadIgnoreList(path_);
    EXPECT_TRUE(file.available);
    EXPECT_EQ(Described(file.entries), Described(wanted));

    // The rest of the installed file is still read as before.
    SettingsDocument document;
    document.Open(path_);
    EXPECT_EQ(document.GetAttribute(document.SelectNode("/config/quorvane/cleanersearchtasklist").Get(), "default"),
              "1,0,0,1,1,0,0,1,0,0,0");
    EXPECT_EQ(document.GetAttribute(document.SelectNode("/config/quorvane/searchpage/searchrange").Get(), "custom"),
              "1,1,1,1,1");
    const std::string text = ReadFile(path_);
    EXPECT_NE(text.find("Keys and values the user chose to ignore"), std::string::npos);

    // Each entry sits on a line of its own, one step deeper than the list.
    std::istringstream lines(text);
    std::string line;
    int entryLines = 0;
    while (std::getline(lines, line)) {
        const std::size_t start = line.find_first_not_of(' ');
        if (start == std::string::npos || line.compare(start, 6, "<entry") != 0)
            continue;
        ++entryLines;
        EXPECT_EQ(start, 6u) << line;
        EXPECT_EQ(line.find("<entry", start + 1), std::string::npos) << "two entries on one line: " << line;
    }
    EXPECT_EQ(entryLines, 4);
    EXPECT_NE(text.find("    </ignorelist>"), std::string::npos);
}

TEST_F(IgnoreListSettingsTest, AddingWhatIsThereAlreadyWritesNothing)
{
    WriteFile(path_, kHandMade);
    EXPECT_EQ(AddToIgnoreList(platform_, path_,
                              {WholeKey("HKEY_CURRENT_USER", "software\\vendor\\app\\"),
                               OneValue("HKEY_LOCAL_MACHINE", "Software\\Run", "UP & \"DOWN\"")}),
              IgnoreListSave::Saved);
    EXPECT_EQ(ReadFile(path_), kHandMade);

    // Entries repeated in one call are added once; a value entry is not the key's.
    EXPECT_EQ(AddToIgnoreList(platform_, path_,
                              {OneValue("HKEY_CURRENT_USER", "Software\\Vendor\\App", "Path"),
                               OneValue("HKEY_CURRENT_USER", "Software\\Vendor\\App", "PATH")}),
              IgnoreListSave::Saved);
    const std::vector<IgnoreEntry> entries = ReadIgnoreList(path_).entries;
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(Describe(entries.back()), "HKEY_CURRENT_USER|Software\\Vendor\\App|=Path");
}

TEST_F(IgnoreListSettingsTest, RemovingTakesOutEqualEntriesOnly)
{
    WriteFile(path_, kHandMade);
    EXPECT_EQ(RemoveFromIgnoreList(platform_, path_, {WholeKey("HKEY_CURRENT_USER", "Software\\Vendor\\App")}),
              IgnoreListSave::Saved);
    EXPECT_EQ(Described(ReadIgnoreList(path_).entries),
              std::vector<std::string>({"HKEY_LOCAL_MACHINE|Software\\Run|=Up & \"down\"",
                                        "HKEY_CURRENT_USER|Software\\Vendor\\App|="}));
    const std::string text = ReadFile(path_);
    EXPECT_NE(text.find("a note of the user"), std::string::npos);
    EXPECT_NE(text.find("Software\\NoRoot"), std::string::npos);
    EXPECT_NE(text.find("<other"), std::string::npos);
    EXPECT_NE(text.find("keep me"), std::string::npos);
    EXPECT_EQ(text.find("SOFTWARE\\VENDOR\\APP"), std::string::npos);

    // Removing what is not there changes nothing.
    EXPECT_EQ(RemoveFromIgnoreList(platform_, path_, {OneValue("HKEY_CURRENT_USER", "Software\\Vendor\\App", "x")}),
              IgnoreListSave::Saved);
    EXPECT_EQ(ReadFile(path_), text);
}

TEST_F(IgnoreListSettingsTest, AddingAndRemovingInTurnKeepsTheListTidy)
{
    UseInstalledFile();
    const std::string installed = ReadFile(path_);
    const IgnoreEntry first = WholeKey("HKEY_CURRENT_USER", "Software\\A");
    const IgnoreEntry second = OneValue("HKEY_CURRENT_USER", "Software\\B", "v");
    ASSERT_EQ(AddToIgnoreList(platform_, path_, {first}), IgnoreListSave::Saved);
    ASSERT_EQ(AddToIgnoreList(platform_, path_, {second}), IgnoreListSave::Saved);
    ASSERT_EQ(RemoveFromIgnoreList(platform_, path_, {first}), IgnoreListSave::Saved);
    EXPECT_EQ(Described(ReadIgnoreList(path_).entries), std::vector<std::string>({Describe(second)}));
    ASSERT_EQ(AddToIgnoreList(platform_, path_, {first}), IgnoreListSave::Saved);
    EXPECT_EQ(Described(ReadIgnoreList(path_).entries),
              std::vector<std::string>({Describe(second), Describe(first)}));
    ASSERT_EQ(RemoveFromIgnoreList(platform_, path_, {first, second}), IgnoreListSave::Saved);
    EXPECT_TRUE(ReadIgnoreList(path_).entries.empty());
    // No blank lines pile up: the file keeps the installed file's line count.
    const std::string text = ReadFile(path_);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), std::count(installed.begin(), installed.end(), '\n') + 1)
        << text; // the empty list element now closes on a line of its own
}

TEST_F(IgnoreListSettingsTest, WithoutAFileOrAListNothingIsCreated)
{
    const std::vector<IgnoreEntry> one = {WholeKey("HKEY_CURRENT_USER", "Software\\A")};
    EXPECT_FALSE(ReadIgnoreList(path_).available);
    EXPECT_EQ(AddToIgnoreList(platform_, path_, one), IgnoreListSave::NoList);
    EXPECT_EQ(RemoveFromIgnoreList(platform_, path_, one), IgnoreListSave::NoList);
    EXPECT_EQ(GetFileAttributesW(Widen(path_).c_str()), INVALID_FILE_ATTRIBUTES);

    const std::string noList = "<config><quorvane><searchpage/></quorvane></config>";
    WriteFile(path_, noList);
    EXPECT_FALSE(ReadIgnoreList(path_).available);
    EXPECT_EQ(AddToIgnoreList(platform_, path_, one), IgnoreListSave::NoList);
    EXPECT_EQ(ReadFile(path_), noList);

    const std::string broken = "<config><quorvane><ignorelist><entry root=\"x\" key=\"y\"/></quorvane>";
    WriteFile(path_, broken);
    EXPECT_FALSE(ReadIgnoreList(path_).available);
    EXPECT_TRUE(ReadIgnoreList(path_).entries.empty());
    EXPECT_EQ(AddToIgnoreList(platform_, path_, one), IgnoreListSave::NoList);
    EXPECT_EQ(ReadFile(path_), broken);
}

TEST_F(IgnoreListSettingsTest, AFileThatCannotBeWrittenReportsTheFailure)
{
    UseInstalledFile();
    const std::string installed = ReadFile(path_);
    // Another program holds the file open for reading and lets nobody write.
    UniqueHandle lock(CreateFileW(Widen(path_).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock);
    EXPECT_EQ(AddToIgnoreList(platform_, path_, {WholeKey("HKEY_CURRENT_USER", "Software\\A")}),
              IgnoreListSave::SaveFailed);
    lock.Reset();
    EXPECT_EQ(ReadFile(path_), installed);
    EXPECT_TRUE(ReadIgnoreList(path_).entries.empty());
}

TEST_F(IgnoreListSettingsTest, NewEntriesFollowTheFilesIndentationWithTabs)
{
    WriteFile(path_, "<config>\r\n\t<quorvane>\r\n\t\t<ignorelist></ignorelist>\r\n\t</quorvane>\r\n</config>\r\n");
    ASSERT_EQ(AddToIgnoreList(platform_, path_,
                              {WholeKey("HKEY_USERS", "A"), OneValue("HKEY_USERS", "B", "c")}),
              IgnoreListSave::Saved);
    // The component reads line breaks as LF; how it writes them is its own.
    std::string text = ReadFile(path_);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    EXPECT_NE(text.find("\t\t<ignorelist>\n"
                        "\t\t\t<entry root=\"HKEY_USERS\" key=\"A\"/>\n"
                        "\t\t\t<entry root=\"HKEY_USERS\" key=\"B\" value=\"c\"/>\n"
                        "\t\t</ignorelist>"),
              std::string::npos)
        << ::testing::PrintToString(text);
}

TEST_F(IgnoreListSettingsTest, TheDocumentRefusesElementWorkWhenNothingIsLoaded)
{
    SettingsDocument document;
    document.Open(path_); // no such file
    ComPtr<IXMLDOMElement> list = document.SelectNode(kIgnoreListElementPath);
    EXPECT_FALSE(list);
    EXPECT_TRUE(document.ChildElements(list.Get(), "entry").empty());
    EXPECT_FALSE(document.HasAttribute(list.Get(), "root"));
    EXPECT_FALSE(document.AppendElement(list.Get(), "entry", {{"root", "HKEY_USERS"}}));
    EXPECT_FALSE(document.RemoveElement(list.Get(), nullptr));
}
