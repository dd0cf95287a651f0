// The check after a restore, on the in-memory registry: entries that came
// back, entries that did not, the file replayed in order, names compared
// without case, the terminating zero the registry editor adds, and keys or
// values that cannot be read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/MemoryPlatform.h"
#include "core/RegReader.h"
#include "core/RestoreCheck.h"
#include "core/Unicode.h"

namespace {

using Strings = std::vector<std::string>;

const char* KindName(RestoreShortfallKind kind)
{
    switch (kind) {
    case RestoreShortfallKind::kKeyMissing: return "key missing";
    case RestoreShortfallKind::kKeyStillPresent: return "key still present";
    case RestoreShortfallKind::kValueMissing: return "value missing";
    case RestoreShortfallKind::kValueDiffers: return "value differs";
    case RestoreShortfallKind::kValueStillPresent: return "value still present";
    case RestoreShortfallKind::kNotReadable: return "not readable";
    }
    return "?";
}

class RestoreCheckTest : public ::testing::Test {
protected:
    // Checks a REGEDIT4 file of the given lines (ANSI text), or with version5
    // a file of the registry editor's own format (UTF-16); each shortfall as
    // "line: kind: text", with " [kept by Windows]" after those that lie in
    // a key Windows keeps itself.
    Strings Check(const Strings& lines, bool version5 = false)
    {
        std::string text = version5 ? "Windows Registry Editor Version 5.00\r\n" : "REGEDIT4\r\n";
        for (const std::string& line : lines)
            text += line + "\r\n";
        const std::string bytes = version5 ? "\xFF\xFE" + Utf8ToUtf16LeBytes(text) : text;
        const RegFileContent content = ReadRegFile(platform, bytes);
        EXPECT_TRUE(content.refusedLines.empty());
        Strings result;
        for (const RestoreShortfall& shortfall : CheckRestoredEntries(platform, platform, content, "(Default)"))
            result.push_back(std::to_string(shortfall.line) + ": " + KindName(shortfall.kind) + ": " +
                             shortfall.text + (shortfall.keptBySystem ? " [kept by Windows]" : ""));
        EXPECT_EQ(0u, platform.OpenKeyCount());
        EXPECT_EQ(0u, platform.BadCloseCount());
        return result;
    }

    MemoryPlatform platform;
};

TEST_F(RestoreCheckTest, EverythingThatCameBackGivesNothing)
{
    platform.AddString(kHkeyCurrentUser, "Software\\App", "", "default");
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Path", "C:\\App");
    platform.AddDword(kHkeyCurrentUser, "Software\\App", "Count", 42);
    platform.AddValue(kHkeyCurrentUser, "Software\\App", "Bytes", kRegBinary, "\x01\x02");
    platform.AddValue(kHkeyCurrentUser, "Software\\App", "None", kRegNone, "");
    platform.AddKey(kHkeyCurrentUser, "Software\\App\\Empty");
    platform.AddDword(kHkeyCurrentUser, "", "AtRoot", 0);
    EXPECT_EQ(Strings{}, Check({
                             "[HKEY_CURRENT_USER\\Software\\App]",
                             "@=\"default\"",
                             "\"Path\"=\"C:\\\\App\"",
                             "\"Count\"=dword:0000002a",
                             "\"Bytes\"=hex:01,02",
                             "\"None\"=hex(0):",
                             "\"Gone\"=-",
                             "[HKEY_CURRENT_USER\\Software\\App\\Empty]",
                             "[-HKEY_CURRENT_USER\\Software\\Removed]",
                             "[HKEY_CURRENT_USER]",
                             "\"AtRoot\"=dword:00000000",
                         }));
}

TEST_F(RestoreCheckTest, EntriesThatDidNotComeBackAreListedInFileOrder)
{
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Other type", "1");
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Other data", "new");
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Longer", "abcd");
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Deleted", "still here");
    platform.AddString(kHkeyCurrentUser, "Software\\App", "", "not the file's");
    platform.AddKey(kHkeyCurrentUser, "Software\\Stale\\Below");
    EXPECT_EQ((Strings{
                  "3: value missing: HKEY_CURRENT_USER\\Software\\App \"Missing\"",
                  "4: value differs: HKEY_CURRENT_USER\\Software\\App \"Other type\"",
                  "5: value differs: HKEY_CURRENT_USER\\Software\\App \"Other data\"",
                  "6: value differs: HKEY_CURRENT_USER\\Software\\App \"Longer\"",
                  "7: value still present: HKEY_CURRENT_USER\\Software\\App \"Deleted\"",
                  "8: value differs: HKEY_CURRENT_USER\\Software\\App (Default)",
                  "9: key missing: HKEY_CURRENT_USER\\Software\\Gone",
                  "10: value missing: HKEY_CURRENT_USER\\Software\\Gone \"v\"",
                  "11: key still present: HKEY_CURRENT_USER\\Software\\Stale",
              }),
              Check({
                  "[HKEY_CURRENT_USER\\Software\\App]",
                  "\"Missing\"=\"x\"",
                  "\"Other type\"=hex(2):31,00",
                  "\"Other data\"=\"old\"",
                  "\"Longer\"=\"abc\"",
                  "\"Deleted\"=-",
                  "@=\"default\"",
                  "[HKEY_CURRENT_USER\\Software\\Gone]",
                  "\"v\"=dword:00000001",
                  "[-HKEY_CURRENT_USER\\Software\\Stale]",
              }));
}

TEST_F(RestoreCheckTest, TheFileIsReplayedInOrderBeforeTheRegistryIsAsked)
{
    platform.AddString(kHkeyCurrentUser, "A\\B\\C", "v", "2");
    EXPECT_EQ(Strings{}, Check({
                             // Set, then deleted with its key: nothing is expected of it.
                             "[HKEY_CURRENT_USER\\Old\\Inner]",
                             "\"x\"=\"1\"",
                             "[HKEY_CURRENT_USER\\Old]",
                             "[-HKEY_CURRENT_USER\\Old]",
                             // Deleted, then created again below: A is expected back.
                             "[-HKEY_CURRENT_USER\\A]",
                             "[HKEY_CURRENT_USER\\A\\B\\C]",
                             "\"v\"=\"1\"",
                             // The later line for the same value wins.
                             "\"v\"=-",
                             "\"v\"=\"2\"",
                         }));
    // A key named again after its deletion is expected without the values
    // the file gave it before.
    EXPECT_EQ((Strings{"5: key missing: HKEY_CURRENT_USER\\Again"}),
              Check({"[HKEY_CURRENT_USER\\Again]", "\"v\"=\"1\"", "[-HKEY_CURRENT_USER\\Again]",
                     "[HKEY_CURRENT_USER\\Again]"}));
}

TEST_F(RestoreCheckTest, NamesAreComparedWithoutCase)
{
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Name", "x");
    EXPECT_EQ(Strings{}, Check({"[hkey_current_user\\SOFTWARE\\app]", "\"NAME\"=\"x\"",
                                "[HKEY_CURRENT_USER\\software\\APP]", "\"name\"=\"x\""}));
    // One value named in several cases is one value: the last line wins.
    EXPECT_EQ((Strings{"7: value still present: HKEY_CURRENT_USER\\software\\APP \"NAME\""}),
              Check({"[HKEY_CURRENT_USER\\Software\\App]", "\"Name\"=\"x\"",
                     "[HKEY_CURRENT_USER\\software\\APP]", "\"name\"=-", "\"name\"=\"x\"",
                     "\"NAME\"=-"}));
}

TEST_F(RestoreCheckTest, NamesAndTextsOfEveryScriptAndOfAnsiFilesCompare)
{
    platform.AddString(kHkeyCurrentUser, "Ключ\\ソフト", "Имя", "Привет 😀");
    platform.AddString(kHkeyCurrentUser, "Ключ\\ソフト", "Ωμεγα", "other");
    EXPECT_EQ((Strings{"4: value differs: HKEY_CURRENT_USER\\КЛЮЧ\\ソフト \"ΩΜΕΓΑ\""}),
              Check({"[HKEY_CURRENT_USER\\КЛЮЧ\\ソフト]", "\"ИМЯ\"=\"Привет 😀\"",
                     "\"ΩΜΕΓΑ\"=\"OTHER\""},
                    true));
    // An old ANSI backup: its names and texts are code page 1252.
    platform.AddString(kHkeyCurrentUser, "Café", "Ärger", "€");
    platform.AddValue(kHkeyCurrentUser, "Café", "Pfad", kRegExpandSz, TextToStringData("%Ä%"));
    EXPECT_EQ(Strings{}, Check({"[HKEY_CURRENT_USER\\CAF\xC9]", "\"\xE4rger\"=\"\x80\"",
                                "\"Pfad\"=hex(2):25,c4,25,00"}));
}

TEST_F(RestoreCheckTest, TextsMayComeBackWithTheZeroTheEditorAdds)
{
    const std::string ab = Utf8ToUtf16LeBytes("ab");
    platform.AddValue(kHkeyCurrentUser, "K", "onebyte", kRegSz, ab + std::string(1, '\0'));
    platform.AddValue(kHkeyCurrentUser, "K", "odd", kRegExpandSz, ab);
    platform.AddValue(kHkeyCurrentUser, "K", "twozeros", kRegSz, ab + std::string(4, '\0'));
    platform.AddValue(kHkeyCurrentUser, "K", "binary", kRegBinary, ab + std::string(2, '\0'));
    platform.AddValue(kHkeyCurrentUser, "K", "terminated", kRegSz, ab + std::string(4, '\0'));
    EXPECT_EQ((Strings{"5: value differs: HKEY_CURRENT_USER\\K \"twozeros\"",
                       "6: value differs: HKEY_CURRENT_USER\\K \"binary\"",
                       "7: value differs: HKEY_CURRENT_USER\\K \"terminated\""}),
              Check({"[HKEY_CURRENT_USER\\K]", "\"onebyte\"=hex(1):61,00,62,00",
                     "\"odd\"=hex(2):61,00,62", "\"twozeros\"=hex(1):61,00,62,00",
                     "\"binary\"=hex:61,00,62,00", "\"terminated\"=hex(1):61,00,62,00,00,00"},
                    true));
}

// The zero unit (two bytes) the registry editor adds to a text without one.
TEST_F(RestoreCheckTest, TextsMayComeBackWithTheZeroUnitTheEditorAdds)
{
    const std::string ab = Utf8ToUtf16LeBytes("ab");
    platform.AddValue(kHkeyCurrentUser, "K", "sz", kRegSz, ab + std::string(2, '\0'));
    platform.AddValue(kHkeyCurrentUser, "K", "expand", kRegExpandSz, ab + std::string(2, '\0'));
    platform.AddValue(kHkeyCurrentUser, "K", "multi", kRegMultiSz,
                      Utf8ToUtf16LeBytes(std::string("a\0b\0", 4)));
    EXPECT_EQ(Strings{}, Check({"[HKEY_CURRENT_USER\\K]", "\"sz\"=hex(1):61,00,62,00",
                                "\"expand\"=hex(2):61,00,62,00",
                                "\"multi\"=hex(7):61,00,00,00,62,00"},
                               true));
}

TEST_F(RestoreCheckTest, KeysAndValuesThatCannotBeReadAreReported)
{
    platform.AddString(kHkeyCurrentUser, "Locked", "v", "1");
    platform.SetKeyFaults(kHkeyCurrentUser, "Locked", kDenyOpen);
    platform.AddString(kHkeyCurrentUser, "Growing", "v", "1");
    platform.MakeValueOversized(kHkeyCurrentUser, "Growing", "v");
    platform.AddKey(kHkeyCurrentUser, "Shut");
    platform.SetKeyFaults(kHkeyCurrentUser, "Shut", kDenyOpen);
    // A key that may not be opened is there; its values cannot be compared.
    EXPECT_EQ((Strings{"3: not readable: HKEY_CURRENT_USER\\Locked \"v\"",
                       "5: value differs: HKEY_CURRENT_USER\\Growing \"v\"",
                       "6: key still present: HKEY_CURRENT_USER\\Shut"}),
              Check({"[HKEY_CURRENT_USER\\Locked]", "\"v\"=\"1\"", "[HKEY_CURRENT_USER\\Growing]",
                     "\"v\"=\"1\"", "[-HKEY_CURRENT_USER\\Shut]"}));
}

}  // namespace

TEST_F(RestoreCheckTest, EntriesInKeysWindowsKeepsInMemoryAreMarkedApart)
{
    const std::string control = "System\\CurrentControlSet\\Control";
    platform.AddKey(kHkeyLocalMachine, control);
    platform.SetKeyVolatile(kHkeyLocalMachine, control + "\\ServiceCurrent", true);
    platform.AddDword(kHkeyLocalMachine, control + "\\ServiceCurrent", "", 7);
    platform.SetKeyVolatile(kHkeyLocalMachine, control + "\\DeviceClasses\\{A}\\#\\Control", true);
    platform.AddDword(kHkeyLocalMachine, control + "\\DeviceClasses\\{A}\\#\\Control", "Linked", 0);
    platform.AddDword(kHkeyLocalMachine, control + "\\Lasting", "Linked", 0);
    // Denied, a volatile key tells nothing: its entries stay shortfalls.
    platform.SetKeyVolatile(kHkeyLocalMachine, control + "\\Hidden", true);
    platform.SetKeyFaults(kHkeyLocalMachine, control + "\\Hidden", kDenyQueryInfo);

    EXPECT_EQ(Strings({
                  // Rewritten by Windows in a volatile key.
                  "4: value differs: HKEY_LOCAL_MACHINE\\" + control + "\\ServiceCurrent (Default) [kept by Windows]",
                  "6: value differs: HKEY_LOCAL_MACHINE\\" + control +
                      "\\DeviceClasses\\{A}\\#\\Control \"Linked\" [kept by Windows]",
                  "7: value missing: HKEY_LOCAL_MACHINE\\" + control +
                      "\\DeviceClasses\\{A}\\#\\Control \"Gone\" [kept by Windows]",
                  // Missing below a volatile key: the nearest key that exists.
                  "8: key missing: HKEY_LOCAL_MACHINE\\" + control +
                      "\\DeviceClasses\\{A}\\#\\Control\\Sub\\Deeper [kept by Windows]",
                  // The same in an ordinary key, and below one: real losses.
                  "10: value differs: HKEY_LOCAL_MACHINE\\" + control + "\\Lasting \"Linked\"",
                  "11: key missing: HKEY_LOCAL_MACHINE\\" + control + "\\Lasting\\Gone",
                  "13: value missing: HKEY_LOCAL_MACHINE\\" + control + "\\Hidden \"Gone\"",
              }),
              Check({
                  "",
                  "[HKEY_LOCAL_MACHINE\\" + control + "\\ServiceCurrent]",
                  "@=dword:00000009",
                  "[HKEY_LOCAL_MACHINE\\" + control + "\\DeviceClasses\\{A}\\#\\Control]",
                  "\"Linked\"=dword:00000001",
                  "\"Gone\"=\"x\"",
                  "[HKEY_LOCAL_MACHINE\\" + control + "\\DeviceClasses\\{A}\\#\\Control\\Sub\\Deeper]",
                  "[HKEY_LOCAL_MACHINE\\" + control + "\\Lasting]",
                  "\"Linked\"=dword:00000001",
                  "[HKEY_LOCAL_MACHINE\\" + control + "\\Lasting\\Gone]",
                  "[HKEY_LOCAL_MACHINE\\" + control + "\\Hidden]\r\n\"Gone\"=\"x\"",
              }));
}
