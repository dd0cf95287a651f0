// Expectations shared by the tests of the in-memory platform and of the
// Win32 platform, so that both are held to the same answers: the profile
// reader's rules and the case rules.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "core/Platform.h"

// An INI file exercising the rules of GetPrivateProfileStringW.
constexpr char kProfileCaseText[] =
    "; comment\r\n[String]\r\n  Key1 =  \"quoted text\"  \r\nkey2='single'\r\n"
    "key3=\"mismatch'\r\nKey4 = plain  value \r\nnoeq\r\n[ Spaced ]\r\nk=v\r\n"
    "[string]\r\nkey5=second section\r\n";

struct ProfileCase {
    const char* section;
    const char* key;
    std::size_t maxLength;
    const char* expected;
};

constexpr ProfileCase kProfileCases[] = {
    {"STRING", "key1", 100, "quoted text"},     // blanks and one pair of quotes dropped
    {"String", "KEY2", 100, "single"},
    {"String", "key3", 100, "\"mismatch'"},     // quotes that do not match stay
    {"String", "key4", 100, "plain  value"},
    {"String", "key4", 5, "plain"},              // cut at the length asked for
    {"String", "key1", 4, "quot"},
    {"String", "noeq", 100, ""},
    {"String", "key5", 100, ""},                 // only the first section of a name counts
    {"Spaced", "k", 100, "v"},
    {"Other", "k", 100, ""},
};

// Case folding of every script as Windows does it (CharUpperBuffW and
// CharLowerBuffW): Latin, Greek and Cyrillic letters change, everything else
// (signs, CJK, emoji, a lone surrogate) stays as it is.
struct CaseFoldCase {
    const char* text;
    const char* upper;
    const char* lower;
};

constexpr CaseFoldCase kCaseFoldCases[] = {
    {"Ab\u00e9\u00ff\u0161z \u00d7\u00f7", "AB\u00c9\u0178\u0160Z \u00d7\u00f7",
     "ab\u00e9\u00ff\u0161z \u00d7\u00f7"},
    {"\u041f\u0440\u0438\u0432\u0435\u0442 \u0451\u0401",
     "\u041f\u0420\u0418\u0412\u0415\u0422 \u0401\u0401",
     "\u043f\u0440\u0438\u0432\u0435\u0442 \u0451\u0451"},
    {"\u03a9\u03bc\u03b5\u03b3\u03b1", "\u03a9\u039c\u0395\u0393\u0391",
     "\u03c9\u03bc\u03b5\u03b3\u03b1"},
    {"\u65e5\u672c\U0001F600 \xED\xA0\x80x", "\u65e5\u672c\U0001F600 \xED\xA0\x80X",
     "\u65e5\u672c\U0001F600 \xED\xA0\x80x"},
};

// Checks a platform's case rules against the cases above.
inline void ExpectCaseFoldRules(Platform& platform)
{
    for (const CaseFoldCase& fold : kCaseFoldCases) {
        std::string upper = fold.text, lower = fold.text;
        platform.UpperText(upper);
        platform.LowerText(lower);
        EXPECT_EQ(fold.upper, upper);
        EXPECT_EQ(fold.lower, lower);
    }
}

// Checks a platform's profile reader on a file holding kProfileCaseText.
inline void ExpectProfileRules(Platform& platform, const std::string& file)
{
    for (const ProfileCase& profile : kProfileCases)
        EXPECT_EQ(profile.expected,
                  platform.ReadProfileString(file, profile.section, profile.key, profile.maxLength))
            << profile.section << " " << profile.key;
}
