// Path rules against the real file system and drive table: files and folders
// made by the tests on C: (the temporary folder) and on Z: (Wine's view of the
// Linux root).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win32/WideText.h"
#include "core/PathRules.h"
#include "win32/Win32Platform.h"

namespace {

// A scratch folder with its whole content removed when the test ends.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& parent) {
        path_ = parent + "quorvane-pathrules-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(GetTickCount());
        created_ = CreateDirectoryW(Widen(path_).c_str(), nullptr) != 0;
    }
    ~ScratchFolder() {
        if (created_) RemoveTree(path_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool created() const { return created_; }
    // The folder without a trailing backslash.
    const std::string& path() const { return path_; }

private:
    static void RemoveTree(const std::string& folder) {
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW(Widen(folder + "\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = NarrowZ(found.cFileName);
                if (name == "." || name == "..") continue;
                const std::string full = folder + "\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(full);
                } else {
                    SetFileAttributesW(Widen(full).c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileW(Widen(full).c_str());
                }
            } while (FindNextFileW(find, &found));
            FindClose(find);
        }
        RemoveDirectoryW(Widen(folder).c_str());
    }

    std::string path_;
    bool created_ = false;
};

bool MakeFile(const std::string& path) {
    HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, "MZ", 2, &written, nullptr) && written == 2;
    CloseHandle(file);
    return ok;
}

std::string TempFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    std::string folder = Narrow(buffer, length);
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

class PathRulesOnDrive : public ::testing::TestWithParam<std::string> {
protected:
    Platform& platform = SystemPlatform();
};

// Runs on a folder of C: and of Z:, both fixed drives.
TEST_P(PathRulesOnDrive, ExistingFileIsAcceptedAndFoundUntilDeleted) {
    ScratchFolder folder(GetParam());
    ASSERT_TRUE(folder.created()) << folder.path();
    const std::string program = folder.path() + "\\Program Dir\\app.exe";
    ASSERT_TRUE(CreateDirectoryW(Widen((folder.path() + "\\Program Dir")).c_str(), nullptr));
    ASSERT_TRUE(MakeFile(program));

    std::string path;
    ASSERT_TRUE(ExtractFilePath(platform, platform, "  \"" + program + "\" /S", path));
    EXPECT_EQ(program, path);
    EXPECT_TRUE(FileExists(platform, path));
    EXPECT_FALSE(IsMissingFile(platform, path));

    ASSERT_TRUE(ExtractFilePath(platform, platform, "\"" + program + "\" \"%1\"", path));
    EXPECT_EQ(program, path);

    // Arguments that start with a hyphen keep the text from being tested.
    EXPECT_FALSE(ExtractFilePath(platform, platform, "\"" + program + "\" -silent", path));
    EXPECT_EQ("", path);

    ASSERT_TRUE(DeleteFileW(Widen(program).c_str()));
    ASSERT_TRUE(ExtractFilePath(platform, platform, program, path));
    EXPECT_FALSE(FileExists(platform, path));
    EXPECT_TRUE(IsMissingFile(platform, path));
}

TEST_P(PathRulesOnDrive, ExistingFolderIsNotMissing) {
    ScratchFolder folder(GetParam());
    ASSERT_TRUE(folder.created()) << folder.path();

    // Folders cannot be opened as files, yet they are present.
    EXPECT_FALSE(FileExists(platform, folder.path()));
    EXPECT_FALSE(IsMissingFile(platform, folder.path()));
    EXPECT_FALSE(IsMissingFile(platform, folder.path() + "\\"));
    EXPECT_TRUE(IsMissingFile(platform, folder.path() + "\\gone"));
    EXPECT_TRUE(IsMissingFile(platform, folder.path() + "\\gone\\deeper.dll"));
}

TEST_P(PathRulesOnDrive, LockedFilesAndPathsBeyondMaxPathArePresent) {
    ScratchFolder folder(GetParam());
    ASSERT_TRUE(folder.created()) << folder.path();
    const std::string locked = folder.path() + "\\locked.dll";
    ASSERT_TRUE(MakeFile(locked));

    // Held open without sharing by another program: it is there all the same.
    HANDLE holder = CreateFileW(Widen(locked).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_FALSE(IsMissingFile(platform, locked));
    CloseHandle(holder);

    // A path beyond MAX_PATH, in folders named in Cyrillic.
    std::string deep = folder.path();
    while (deep.size() < 400) {
        deep += "\\\u0414\u043B\u0438\u043D\u043D\u0430\u044F \u043F\u0430\u043F\u043A\u0430";
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + Widen(deep)).c_str(), nullptr)) << deep;
    }
    const std::string longFile = deep + "\\library.dll";
    const std::wstring longWide = L"\\\\?\\" + Widen(longFile);
    HANDLE file = CreateFileW(longWide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << longFile;
    CloseHandle(file);
    std::string path;
    ASSERT_TRUE(ExtractFilePath(platform, platform, longFile, path));
    EXPECT_TRUE(FileExists(platform, path));
    EXPECT_FALSE(IsMissingFile(platform, path));
    ASSERT_TRUE(DeleteFileW(longWide.c_str()));
    EXPECT_TRUE(IsMissingFile(platform, path));
    for (; deep.size() > folder.path().size(); deep.erase(deep.rfind('\\')))
        RemoveDirectoryW((L"\\\\?\\" + Widen(deep)).c_str());
}

TEST_P(PathRulesOnDrive, TypeLibraryNumberAfterAnExistingModuleIsPresent) {
    ScratchFolder folder(GetParam());
    ASSERT_TRUE(folder.created()) << folder.path();
    const std::string module = folder.path() + "\\hnetcfg.dll";
    ASSERT_TRUE(MakeFile(module));

    // The system itself finds nothing at such a path.
    const std::string typeLibrary = module + "\\2";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Widen(typeLibrary).c_str()));
    std::string path;
    ASSERT_TRUE(ExtractFilePath(platform, platform, typeLibrary, path));
    EXPECT_FALSE(IsMissingFile(platform, path));
    EXPECT_FALSE(IsMissingFile(platform, module + "\\12"));

    // Not a number, a folder before the number, or a missing module: missing.
    EXPECT_TRUE(IsMissingFile(platform, module + "\\2a"));
    EXPECT_TRUE(IsMissingFile(platform, folder.path() + "\\2"));
    EXPECT_TRUE(IsMissingFile(platform, folder.path() + "\\gone.dll\\2"));
    ASSERT_TRUE(DeleteFileW(Widen(module).c_str()));
    EXPECT_TRUE(IsMissingFile(platform, path));
}

TEST_P(PathRulesOnDrive, LowerCaseDriveLetterIsAcceptedWithItsCaseKept) {
    ScratchFolder folder(GetParam());
    ASSERT_TRUE(folder.created()) << folder.path();
    std::string text = folder.path() + "\\x.exe";
    text[0] = static_cast<char>(text[0] - 'A' + 'a');

    std::string path;
    ASSERT_TRUE(ExtractFilePath(platform, platform, text, path));
    EXPECT_EQ(text, path);
    EXPECT_TRUE(IsMissingFile(platform, path));
}

INSTANTIATE_TEST_SUITE_P(FixedDrives, PathRulesOnDrive,
                         ::testing::Values(TempFolder(), std::string("Z:\\tmp\\")));

TEST(PathRulesDrives, FixedDriveLettersHoldCAndZ) {
    Platform& platform = SystemPlatform();
    const std::string letters = GetFixedDriveLetters(platform, platform);
    EXPECT_NE(std::string::npos, letters.find('C')) << letters;
    EXPECT_NE(std::string::npos, letters.find('Z')) << letters;
    // Upper case, one letter per drive, in the order the system lists them.
    for (std::size_t i = 0; i < letters.size(); ++i) {
        EXPECT_TRUE(letters[i] >= 'A' && letters[i] <= 'Z') << letters;
        if (i > 0) {
            EXPECT_LT(letters[i - 1], letters[i]) << letters;
        }
    }
}

TEST(PathRulesDrives, PathOnAbsentDriveIsRefused) {
    Platform& platform = SystemPlatform();
    const DWORD drives = GetLogicalDrives();
    char absent = 0;
    for (char letter = 'Y'; letter >= 'D'; --letter) {
        if (!(drives & (1u << (letter - 'A')))) {
            absent = letter;
            break;
        }
    }
    ASSERT_NE(0, absent) << "every drive letter is in use";

    std::string path = "left over";
    EXPECT_FALSE(ExtractFilePath(platform, platform, std::string(1, absent) + ":\\Program\\app.exe", path));
    EXPECT_EQ("", path);
    // The drive test alone refuses it: the same text on C: is accepted.
    EXPECT_TRUE(ExtractFilePath(platform, platform, "C:\\Program\\app.exe", path));
}

TEST(PathRulesDrives, TextsThatAreNoPlainPathAreRefused) {
    Platform& platform = SystemPlatform();
    std::string path;
    for (const char* text : {"C:\\windows\\system32\\rundll32.exe shell32.dll,Control_RunDLL",
                             "%SystemRoot%\\system32\\shell32.dll", "\\\\server\\share\\x.exe",
                             "notepad.exe", "C:\\windows\\notepad.exe %1",
                             "C:\\windows\\notepad.exe C:\\x.txt"}) {
        EXPECT_FALSE(ExtractFilePath(platform, platform, text, path)) << text;
    }
}

}  // namespace
