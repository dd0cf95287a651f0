// A finding sink for the tests of the cleaner tasks: it keeps every finding
// and every walked key, can set a stop flag after a given number of either,
// and describes rows as one line of text for exact comparison. Header only,
// so that the native and the Windows tests share it.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/ScanTasks.h"

struct RecordedFinding {
    RegistryItem item;
    bool scrollIntoView = true;
};

// "ROOT\key path | value name | data text | image N | type T", followed by
// " | not scrolled" for a row that is not scrolled into view.
inline std::string DescribeRow(const std::string& rootName, const std::string& keyPath,
                               const std::string& valueName, const std::string& dataText,
                               int image, std::int32_t type, bool scrollIntoView = true)
{
    std::string text = rootName + "\\" + keyPath + " | " + valueName + " | " + dataText +
                       " | image " + std::to_string(image) + " | type " + std::to_string(type);
    if (!scrollIntoView)
        text += " | not scrolled";
    return text;
}

inline std::string DescribeFinding(const RecordedFinding& finding)
{
    const RegistryItem& item = finding.item;
    return DescribeRow(item.rootName, item.keyPath, item.valueName, item.dataText, item.image,
                       item.type, finding.scrollIntoView);
}

inline std::string ShortRootName(RootKey root)
{
    switch (root) {
    case kHkeyClassesRoot: return "HKCR";
    case kHkeyCurrentUser: return "HKCU";
    case kHkeyLocalMachine: return "HKLM";
    case kHkeyUsers: return "HKU";
    default: return std::to_string(root);
    }
}

class RecordingSink {
public:
    std::vector<RecordedFinding> findings;
    std::vector<std::string> walkedKeys;   // "HKCU:path" and so on

    // When set, the flag is raised once this many findings (or walked keys)
    // have been recorded; 0 means never.
    std::atomic<bool>* stopFlag = nullptr;
    std::size_t stopAfterFindings = 0;
    std::size_t stopAfterKeys = 0;
    // Findings and keys that arrived after the flag was raised.
    std::size_t afterStop = 0;

    // The sink a task reports to; it records into this object.
    FindingSink Sink()
    {
        FindingSink sink;
        sink.addFinding = [](const RegistryItem& item, bool scrollIntoView, void* context) {
            static_cast<RecordingSink*>(context)->AddFinding(item, scrollIntoView);
        };
        sink.showScanningKey = [](RootKey root, const std::string& path, void* context) {
            static_cast<RecordingSink*>(context)->ShowScanningKey(root, path);
        };
        sink.context = this;
        return sink;
    }

    void AddFinding(const RegistryItem& item, bool scrollIntoView)
    {
        if (stopFlag && stopFlag->load())
            ++afterStop;
        findings.push_back(RecordedFinding{item, scrollIntoView});
        if (stopFlag && stopAfterFindings != 0 && findings.size() == stopAfterFindings)
            *stopFlag = true;
    }

    void ShowScanningKey(RootKey root, const std::string& path)
    {
        if (stopFlag && stopFlag->load())
            ++afterStop;
        walkedKeys.push_back(ShortRootName(root) + ":" + path);
        if (stopFlag && stopAfterKeys != 0 && walkedKeys.size() == stopAfterKeys)
            *stopFlag = true;
    }

    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (const RecordedFinding& finding : findings)
            rows.push_back(DescribeFinding(finding));
        return rows;
    }

    // The rows whose key path contains the fragment, in order.
    std::vector<std::string> RowsContaining(const std::string& fragment) const
    {
        std::vector<std::string> rows;
        for (const RecordedFinding& finding : findings) {
            if (finding.item.keyPath.find(fragment) != std::string::npos)
                rows.push_back(DescribeFinding(finding));
        }
        return rows;
    }
};
