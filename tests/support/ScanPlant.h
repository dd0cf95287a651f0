// Entries planted by the Windows tests of the cleaner tasks in the fixed
// registry places the tasks read (Run keys, Uninstall, SharedDlls, Time Zones,
// classes and so on). Everything planted is removed again when the planter is
// destroyed: the values it set, and the topmost key it had to create for each
// path. It refuses to touch a value that already exists.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class RegistryPlanter {
public:
    RegistryPlanter() = default;
    ~RegistryPlanter();
    RegistryPlanter(const RegistryPlanter&) = delete;
    RegistryPlanter& operator=(const RegistryPlanter&) = delete;

    // Creates the key and any missing parents; false when the system refused.
    bool Key(HKEY root, const std::string& path);
    // Sets a value that did not exist, creating its key as needed.
    bool Value(HKEY root, const std::string& path, const std::string& name, DWORD type,
               const std::string& bytes);
    // A REG_SZ value with its terminating zero.
    bool String(HKEY root, const std::string& path, const std::string& name,
                const std::string& text);
    bool Dword(HKEY root, const std::string& path, const std::string& name, DWORD number);

private:
    struct Undo {
        HKEY root;
        std::string path;
        std::string valueName;
        bool wholeKey;
    };
    std::vector<Undo> undo_;
};

// A file path below folder for a file that was created and then deleted, as
// an uninstalled program leaves it.
std::string DeletedFilePath(const std::string& folder, const std::string& name);
