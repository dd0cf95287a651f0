// The rows of a result list (the cleaner's findings, the search's hits) as
// the list shows them, kept compactly: a list may hold a few hundred thousand
// rows. The texts of all rows live in large shared pages instead of four
// strings per row, and the root key's name is an index into a short table of
// the names seen. Rows keep the order they were appended in until they are
// sorted. Platform-free.
#pragma once

#include "core/Platform.h"
#include "core/RegistryItem.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Cells are compared on their first 259 bytes of UTF-8 (and up to a zero byte) when
// rows are sorted.
constexpr std::size_t kSortedTextLength = 259;

class ResultRows {
public:
    // The columns: root key, key path, value name, data.
    static constexpr int kColumnCount = 4;

    ResultRows() = default;
    ResultRows(const ResultRows&) = delete;
    ResultRows& operator=(const ResultRows&) = delete;

    std::size_t Count() const { return rows_.size(); }

    // Appends rows at the end, in order. Each row's tag records the row
    // count at the moment it was added.
    void Append(const RegistryItem& item);
    void Append(const std::vector<RegistryItem>& items);
    // Removes the rows at the given positions (any order; positions out of
    // range and repeats are ignored); the others keep their order.
    void Remove(const std::vector<std::size_t>& positions);
    void Clear();

    // A row as it was appended (with any cell changed since). Rows out of
    // range give an empty item.
    RegistryItem Item(std::size_t row) const;
    RowTag Tag(std::size_t row) const;
    int Image(std::size_t row) const;
    // A cell's text; valid until the rows are next changed. Empty out of range.
    std::string_view Cell(std::size_t row, int column) const;
    void SetCell(std::size_t row, int column, std::string_view text);

    // Sorts the rows by a column's text in the order of its characters' code
    // points (the order of the UTF-8 bytes), greatest first when `descending`
    // is set; rows with equal cells keep their order. Returns, for each row's
    // position before the sort, its position after.
    std::vector<std::size_t> SortByColumn(int column, bool descending);

    // Bytes the row texts occupy, with what removed rows left behind.
    std::size_t TextBytes() const;

private:
    // The texts of one row lie back to back in one page: the root's name
    // (only when it is not in the table), key path, value name, data.
    struct Row {
        std::uint32_t page;
        std::uint32_t offset;
        std::array<std::uint32_t, kColumnCount> length;
        std::int32_t index;
        std::int32_t type;
        std::int32_t image;
        std::uint32_t root; // index in rootNames_, or kRootInPage
    };
    static constexpr std::uint32_t kRootInPage = 0xFFFFFFFFu;

    Row Store(const std::array<std::string_view, kColumnCount>& cells, std::int32_t index, std::int32_t type,
              std::int32_t image);
    std::uint32_t RootIndex(std::string_view name);
    std::array<std::string_view, kColumnCount> Cells(const Row& row) const;
    // Copies the live texts into new pages once removed rows left more
    // behind than the live rows use.
    void CompactIfWasteful();

    struct Page {
        std::unique_ptr<char[]> bytes;
        std::size_t capacity = 0;
        std::size_t used = 0;
    };
    std::vector<Row> rows_;
    std::vector<Page> pages_;
    std::vector<std::string> rootNames_;
    std::size_t deadBytes_ = 0;
};
