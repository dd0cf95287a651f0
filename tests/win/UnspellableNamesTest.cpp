// Names the ANSI code page cannot spell, planted through the wide functions
// below a scratch key: the Win32 platform reports them as such instead of a
// stand-in name, reads the data of every other value as the ANSI functions
// do, and the walk and the subkey listing pass them over, counted.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "RegistryScratch.h"
#include "core/RegistryPaths.h"
#include "core/RegistryWalk.h"
#include "win32/Win32Platform.h"

namespace {

// True when the code page in use spells the text exactly.
bool AnsiSpells(const std::wstring& text)
{
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(),
                                         static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         &usedDefault);
    return size > 0 && !usedDefault;
}

// The first text of the list that the code page cannot spell; empty if none.
std::wstring FirstUnspellable(const std::vector<std::wstring>& candidates)
{
    for (const std::wstring& text : candidates) {
        if (!AnsiSpells(text))
            return text;
    }
    return std::wstring();
}

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

struct Collected {
    std::vector<std::string> keys;
    std::vector<std::string> values;
};

void CollectKey(RootKey, const std::string& path, const char*, std::uint32_t, std::uint32_t,
                const std::uint8_t*, std::uint32_t, void* context)
{
    static_cast<Collected*>(context)->keys.push_back(path);
}

void CollectValue(RootKey, const std::string& path, const char* name, std::uint32_t nameLength,
                  std::uint32_t, const std::uint8_t*, std::uint32_t, void* context)
{
    static_cast<Collected*>(context)->values.push_back(path + "|" + std::string(name, nameLength));
}

void CollectSubKey(RootKey, const std::string&, const std::string& name, void* context)
{
    static_cast<Collected*>(context)->keys.push_back(name);
}

class UnspellableNamesTest : public ::testing::Test {
protected:
    Platform& platform = SystemPlatform();
    ScratchRegistryKey scratch;
    // A key name in Cyrillic and a value name in Japanese, or, where the
    // code page spells those, in another script it does not.
    std::wstring keyName;
    std::wstring valueName;

    void SetUp() override
    {
        ASSERT_TRUE(scratch.IsCreated());
        keyName = FirstUnspellable({L"\x041A\x043B\x044E\x0447", L"\x03BA\x03BB\x03B5\x03B9\x03B4\x03AF",
                                    L"\x0E01\x0E38\x0E0D\x0E41\x0E08"});
        valueName = FirstUnspellable({L"Qv\x5024\x540D", L"Qv\x05E2\x05E8\x05DA", L"Qv\x0E04\x0E48\x0E32"});
        if (keyName.empty() || valueName.empty())
            GTEST_SKIP() << "code page " << GetACP() << " spells every candidate";
    }

    void TearDown() override
    {
        // The wide form removes what no ANSI name reaches.
        RegDeleteTreeW(HKEY_CURRENT_USER, Widen(scratch.KeyPath()).c_str());
    }

    std::wstring WidePath(const std::wstring& sub) const
    {
        return Widen(scratch.KeyPath()) + (sub.empty() ? L"" : L"\\" + sub);
    }

    bool CreateKey(const std::wstring& sub) const
    {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, WidePath(sub).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    bool SetValue(const std::wstring& sub, const std::wstring& name, DWORD type, const void* data,
                  DWORD size) const
    {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, WidePath(sub).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            return false;
        const bool set = RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data),
                                        size) == ERROR_SUCCESS;
        RegCloseKey(key);
        return set;
    }

    bool SetText(const std::wstring& sub, const std::wstring& name, const std::wstring& text,
                 DWORD type = REG_SZ) const
    {
        return SetValue(sub, name, type, text.c_str(),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    KeyHandle Open(const std::string& sub)
    {
        KeyHandle key = kNoKey;
        platform.OpenKey(RootHandle(kHkeyCurrentUser),
                         scratch.KeyPath() + (sub.empty() ? "" : "\\" + sub), &key);
        return key;
    }

    // Plants, below "W": the plain keys "First" and "Last" around the
    // unspellable key (which holds a value of its own), and the plain values
    // "a" and "b" around the unspellable value.
    void PlantMixedKey()
    {
        ASSERT_TRUE(CreateKey(L"W\\First"));
        ASSERT_TRUE(SetText(L"W\\" + keyName, L"inside", L"never seen"));
        ASSERT_TRUE(CreateKey(L"W\\Last"));
        ASSERT_TRUE(SetText(L"W", L"a", L"x"));
        ASSERT_TRUE(SetText(L"W", valueName, L"y"));
        const DWORD number = 7;
        ASSERT_TRUE(SetValue(L"W", L"b", REG_DWORD, &number, sizeof number));
    }
};

TEST_F(UnspellableNamesTest, PlatformReportsThemInsteadOfAStandInName)
{
    PlantMixedKey();
    KeyHandle key = Open("W");
    ASSERT_NE(kNoKey, key);

    std::vector<std::string> keys;
    int unspellableKeys = 0;
    char name[300];
    for (std::uint32_t index = 0;; ++index) {
        const long result = platform.EnumKey(key, index, name, sizeof name);
        if (result == kResultNoMoreItems)
            break;
        ASSERT_LT(index, 10u);
        if (result == kResultNameNotSpellable)
            ++unspellableKeys;
        else if (result == kResultOk)
            keys.push_back(name);
        else
            ADD_FAILURE() << "EnumKey " << index << ": " << result;
    }
    EXPECT_EQ(1, unspellableKeys);
    EXPECT_EQ((std::vector<std::string>{"First", "Last"}), keys);

    std::vector<std::string> values;
    int unspellableValues = 0;
    for (std::uint32_t index = 0;; ++index) {
        std::uint32_t nameLength = sizeof name, type = 0, size = 16;
        std::uint8_t data[16];
        const long result = platform.EnumValue(key, index, name, &nameLength, &type, data, &size);
        if (result == kResultNoMoreItems)
            break;
        ASSERT_LT(index, 10u);
        if (result == kResultNameNotSpellable) {
            ++unspellableValues;
            EXPECT_EQ(kRegSz, type);
        } else if (result == kResultOk) {
            values.push_back(std::string(name, nameLength) + "=" + std::to_string(type) + ":" +
                             std::to_string(size));
        } else {
            ADD_FAILURE() << "EnumValue " << index << ": " << result;
        }
    }
    EXPECT_EQ(1, unspellableValues);
    EXPECT_EQ((std::vector<std::string>{"a=1:2", "b=4:4"}), values);
    platform.CloseKey(key);
}

TEST_F(UnspellableNamesTest, BestFitLettersAreNotTakenForTheName)
{
    // "A" with a macron becomes a plain "A" in the best-fit tables of the
    // Western code page, which would name the sibling "Ab".
    const std::wstring bestFit = L"\x0100" L"b";
    if (AnsiSpells(bestFit))
        GTEST_SKIP() << "code page " << GetACP() << " spells " << "U+0100";
    ASSERT_TRUE(SetText(L"B", bestFit, L"macron"));
    ASSERT_TRUE(SetText(L"B", L"Ab", L"plain"));
    KeyHandle key = Open("B");
    ASSERT_NE(kNoKey, key);
    std::vector<std::string> names;
    int unspellable = 0;
    char name[16];
    for (std::uint32_t index = 0; index < 4; ++index) {
        std::uint32_t nameLength = sizeof name;
        const long result = platform.EnumValue(key, index, name, &nameLength, nullptr, nullptr, nullptr);
        if (result == kResultNoMoreItems)
            break;
        if (result == kResultNameNotSpellable)
            ++unspellable;
        else if (result == kResultOk)
            names.push_back(name);
    }
    EXPECT_EQ(1, unspellable);
    EXPECT_EQ(std::vector<std::string>{"Ab"}, names);
    platform.CloseKey(key);
}

TEST_F(UnspellableNamesTest, WalkAndSubkeyListingCountThemAndReachTheSiblings)
{
    PlantMixedKey();
    ASSERT_TRUE(SetText(L"W\\Last", L"deep", L"z"));
    Collected walked;
    std::size_t passedOver = 0;
    WalkRegistry(platform, platform, kHkeyCurrentUser, scratch.KeyPath() + "\\W", true, &CollectValue,
                 &walked, &CollectKey, &walked, 0xFFFFFFFFu, {}, nullptr, NoneValues::kSkip,
                 &passedOver);
    const std::string w = scratch.KeyPath() + "\\W";
    EXPECT_EQ((std::vector<std::string>{w, w + "\\First", w + "\\Last"}), walked.keys);
    EXPECT_EQ((std::vector<std::string>{w + "|a", w + "|b", w + "\\Last|deep"}), walked.values);
    EXPECT_EQ(2u, passedOver);

    Collected listed;
    passedOver = 0;
    EnumSubKeys(platform, kHkeyCurrentUser, w, &CollectSubKey, &listed, &passedOver);
    EXPECT_EQ((std::vector<std::string>{"First", "Last"}), listed.keys);
    EXPECT_EQ(1u, passedOver);
}

TEST_F(UnspellableNamesTest, DataIsReadAsTheAnsiFunctionsReadIt)
{
    // Text with a character of the code page, text with characters outside
    // it, text without its NUL, a multi-string, an odd-sized string and
    // binary data: listing gives what RegQueryValueExA gives.
    const std::wstring latin = L"caf\x00E9 C:\\x";
    ASSERT_TRUE(SetText(L"D", L"latin", latin));
    ASSERT_TRUE(SetText(L"D", L"foreign", L"x" + valueName, REG_EXPAND_SZ));
    ASSERT_TRUE(SetValue(L"D", L"bare", REG_SZ, L"abc", 6));
    ASSERT_TRUE(SetValue(L"D", L"multi", REG_MULTI_SZ, L"one\0two\0", 18));
    ASSERT_TRUE(SetValue(L"D", L"odd", REG_SZ, L"xyz", 5));
    ASSERT_TRUE(SetValue(L"D", L"bin", REG_BINARY, "\x01\x00\x02", 3));
    // Longer in UTF-16 than the room offered, though not in ANSI.
    ASSERT_TRUE(SetText(L"D", L"long", std::wstring(700, L'q')));
    KeyHandle key = Open("D");
    ASSERT_NE(kNoKey, key);
    int compared = 0;
    for (std::uint32_t index = 0;; ++index) {
        char name[64];
        std::uint32_t nameLength = sizeof name, type = 0, size = 1024;
        std::uint8_t data[1024];
        const long result = platform.EnumValue(key, index, name, &nameLength, &type, data, &size);
        if (result == kResultNoMoreItems)
            break;
        ASSERT_EQ(kResultOk, result) << index;
        std::uint32_t expectedType = 0, expectedSize = sizeof data;
        std::uint8_t expected[1024];
        ASSERT_EQ(kResultOk, platform.QueryValue(key, name, &expectedType, expected, &expectedSize));
        EXPECT_EQ(expectedType, type) << name;
        ASSERT_EQ(expectedSize, size) << name;
        EXPECT_EQ(0, std::memcmp(expected, data, size)) << name;

        // Asking for the size only, and offering too little room, give the
        // ANSI size too.
        std::uint32_t sizeOnly = 0;
        nameLength = sizeof name;
        EXPECT_EQ(kResultOk, platform.EnumValue(key, index, name, &nameLength, nullptr, nullptr, &sizeOnly));
        EXPECT_EQ(expectedSize, sizeOnly) << name;
        if (expectedSize > 1) {
            std::uint32_t small = expectedSize - 1;
            nameLength = sizeof name;
            EXPECT_EQ(kResultMoreData, platform.EnumValue(key, index, name, &nameLength, &type, data, &small));
            EXPECT_EQ(expectedSize, small) << name;
        }
        ++compared;
    }
    EXPECT_EQ(7, compared);
    platform.CloseKey(key);
}

}  // namespace
