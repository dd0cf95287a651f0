// The value checks of the cleaner tasks that walk the registry. Each has the
// walk's value-visitor form; its context is the task's ScanContext.
// Platform-free.
#pragma once

#include <cstdint>
#include <string>

#include "core/Platform.h"

// Tasks 1 to 3: a REG_SZ value whose name, or else whose data, names a
// missing file; a value finding showing the data.
void CheckFileValue(RootKey root, const std::string& path, const char* valueName,
                    std::uint32_t valueNameLength, std::uint32_t type, const std::uint8_t* data,
                    std::uint32_t dataSize, void* context);

// Task 4: as CheckFileValue, but the finding is the class key one level above
// the key that holds the value, showing the data. Never a key at or above the
// class key level of the walk (see ScanContext::classKeyLevel).
void CheckClassFileValue(RootKey root, const std::string& path, const char* valueName,
                         std::uint32_t valueNameLength, std::uint32_t type,
                         const std::uint8_t* data, std::uint32_t dataSize, void* context);

// Task 6: every value is a value finding showing its display text.
void ReportEveryValue(RootKey root, const std::string& path, const char* valueName,
                      std::uint32_t valueNameLength, std::uint32_t type, const std::uint8_t* data,
                      std::uint32_t dataSize, void* context);

// Task 8: a value whose name is a missing file, of any type; a value finding
// showing the display text (the usage count).
void CheckSharedDll(RootKey root, const std::string& path, const char* valueName,
                    std::uint32_t valueNameLength, std::uint32_t type, const std::uint8_t* data,
                    std::uint32_t dataSize, void* context);

// Task 9: a value whose data as text is empty; a value finding with empty data.
void CheckEmptyData(RootKey root, const std::string& path, const char* valueName,
                    std::uint32_t valueNameLength, std::uint32_t type, const std::uint8_t* data,
                    std::uint32_t dataSize, void* context);

// Task 11: a start-up command that names a missing file, or that holds no
// ":\" at all; a value finding showing the data.
void CheckRunEntry(RootKey root, const std::string& path, const char* valueName,
                   std::uint32_t valueNameLength, std::uint32_t type, const std::uint8_t* data,
                   std::uint32_t dataSize, void* context);
