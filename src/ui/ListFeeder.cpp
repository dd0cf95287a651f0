// How a page's worker feeds its result list and status line (see ListFeeder.h).
#include "ui/ListFeeder.h"

#include "ui/RegistryItemList.h"

namespace {
// Longest time a row or status text waits before it is handed over.
constexpr DWORD kHandOverMs = 50;
// Most rows handed over at once.
constexpr std::size_t kRowsPerHandOver = 256;
} // namespace

ListFeeder::ListFeeder(WorkerThread& worker, RegistryItemList& list, HWND status)
    : worker_(worker), list_(list), status_(status), lastHandOver_(GetTickCount())
{
}

void ListFeeder::AddRow(const RegistryItem& item, bool scrollIntoView)
{
    rows_.emplace_back(item, scrollIntoView);
    if (rows_.size() >= kRowsPerHandOver)
        Flush();
    else
        FlushIfDue();
}

void ListFeeder::ShowStatus(std::string text)
{
    statusText_ = std::move(text);
    statusPending_ = true;
    FlushIfDue();
}

void ListFeeder::FlushIfDue()
{
    if (GetTickCount() - lastHandOver_ >= kHandOverMs)
        Flush();
}

void ListFeeder::Flush()
{
    lastHandOver_ = GetTickCount();
    if (rows_.empty() && !statusPending_)
        return;
    worker_.Run([&] {
        for (const auto& row : rows_)
            list_.AddRow(row.first, row.second);
        if (statusPending_ && status_)
            SetWindowTextA(status_, statusText_.c_str());
    });
    rows_.clear();
    statusPending_ = false;
}
