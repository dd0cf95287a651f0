// REG files written from the real registry merge back through the system's
// registry editor exactly: every key, name, type and data byte. Names that
// hold a line break are never written, and the export says so.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <string>
#include <vector>

#include "RegistryScratch.h"
#include "RegistrySnapshot.h"
#include "core/RegWriter.h"
#include "win32/Win32Platform.h"

namespace {

std::string Repeat(std::size_t count, unsigned char first)
{
    std::string bytes;
    for (std::size_t i = 0; i < count; ++i)
        bytes += static_cast<char>(first + i);
    return bytes;
}

std::string Z(const char* text, std::size_t size) { return std::string(text, size); }

class RegWriterRoundTripTest : public ::testing::Test {
protected:
    Platform& platform = SystemPlatform();
    ScratchRegistryKey scratch;
    ScratchFolder folder{"C:\\"};

    void SetUp() override
    {
        ASSERT_TRUE(scratch.IsCreated());
        ASSERT_TRUE(folder.IsCreated());
    }

    void Set(const std::string& subPath, const std::string& name, DWORD type, const std::string& bytes)
    {
        ASSERT_TRUE(scratch.SetValue(subPath, name, type, bytes)) << name;
    }

    // Every type 0 to 11 and beyond, with and without data; binaries around
    // the line wrap; names and strings that need escaping or the hex form;
    // empty keys at several depths.
    void BuildTree()
    {
        const std::string tree = "Tree";
        for (DWORD type = 0; type <= 11; ++type) {
            std::string name = "type " + std::to_string(type);
            Set(tree, name + " empty", type, "");
            Set(tree, name + " data", type, Z("\x01\x02\x03\xC3\xA9\0", 6));
        }
        Set(tree, "type 16", 16, "\x10\x20");
        Set(tree, "dword", REG_DWORD, "\x78\x56\x34\x12");
        Set(tree, "short dword", REG_DWORD, "\x01\x02");
        for (std::size_t size : {20u, 21u, 23u, 24u, 45u, 46u, 300u})
            Set(tree, "binary " + std::to_string(size), REG_BINARY, Repeat(size, 0x80));
        Set(tree, "", REG_SZ, Z("default value\0", 14));
        Set(tree, "@", REG_SZ, Z("a value named @\0", 16));
        Set(tree, "quote \" and \\ back\\slash", REG_SZ, Z("C:\\Temp\\\"x\" \\\\server\0", 22));
        Set(tree, "caf\xC3\xA9 \xC3\xA9t\xC3\xA9", REG_SZ, Z("r\xC3\xA9sum\xC3\xA9\0", 9));
        Set(tree, "line breaks", REG_SZ, Z("one\r\ntwo\nthree\rfour\0", 21));
        Set(tree, "embedded zero", REG_SZ, Z("a\0b\0", 4));
        Set(tree, "no terminator", REG_SZ, "abc");
        Set(tree, "equals=and[brackets]", REG_SZ, Z("x=y\0", 4));
        Set(tree, "expand", REG_EXPAND_SZ, Z("%SystemRoot%\\caf\xC3\xA9\0", 19));
        Set(tree, "multi", REG_MULTI_SZ, Z("first\0s\xC3\xA9\"cond\0\0", 17));
        Set(tree + "\\Sub \"quoted\" caf\xC3\xA9", "inner", REG_SZ, Z("x\0", 2));
        Set(tree + "\\Sub \"quoted\" caf\xC3\xA9\\Deeper", "", REG_DWORD, Z("\0\0\0\0", 4));
        ASSERT_TRUE(scratch.CreateSubKey(tree + "\\Empty"));
        ASSERT_TRUE(scratch.CreateSubKey(tree + "\\Empty\\Nested empty"));
        ASSERT_TRUE(scratch.CreateSubKey(tree + "\\Empty\\Nested empty\\Leaf"));
        ASSERT_TRUE(scratch.CreateSubKey(tree + "\\With ] bracket"));
        Set(tree + "\\With ] bracket", "v", REG_SZ, Z("]\0", 2));
    }

    std::string TreePath() const { return scratch.KeyPath() + "\\Tree"; }

    // What the merge gives back: the registry editor stores every string
    // value with a terminating zero, so the one string built without it
    // comes back with one zero unit added; all else is unchanged.
    static RegistrySnapshot AfterMerge(RegistrySnapshot snapshot)
    {
        SnapshotValue& unterminated = snapshot.keys.at("").at("no terminator");
        EXPECT_EQ(std::string("a\0b\0c\0", 6), unterminated.bytes);
        unterminated.bytes += std::string(2, '\0');
        return snapshot;
    }
};

TEST_F(RegWriterRoundTripTest, KeyExportRestoresEveryByteThroughRegedit)
{
    BuildTree();
    RegistrySnapshot original = TakeRegistrySnapshot(HKEY_CURRENT_USER, TreePath());
    ASSERT_TRUE(original.exists);
    ASSERT_EQ(7u, original.keys.size());

    const std::string file = folder.Path() + "tree.reg";
    RegExportResult result =
        WriteRegFile(platform, platform, platform, {RegExportRow{"HKEY_CURRENT_USER", TreePath(), "", -1}},
                     file, nullptr, nullptr);
    EXPECT_TRUE(result.created);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(0u, result.entriesLeftOut);
    const std::string header = "Windows Registry Editor Version 5.00\r\n\r\n";
    EXPECT_EQ(0u, ReadWholeFile(file).find("\xFF\xFE"));
    const std::string text = ReadRegFileText(file);
    EXPECT_EQ(0u, text.find(header + "["));
    EXPECT_EQ(std::string::npos, text.find("\r\n\r\n", header.size()));   // no blank lines after it

    ASSERT_EQ(ERROR_SUCCESS, SHDeleteKeyW(HKEY_CURRENT_USER, Widen(TreePath()).c_str()));
    ASSERT_FALSE(TakeRegistrySnapshot(HKEY_CURRENT_USER, TreePath()).exists);
    ASSERT_TRUE(MergeWithRegedit(file));
    RegistrySnapshot restored = TakeRegistrySnapshot(HKEY_CURRENT_USER, TreePath());
    EXPECT_EQ("", DescribeSnapshotDifference(AfterMerge(original), restored));
}

TEST_F(RegWriterRoundTripTest, ValueRowsRestoreExactly)
{
    BuildTree();
    RegistrySnapshot original = TakeRegistrySnapshot(HKEY_CURRENT_USER, TreePath());
    std::vector<RegExportRow> rows;
    for (const auto& value : original.keys.at(""))
        rows.push_back(RegExportRow{"HKEY_CURRENT_USER", TreePath(), value.first,
                                    static_cast<int>(value.second.type)});
    const std::string file = folder.Path() + "values.reg";
    RegExportResult result = WriteRegFile(platform, platform, platform, rows, file, nullptr, nullptr);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(rows.size(), result.entriesWritten);

    for (const RegExportRow& row : rows)
        ASSERT_EQ(ERROR_SUCCESS, SHDeleteValueW(HKEY_CURRENT_USER, Widen(TreePath()).c_str(), Widen(row.valueName).c_str()));
    ASSERT_TRUE(MergeWithRegedit(file));
    RegistrySnapshot restored = TakeRegistrySnapshot(HKEY_CURRENT_USER, TreePath());
    EXPECT_EQ("", DescribeSnapshotDifference(AfterMerge(original), restored));
}

TEST_F(RegWriterRoundTripTest, GoldenBytesFromTheRealRegistry)
{
    Set("G", "Path", REG_SZ, Z("C:\\Temp\0", 8));
    Set("G", "n", REG_DWORD, Z("\x0a\0\0\0", 4));
    Set("G\\E", "x", REG_EXPAND_SZ, Z("%A%\0", 4));
    ASSERT_TRUE(scratch.CreateSubKey("G\\F"));
    const std::string file = folder.Path() + "golden.reg";
    auto out = platform.CreateOutputFile(file, false);
    ASSERT_NE(nullptr, out);
    const std::string key = scratch.FullPath() + "\\G";
    RegWriteCounts counts = WriteRegKey(platform, platform, key, *out, true);
    EXPECT_TRUE(out->Close());
    EXPECT_EQ(4u, counts.entriesWritten);
    // The registry lists names sorted; the file follows its order.
    EXPECT_EQ(0u, ReadWholeFile(file).find("\xFF\xFE"));
    EXPECT_EQ("Windows Registry Editor Version 5.00\r\n\r\n[" + key + "]\r\n\"n\"=dword:0000000a\r\n[" + key +
                  "]\r\n\"Path\"=\"C:\\\\Temp\"\r\n[" + key +
                  "\\E]\r\n\"x\"=hex(2):25,00,41,00,25,00,00,00\r\n[" + key + "\\F]\r\n",
              ReadRegFileText(file));
}

TEST_F(RegWriterRoundTripTest, NamesWithLineBreaksAreNeverWritten)
{
    Set("L", "good", REG_SZ, Z("kept\0", 5));
    const std::string injected = "evil\r\n[HKEY_CURRENT_USER\\" + scratch.KeyPath() +
                                 "\\Injected]\r\n\"planted\"=\"x";
    Set("L", injected, REG_SZ, Z("payload\0", 8));
    Set("L\\bad\nkey", "inside", REG_SZ, Z("hidden\0", 7));
    ASSERT_TRUE(scratch.CreateSubKey("L\\bad\nkey\\below"));

    const std::string file = folder.Path() + "breaks.reg";
    RegExportResult result = WriteRegFile(
        platform, platform, platform, {RegExportRow{"HKEY_CURRENT_USER", scratch.KeyPath() + "\\L", "", -1}}, file, nullptr, nullptr);
    EXPECT_TRUE(result.created);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(3u, result.entriesLeftOut);   // the value, the key's value, the empty key below
    const std::string text = ReadRegFileText(file);
    EXPECT_NE(std::string::npos, text.find("\"good\"=\"kept\""));
    for (const char* fragment : {"evil", "Injected", "planted", "payload", "bad", "inside", "hidden", "below"})
        EXPECT_EQ(std::string::npos, text.find(fragment)) << fragment;

    RegistrySnapshot before = TakeRegistrySnapshot(HKEY_CURRENT_USER, scratch.KeyPath());
    ASSERT_TRUE(MergeWithRegedit(file));
    EXPECT_EQ("", DescribeSnapshotDifference(before, TakeRegistrySnapshot(HKEY_CURRENT_USER, scratch.KeyPath())));

    result = WriteRegFile(platform, platform, platform,
                          {RegExportRow{"HKEY_CURRENT_USER", scratch.KeyPath() + "\\L", injected, REG_SZ}},
                          file, nullptr, nullptr);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(1u, result.entriesLeftOut);
    EXPECT_EQ("", ReadWholeFile(file));
}

}  // namespace
