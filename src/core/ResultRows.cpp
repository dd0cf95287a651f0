// The rows of a result list (see ResultRows.h).
#include "core/ResultRows.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {

// Row texts are stored in pages of this size; a row whose texts are longer
// gets a page of its own.
constexpr std::size_t kPageBytes = 256 * 1024;
// A cell keeps at most this many bytes; no list shows more of a cell.
constexpr std::size_t kMaxCellBytes = 16 * 1024 * 1024;
// Root names beyond this many distinct ones are stored with their rows.
constexpr std::size_t kMaxRootNames = 64;

std::string_view Limited(std::string_view text)
{
    return text.substr(0, std::min(text.size(), kMaxCellBytes));
}

// What a sort compares of a cell: its first bytes, up to a zero byte.
std::string_view SortedPart(std::string_view text)
{
    text = text.substr(0, std::min(text.size(), kSortedTextLength));
    const std::size_t zero = text.find('\0');
    return zero == std::string_view::npos ? text : text.substr(0, zero);
}

} // namespace

void ResultRows::Append(const RegistryItem& item)
{
    const std::uint32_t root = RootIndex(item.rootName);
    std::array<std::string_view, kColumnCount> cells = {item.rootName, item.keyPath, item.valueName, item.dataText};
    if (root != kRootInPage)
        cells[0] = std::string_view();
    Row row = Store(cells, static_cast<std::int32_t>(rows_.size()), item.type, item.image);
    row.root = root;
    rows_.push_back(row);
}

void ResultRows::Append(const std::vector<RegistryItem>& items)
{
    for (const RegistryItem& item : items)
        Append(item);
}

void ResultRows::Remove(const std::vector<std::size_t>& positions)
{
    std::vector<bool> removed(rows_.size(), false);
    bool any = false;
    for (std::size_t position : positions) {
        if (position < rows_.size() && !removed[position]) {
            removed[position] = true;
            any = true;
        }
    }
    if (!any)
        return;
    std::size_t kept = 0;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (removed[row]) {
            for (std::uint32_t length : rows_[row].length)
                deadBytes_ += length;
        } else {
            rows_[kept++] = rows_[row];
        }
    }
    rows_.resize(kept);
    if (rows_.empty())
        Clear();
    else
        CompactIfWasteful();
}

void ResultRows::Clear()
{
    std::vector<Row>().swap(rows_);
    std::vector<Page>().swap(pages_);
    rootNames_.clear();
    deadBytes_ = 0;
}

RegistryItem ResultRows::Item(std::size_t row) const
{
    RegistryItem item;
    if (row >= rows_.size())
        return item;
    const auto cells = Cells(rows_[row]);
    item.rootName.assign(cells[0]);
    item.keyPath.assign(cells[1]);
    item.valueName.assign(cells[2]);
    item.dataText.assign(cells[3]);
    item.image = rows_[row].image;
    item.type = rows_[row].type;
    return item;
}

RowTag ResultRows::Tag(std::size_t row) const
{
    if (row >= rows_.size())
        return RowTag{};
    return RowTag{rows_[row].index, rows_[row].type};
}

int ResultRows::Image(std::size_t row) const
{
    return row < rows_.size() ? rows_[row].image : 0;
}

std::string_view ResultRows::Cell(std::size_t row, int column) const
{
    if (row >= rows_.size() || column < 0 || column >= kColumnCount)
        return std::string_view();
    return Cells(rows_[row])[static_cast<std::size_t>(column)];
}

void ResultRows::SetCell(std::size_t row, int column, std::string_view text)
{
    if (row >= rows_.size() || column < 0 || column >= kColumnCount)
        return;
    Row& old = rows_[row];
    // Page bytes never move, so the views stay valid while the row is
    // stored anew.
    auto cells = Cells(old);
    cells[static_cast<std::size_t>(column)] = text;
    std::uint32_t root = old.root;
    if (column == 0)
        root = RootIndex(text);
    if (root != kRootInPage)
        cells[0] = std::string_view();
    for (std::uint32_t length : old.length)
        deadBytes_ += length;
    Row stored = Store(cells, old.index, old.type, old.image);
    stored.root = root;
    rows_[row] = stored;
    CompactIfWasteful();
}

std::vector<std::size_t> ResultRows::SortByColumn(int column, bool descending)
{
    const std::size_t count = rows_.size();
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (column < 0 || column >= kColumnCount)
        return order;
    std::vector<std::string_view> keys(count);
    for (std::size_t row = 0; row < count; ++row)
        keys[row] = SortedPart(Cells(rows_[row])[static_cast<std::size_t>(column)]);
    // UTF-8 sorts by code point when its bytes are compared unsigned, as
    // the views' comparison does.
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int c = keys[a].compare(keys[b]);
        return descending ? c > 0 : c < 0;
    });
    std::vector<Row> sorted;
    sorted.reserve(count);
    std::vector<std::size_t> newPosition(count);
    for (std::size_t position = 0; position < count; ++position) {
        sorted.push_back(rows_[order[position]]);
        newPosition[order[position]] = position;
    }
    rows_.swap(sorted);
    return newPosition;
}

std::size_t ResultRows::TextBytes() const
{
    std::size_t bytes = 0;
    for (const Page& page : pages_)
        bytes += page.used;
    return bytes;
}

ResultRows::Row ResultRows::Store(const std::array<std::string_view, kColumnCount>& cells, std::int32_t index,
                                  std::int32_t type, std::int32_t image)
{
    Row row = {};
    std::size_t total = 0;
    for (std::size_t column = 0; column < cells.size(); ++column) {
        row.length[column] = static_cast<std::uint32_t>(Limited(cells[column]).size());
        total += row.length[column];
    }
    if (pages_.empty() || pages_.back().capacity - pages_.back().used < total) {
        Page page;
        page.capacity = std::max(kPageBytes, total);
        page.bytes.reset(new char[page.capacity]);
        pages_.push_back(std::move(page));
    }
    Page& page = pages_.back();
    row.page = static_cast<std::uint32_t>(pages_.size() - 1);
    row.offset = static_cast<std::uint32_t>(page.used);
    for (std::size_t column = 0; column < cells.size(); ++column) {
        if (row.length[column] > 0)
            std::memcpy(page.bytes.get() + page.used, cells[column].data(), row.length[column]);
        page.used += row.length[column];
    }
    row.index = index;
    row.type = type;
    row.image = image;
    row.root = kRootInPage;
    return row;
}

std::uint32_t ResultRows::RootIndex(std::string_view name)
{
    for (std::size_t index = 0; index < rootNames_.size(); ++index) {
        if (rootNames_[index] == name)
            return static_cast<std::uint32_t>(index);
    }
    if (rootNames_.size() >= kMaxRootNames || name.size() > kMaxCellBytes)
        return kRootInPage;
    rootNames_.emplace_back(name);
    return static_cast<std::uint32_t>(rootNames_.size() - 1);
}

std::array<std::string_view, ResultRows::kColumnCount> ResultRows::Cells(const Row& row) const
{
    std::array<std::string_view, kColumnCount> cells;
    const char* text = pages_[row.page].bytes.get() + row.offset;
    for (std::size_t column = 0; column < cells.size(); ++column) {
        cells[column] = std::string_view(text, row.length[column]);
        text += row.length[column];
    }
    if (row.root != kRootInPage)
        cells[0] = rootNames_[row.root];
    return cells;
}

void ResultRows::CompactIfWasteful()
{
    const std::size_t used = TextBytes();
    const std::size_t live = used - std::min(used, deadBytes_);
    if (deadBytes_ < kPageBytes || deadBytes_ < live)
        return;
    std::vector<Page> oldPages;
    oldPages.swap(pages_);
    deadBytes_ = 0;
    // The old pages stay alive until every row has been copied.
    const auto cellsIn = [&oldPages, this](const Row& row) {
        std::array<std::string_view, kColumnCount> cells;
        const char* text = oldPages[row.page].bytes.get() + row.offset;
        for (std::size_t column = 0; column < cells.size(); ++column) {
            cells[column] = std::string_view(text, row.length[column]);
            text += row.length[column];
        }
        return cells;
    };
    for (Row& row : rows_) {
        const std::uint32_t root = row.root;
        row = Store(cellsIn(row), row.index, row.type, row.image);
        row.root = root;
    }
}
