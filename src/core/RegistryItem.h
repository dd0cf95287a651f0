// One row of a registry item list: a key or a value, as the cleaner found it
// or the search hit it. Platform-free.
#pragma once

#include <cstdint>
#include <string>

// The value type a row stands for; kKeyRowType marks a row for a whole key.
constexpr std::int32_t kKeyRowType = -1;

// Small-image indices of the rows, per list.
constexpr int kCleanerImageString = 0;
constexpr int kCleanerImageKey = 1;
constexpr int kCleanerImageOther = 2;
constexpr int kSearchImageKey = 0;
constexpr int kSearchImageString = 1;
constexpr int kSearchImageOther = 2;

struct RegistryItem {
    std::string rootName;   // column 1: "HKEY_LOCAL_MACHINE" and so on
    std::string keyPath;    // column 2
    std::string valueName;  // column 3 (shown only, for a key row)
    std::string dataText;   // column 4
    int image = 0;
    std::int32_t type = kKeyRowType; // the value's type, or kKeyRowType
};

// The tag each row carries: where it was added, and what it stands for.
struct RowTag {
    std::int32_t index = 0; // the row count when the row was added
    std::int32_t type = kKeyRowType;
};
