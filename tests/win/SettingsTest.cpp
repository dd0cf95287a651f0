// config.xml through the system's XML component: reading, writing and
// keeping everything else in the file as it was.
#include "win32/WideText.h"
#include "win32/Win32Handles.h"
#include "win32/SettingsDocument.h"

#include <gtest/gtest.h>

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

const char* const kConfig =
    "<?xml version=\"1.0\"?>\r\n"
    "<config>\r\n"
    "  <!-- settings of the whole suite -->\r\n"
    "  <othertool mode=\"fast\" custom=\"keep me\"/>\r\n"
    "  <quorvane>\r\n"
    "    <cleanersearchtasklist custom=\"1,0\" default=\"1,1,1\"/>\r\n"
    "    <searchpage>\r\n"
    "      <options default=\"1,1,1,0,0,0\"/>\r\n"
    "      <searchkeyword custom=\"a &amp; b &lt;c&gt;\" default=\"\"/>\r\n"
    "    </searchpage>\r\n"
    "  </quorvane>\r\n"
    "</config>\r\n";

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = SettingsFilePath();
        DeleteFileW(Widen(path_).c_str());
    }
    void TearDown() override { DeleteFileW(Widen(path_).c_str()); }

    ComApartment com_;
    std::string path_;
};

} // namespace

TEST_F(SettingsFile, LivesBesideTheProgram)
{
    std::wstring module(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, &module[0], static_cast<DWORD>(module.size()))) >= module.size())
        module.resize(module.size() * 2);
    std::string folder = Narrow(module.data(), length);
    folder.erase(folder.rfind('\\'));
    EXPECT_EQ(path_, folder + "\\config.xml");
}

TEST_F(SettingsFile, ReadsAttributesAndGivesEmptyTextsForWhatIsMissing)
{
    WriteFile(path_, kConfig);
    const std::vector<std::string> custom = ReadSettings(
        {"/config/quorvane/cleanersearchtasklist", "/config/quorvane/searchpage/options",
         "/config/quorvane/searchpage/searchkeyword", "/config/quorvane/searchpage/searchrange"},
        "custom");
    ASSERT_EQ(custom.size(), 4u);
    EXPECT_EQ(custom[0], "1,0");
    EXPECT_EQ(custom[1], "");          // attribute missing
    EXPECT_EQ(custom[2], "a & b <c>"); // the XML escapes are the component's business
    EXPECT_EQ(custom[3], "");          // element missing

    const std::vector<std::string> defaults =
        ReadSettings({"/config/quorvane/searchpage/options"}, "default");
    EXPECT_EQ(defaults, std::vector<std::string>({"1,1,1,0,0,0"}));
}

TEST_F(SettingsFile, WritingChangesOnlyTheCustomAttributesOfExistingElements)
{
    WriteFile(path_, kConfig);
    WriteSettings({{"/config/quorvane/searchpage/options", "0,1,0,1,0,1"},
                   {"/config/quorvane/searchpage/searchkeyword", "Run \"x\" <&>"},
                   {"/config/quorvane/searchpage/searchrange", "1,1,1,1,1"}});

    const std::vector<std::string> read = ReadSettings(
        {"/config/quorvane/searchpage/options", "/config/quorvane/searchpage/searchkeyword",
         "/config/quorvane/searchpage/searchrange", "/config/quorvane/cleanersearchtasklist"},
        "custom");
    EXPECT_EQ(read[0], "0,1,0,1,0,1"); // a missing attribute is added
    EXPECT_EQ(read[1], "Run \"x\" <&>");
    EXPECT_EQ(read[2], "");            // a missing element is not created
    EXPECT_EQ(read[3], "1,0");

    // Defaults are never written; other elements and comments survive.
    EXPECT_EQ(ReadSettings({"/config/quorvane/searchpage/options"}, "default")[0], "1,1,1,0,0,0");
    const std::string text = ReadFile(path_);
    EXPECT_NE(text.find("settings of the whole suite"), std::string::npos);
    EXPECT_NE(text.find("othertool"), std::string::npos);
    EXPECT_NE(text.find("keep me"), std::string::npos);
    EXPECT_EQ(text.find("searchrange"), std::string::npos);
}

TEST_F(SettingsFile, TwoWritersOneAfterTheOtherBothLand)
{
    WriteFile(path_, kConfig);
    WriteSettings({{"/config/quorvane/cleanersearchtasklist", "0,0,0"}});
    WriteSettings({{"/config/quorvane/searchpage/options", "1,1,1,1,1,1"}});
    const std::vector<std::string> read = ReadSettings(
        {"/config/quorvane/cleanersearchtasklist", "/config/quorvane/searchpage/options"}, "custom");
    EXPECT_EQ(read[0], "0,0,0");
    EXPECT_EQ(read[1], "1,1,1,1,1,1");
}

TEST_F(SettingsFile, AMissingFileIsNeitherReadNorCreated)
{
    EXPECT_EQ(ReadSettings({"/config/quorvane/cleanersearchtasklist"}, "custom")[0], "");
    WriteSettings({{"/config/quorvane/cleanersearchtasklist", "1"}});
    EXPECT_EQ(GetFileAttributesW(Widen(path_).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SettingsFile, ABrokenFileIsNeitherReadNorOverwritten)
{
    const std::string broken = "<config><quorvane><cleanersearchtasklist custom=\"1,1\"></config";
    WriteFile(path_, broken);
    EXPECT_EQ(ReadSettings({"/config/quorvane/cleanersearchtasklist"}, "custom")[0], "");
    WriteSettings({{"/config/quorvane/cleanersearchtasklist", "0"}});
    EXPECT_EQ(ReadFile(path_), broken);
}

TEST_F(SettingsFile, AnotherDocumentElementNameMatchesNothing)
{
    WriteFile(path_, "<settings><quorvane><cleanersearchtasklist custom=\"1\"/></quorvane></settings>");
    EXPECT_EQ(ReadSettings({"/config/quorvane/cleanersearchtasklist"}, "custom")[0], "");
}

TEST_F(SettingsFile, TheDocumentObjectRefusesWorkWhenNothingIsLoaded)
{
    SettingsDocument document;
    document.Open(path_); // no such file
    EXPECT_FALSE(document.IsLoaded());
    ComPtr<IXMLDOMElement> element = document.SelectNode("/config");
    EXPECT_FALSE(element);
    EXPECT_EQ(document.GetAttribute(element.Get(), "custom"), "");
    EXPECT_FALSE(document.SetAttribute(element.Get(), "custom", "1"));
    EXPECT_FALSE(document.Save());
}
