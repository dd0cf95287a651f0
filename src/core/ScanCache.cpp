// The file system answers one cleaner scan reuses.
#include "core/ScanCache.h"

#include "core/PathRules.h"

const std::string& ScanCache::FixedDriveLetters(FileSystem& files, TextRules& textRules)
{
    if (!drivesRead_) {
        fixedDriveLetters_ = GetFixedDriveLetters(files, textRules);
        drivesRead_ = true;
    }
    return fixedDriveLetters_;
}

bool ScanCache::IsMissingFile(FileSystem& files, const std::string& path)
{
    const auto known = missing_.find(path);
    if (known != missing_.end())
        return known->second;
    const bool missing = ::IsMissingFile(files, path);
    missing_.emplace(path, missing);
    return missing;
}
