// Fills the registry of a scratch Wine prefix with a large, realistic mix of
// keys and values for the scan benchmark: program settings below
// HKEY_CURRENT_USER\Software, HKEY_LOCAL_MACHINE\Software and
// HKEY_USERS\.DEFAULT\Software (paths on C:\, some present and many gone,
// other strings, numbers, binaries, expandable and multi-strings), and entries
// in the fixed places the cleaner tasks read (classes, file associations,
// uninstall records, shared files, start-up commands, menu orders, history
// lists). The mix is the same on every run.
//
//   plant-registry.exe [values] [mix]   (default 520000 classic; the mixes are
//                                        realistic, classic and many-findings)
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "win32/WideText.h"

namespace {

const char kFileFolder[] = "C:\\BenchFiles";
const int kPresentFiles = 300;

// A small deterministic generator, so that every run plants the same registry.
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed) {}
    std::uint32_t Next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }

private:
    std::uint32_t state_;
};

struct Counts {
    long long keys = 0;
    long long values = 0;
    long long missingPaths = 0;
    long long presentPaths = 0;
};

std::string Number(int n)
{
    return std::to_string(n);
}

std::string PresentFile(Random& random)
{
    const int n = random.Below(kPresentFiles);
    return std::string(kFileFolder) + "\\tool" + Number(n) + (n % 2 ? ".dll" : ".exe");
}

std::string MissingFile(Random& random, const std::string& vendor)
{
    static const char* const kExtensions[] = {".exe", ".dll", ".ocx", ".sys", ".txt", ".ini"};
    return "C:\\Program Files\\" + vendor + "\\App" + Number(random.Below(40)) + "\\file" +
           Number(random.Below(100000)) + kExtensions[random.Below(6)];
}

class Planter {
public:
    explicit Planter(Counts& counts) : counts_(counts) {}

    // Opens (creating) a key; the handle stays open until the next Open.
    bool Open(HKEY root, const std::string& path)
    {
        Close();
        if (RegCreateKeyExW(root, Widen(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                            nullptr) != ERROR_SUCCESS) {
            key_ = nullptr;
            return false;
        }
        ++counts_.keys;
        return true;
    }

    void Close()
    {
        if (key_)
            RegCloseKey(key_);
        key_ = nullptr;
    }

    ~Planter() { Close(); }

    void Set(const std::string& name, DWORD type, const std::string& bytes)
    {
        // Text types are given as UTF-8 and stored as UTF-16.
        const bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
        const std::string stored = text ? Utf8ToUtf16LeBytes(bytes) : bytes;
        if (key_ && RegSetValueExW(key_, Widen(name).c_str(), 0, type,
                                   reinterpret_cast<const BYTE*>(stored.data()),
                                   static_cast<DWORD>(stored.size())) == ERROR_SUCCESS)
            ++counts_.values;
    }
    void String(const std::string& name, const std::string& text, DWORD type = REG_SZ)
    {
        Set(name, type, text + std::string(1, '\0'));
    }
    void Dword(const std::string& name, DWORD number)
    {
        Set(name, REG_DWORD, std::string(reinterpret_cast<const char*>(&number), sizeof number));
    }

private:
    Counts& counts_;
    HKEY key_ = nullptr;
};

// How many of a hundred setting values name a file that is gone (as their
// data or as their name) and how many name a present file. The rest of the
// hundred follows the same mix of texts, numbers and binaries in every mix.
struct Mix {
    const char* name;
    int missingData;
    int missingName;
    int present;
    // Of a hundred entries in the cleaner's fixed places (class servers, open
    // commands, uninstallers, shared files, start-up commands), how many name
    // a file that is gone.
    int fixedGone;
};

// "realistic": a registry whose programs are mostly still installed, a small
// share of their paths gone; "classic": the mix of earlier runs, a fifth gone;
// "many-findings": most paths gone, for result lists of a hundred thousand
// rows and more.
const Mix kMixes[] = {
    {"realistic", 2, 1, 20, 10},
    {"classic", 18, 4, 8, 60},
    {"many-findings", 62, 8, 4, 90},
};

// One value of a program's settings, drawn from the mix.
void PlantSettingValue(Planter& planter, Random& random, Counts& counts, const Mix& mix,
                       const std::string& vendor, int index)
{
    const std::string name = "Setting" + Number(index);
    int kind = random.Below(100);
    const int paths = mix.missingData + mix.present + mix.missingName;
    if (kind < mix.missingData) {
        ++counts.missingPaths;
        const std::string path = MissingFile(random, vendor);
        planter.String(name, random.Below(3) == 0 ? "\"" + path + "\" /S" : path);
        return;
    }
    if (kind < mix.missingData + mix.present) {
        ++counts.presentPaths;
        planter.String(name, random.Below(4) == 0 ? "C:\\windows\\system32\\notepad.exe"
                                                  : PresentFile(random));
        return;
    }
    if (kind < paths) {
        ++counts.missingPaths;
        planter.String(MissingFile(random, vendor), random.Below(2) ? "" : Number(random.Below(9)));
        return;
    }
    // The other kinds share what is left of the hundred as they always have.
    kind = 30 + (kind - paths) * 70 / (100 - paths);
    if (kind < 53) {
        static const char* const kTexts[] = {"1.2.3.4", "English", "http://www.example.com/update",
                                             "{6B29FC40-CA47-1067-B31D-00DD010662DA}", "",
                                             "Default", "yes", "Arial,10,0"};
        planter.String(name, kTexts[random.Below(8)] + (random.Below(2) ? Number(index) : ""));
    } else if (kind < 73) {
        planter.Dword(name, random.Next());
    } else if (kind < 83) {
        std::string bytes(8 + random.Below(57), '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(random.Below(256));
        planter.Set(name, REG_BINARY, bytes);
    } else if (kind < 89) {
        planter.String(name, "%ProgramFiles%\\" + vendor + "\\app" + Number(index) + ".exe",
                       REG_EXPAND_SZ);
    } else if (kind < 94) {
        planter.Set(name, REG_MULTI_SZ, "first\0second " + Number(index) + std::string("\0\0", 2));
    } else if (kind < 97) {
        planter.String(name, random.Below(2) ? "C:\\windows" : "C:\\Program Files\\" + vendor);
    } else {
        planter.String(name, "rundll32.exe shell32.dll,Control_RunDLL app" + Number(index) + ".cpl");
    }
}

// Vendors with products, versions and settings keys of 5 to 25 values, until
// the area has its share of values.
void PlantProgramSettings(HKEY root, const std::string& softwarePath, const std::string& prefix,
                          long long valueTarget, const Mix& mix, Random& random, Counts& counts)
{
    Planter planter(counts);
    const long long start = counts.values;
    for (int vendor = 0; counts.values - start < valueTarget; ++vendor) {
        const std::string vendorName = prefix + "Vendor" + Number(vendor);
        const int products = 1 + random.Below(6);
        for (int product = 0; product < products && counts.values - start < valueTarget; ++product) {
            const std::string productPath =
                softwarePath + "\\" + vendorName + "\\Product" + Number(product);
            static const char* const kSections[] = {"", "\\Settings", "\\Settings\\Window",
                                                    "\\Recent", "\\Plugins\\Main", "\\Options"};
            const int sections = 2 + random.Below(5);
            for (int section = 0; section < sections; ++section) {
                if (!planter.Open(root, productPath + kSections[section]))
                    continue;
                const int values = 5 + random.Below(21);
                for (int i = 0; i < values; ++i)
                    PlantSettingValue(planter, random, counts, mix, vendorName, i);
            }
        }
    }
}

void PlantFixedPlaces(const Mix& mix, Random& random, Counts& counts)
{
    const auto gone = [&random, &mix] { return random.Below(100) < mix.fixedGone; };
    Planter planter(counts);
    const std::string cv = "Software\\Microsoft\\Windows\\CurrentVersion\\";

    // COM classes, most of whose servers are gone.
    for (int i = 0; i < 4000; ++i) {
        char id[64];
        std::snprintf(id, sizeof id, "{BE0C%04X-1234-4000-8000-%012X}", i, i * 7919u);
        const std::string key = std::string("Software\\Classes\\CLSID\\") + id;
        if (planter.Open(HKEY_LOCAL_MACHINE, key)) {
            planter.String("", "Bench class " + Number(i));
            planter.String("AppID", id);
        }
        if (planter.Open(HKEY_LOCAL_MACHINE, key + (i % 3 ? "\\InprocServer32" : "\\LocalServer32"))) {
            planter.String("", gone() ? MissingFile(random, "Classes")
                                                    : PresentFile(random));
            planter.String("ThreadingModel", "Apartment");
        }
    }
    // File associations: an extension naming a class with an open command.
    for (int i = 0; i < 1500; ++i) {
        const std::string cls = "BenchFile" + Number(i);
        if (planter.Open(HKEY_LOCAL_MACHINE, "Software\\Classes\\.bench" + Number(i))) {
            if (i % 5)
                planter.String("", cls);
            planter.String("Content Type", "application/x-bench");
        }
        if (planter.Open(HKEY_LOCAL_MACHINE, "Software\\Classes\\" + (i % 5 ? cls : ".bench" + Number(i)) +
                                                 "\\Shell\\Open\\Command"))
            planter.String("", "\"" + (gone() ? MissingFile(random, "Viewers") : PresentFile(random)) +
                                   "\" \"%1\"");
    }
    // Uninstall records: some empty, some whose uninstaller is gone.
    for (int i = 0; i < 600; ++i) {
        if (!planter.Open(HKEY_LOCAL_MACHINE, cv + "Uninstall\\BenchApp" + Number(i)) || i % 10 == 0)
            continue;
        planter.String("DisplayName", "Bench application " + Number(i));
        planter.String("DisplayVersion", "1.0." + Number(i));
        planter.String("UninstallString",
                       "\"" + (gone() ? MissingFile(random, "Setup") : PresentFile(random)) + "\" /S");
    }
    if (planter.Open(HKEY_LOCAL_MACHINE, cv + "SharedDlls")) {
        for (int i = 0; i < 3000; ++i)
            planter.Dword(gone() ? MissingFile(random, "Shared") : PresentFile(random), 1 + i % 5);
    }
    if (planter.Open(HKEY_LOCAL_MACHINE, cv + "Run")) {
        for (int i = 0; i < 30; ++i)
            planter.String("BenchTray" + Number(i),
                           gone() ? "\"" + MissingFile(random, "Tray") + "\" /background"
                                 : PresentFile(random));
    }
    if (planter.Open(HKEY_CURRENT_USER, cv + "Run")) {
        for (int i = 0; i < 20; ++i)
            planter.String("BenchUserTray" + Number(i),
                           i % 2 ? "rundll32.exe bench" + Number(i) + ".dll,Start" : PresentFile(random));
    }
    for (int i = 0; i < 150; ++i)
        planter.Open(HKEY_CURRENT_USER, cv + "Explorer\\MenuOrder\\Start Menu\\Programs\\Bench Group " +
                                            Number(i));
    if (planter.Open(HKEY_CURRENT_USER, cv + "Explorer\\RunMRU")) {
        for (int i = 0; i < 26; ++i)
            planter.String(std::string(1, static_cast<char>('a' + i)), "notepad " + Number(i) + "\\1");
    }
    if (planter.Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\TypedUrls")) {
        for (int i = 1; i <= 25; ++i)
            planter.String("url" + Number(i), "http://www.example.com/page" + Number(i));
    }
    // Empty keys directly below Software.
    for (int i = 0; i < 200; ++i)
        planter.Open(i % 2 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, "Software\\BenchEmpty" + Number(i));
}

bool MakePresentFiles()
{
    CreateDirectoryW(Widen(kFileFolder).c_str(), nullptr);
    for (int n = 0; n < kPresentFiles; ++n) {
        const std::string path =
            std::string(kFileFolder) + "\\tool" + Number(n) + (n % 2 ? ".dll" : ".exe");
        HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(file);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const long long target = argc > 1 ? std::atoll(argv[1]) : 520000;
    const std::string mixName = argc > 2 ? argv[2] : "classic";
    const Mix* mix = nullptr;
    for (const Mix& candidate : kMixes)
        if (mixName == candidate.name)
            mix = &candidate;
    if (!mix) {
        std::fprintf(stderr, "plant-registry: no mix called %s\n", mixName.c_str());
        return 2;
    }
    const DWORD started = GetTickCount();
    if (!MakePresentFiles()) {
        std::fprintf(stderr, "plant-registry: cannot create the files in %s\n", kFileFolder);
        return 1;
    }
    Random random(20080303u);
    Counts counts;
    PlantFixedPlaces(*mix, random, counts);
    const long long fixedValues = counts.values;
    const long long rest = target > fixedValues ? target - fixedValues : 0;
    PlantProgramSettings(HKEY_CURRENT_USER, "Software", "User", rest * 4 / 10, *mix, random, counts);
    PlantProgramSettings(HKEY_LOCAL_MACHINE, "Software", "Machine", rest * 4 / 10, *mix, random,
                         counts);
    PlantProgramSettings(HKEY_USERS, ".DEFAULT\\Software", "Default", rest - rest * 8 / 10, *mix,
                         random, counts);
    std::printf("%s mix: planted %lld values in %lld key openings (%lld in the cleaner's fixed places); "
                "paths: %lld gone, %lld present; %.1f s\n",
                mix->name, counts.values, counts.keys, fixedValues, counts.missingPaths, counts.presentPaths,
                (GetTickCount() - started) / 1000.0);
    return counts.values >= target ? 0 : 1;
}
