// How a page's worker feeds its result list and status line. Rows and status
// texts are handed to the user-interface thread in small batches, a few
// times a second, instead of one request per row and per key: a request
// costs far more than the row it carries, and nobody can read key paths
// that change thousands of times a second. What the user sees is the same.
#pragma once

#include "win32/WorkerThread.h"
#include "core/RegistryItem.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class RegistryItemList;

class ListFeeder {
public:
    ListFeeder(WorkerThread& worker, RegistryItemList& list, HWND status);
    ListFeeder(const ListFeeder&) = delete;
    ListFeeder& operator=(const ListFeeder&) = delete;

    // Queues a row; rows reach the list in the order they were added.
    void AddRow(const RegistryItem& item, bool scrollIntoView = true);
    // The latest status text; shown at the next hand-over.
    void ShowStatus(std::string text);
    // Hands everything queued to the user-interface thread now.
    void Flush();

private:
    void FlushIfDue();

    WorkerThread& worker_;
    RegistryItemList& list_;
    HWND status_;
    std::vector<std::pair<RegistryItem, bool>> rows_;
    std::string statusText_;
    bool statusPending_ = false;
    DWORD lastHandOver_ = 0;
};
