// Expectations shared by the tests of the in-memory platform and of the
// Win32 platform, so that both are held to the same answers: the profile
// reader's rules and the case rules of code page 1252.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "core/Platform.h"

// An INI file exercising the rules of GetPrivateProfileStringA.
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

// CharUpperA and CharLowerA of code page 1252.
struct CaseFoldCase {
    const char* text;
    const char* upper;
    const char* lower;
};

constexpr CaseFoldCase kCaseFoldCases[] = {
    {"Ab\xE9\xFF\x9A\xB5\xDF\xF7z", "AB\xC9\x9F\x8A\xB5\xDF\xF7Z", "ab\xE9\xFF\x9A\xB5\xDF\xF7z"},
    {"aB\xC9\x9F\x8A\xD7\xDE", "AB\xC9\x9F\x8A\xD7\xDE", "ab\xE9\xFF\x9A\xD7\xFE"},
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
    EXPECT_FALSE(platform.IsLeadByte(0x81));
}

// Checks a platform's profile reader on a file holding kProfileCaseText.
inline void ExpectProfileRules(Platform& platform, const std::string& file)
{
    for (const ProfileCase& profile : kProfileCases)
        EXPECT_EQ(profile.expected,
                  platform.ReadProfileString(file, profile.section, profile.key, profile.maxLength))
            << profile.section << " " << profile.key;
}
