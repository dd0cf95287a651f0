// The rows of a result list: appending keeps order and tags, removing keeps
// the right rows, cells change in place, and a sort by column orders the
// texts character by character in the code page (double-byte characters
// whole), in both directions, keeping equal rows in their order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ResultRows.h"
#include "tests/support/MemoryPlatform.h"

namespace {

RegistryItem Row(const std::string& root, const std::string& path, const std::string& name = "Value",
                 const std::string& data = "C:\\gone.exe")
{
    RegistryItem item;
    item.rootName = root;
    item.keyPath = path;
    item.valueName = name;
    item.dataText = data;
    item.image = 2;
    item.type = kRegSz;
    return item;
}

std::vector<std::string> Column(const ResultRows& rows, int column)
{
    std::vector<std::string> texts;
    for (std::size_t row = 0; row < rows.Count(); ++row)
        texts.emplace_back(rows.Cell(row, column));
    return texts;
}

using Texts = std::vector<std::string>;

} // namespace

TEST(ResultRows, AppendedRowsComeBackWholeInOrderWithTheirTags)
{
    ResultRows rows;
    rows.Append(Row("HKEY_CURRENT_USER", "Software\\A", "Name", "Data"));
    RegistryItem key = Row("HKEY_LOCAL_MACHINE", "Software\\B", "", "");
    key.type = kKeyRowType;
    key.image = 1;
    rows.Append(std::vector<RegistryItem>{key, Row("HKEY_CURRENT_USER", "Software\\C")});
    ASSERT_EQ(rows.Count(), 3u);

    const RegistryItem first = rows.Item(0);
    EXPECT_EQ(first.rootName, "HKEY_CURRENT_USER");
    EXPECT_EQ(first.keyPath, "Software\\A");
    EXPECT_EQ(first.valueName, "Name");
    EXPECT_EQ(first.dataText, "Data");
    EXPECT_EQ(first.image, 2);
    EXPECT_EQ(first.type, static_cast<std::int32_t>(kRegSz));
    EXPECT_EQ(rows.Item(1).rootName, "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(rows.Image(1), 1);
    EXPECT_EQ(rows.Tag(1).type, kKeyRowType);
    EXPECT_EQ(Column(rows, 1), (Texts{"Software\\A", "Software\\B", "Software\\C"}));
    for (std::size_t row = 0; row < 3; ++row)
        EXPECT_EQ(rows.Tag(row).index, static_cast<std::int32_t>(row));

    // Out of range: empty, never a crash.
    EXPECT_EQ(rows.Cell(3, 0), "");
    EXPECT_EQ(rows.Cell(0, 4), "");
    EXPECT_EQ(rows.Item(7).keyPath, "");
}

TEST(ResultRows, RemovingKeepsTheOtherRowsInOrderAndTagsCountRowsAtTheirAdding)
{
    ResultRows rows;
    for (int i = 0; i < 6; ++i)
        rows.Append(Row("HKEY_CURRENT_USER", "Key" + std::to_string(i)));
    // Any order, a repeat and a position out of range.
    rows.Remove({4, 1, 4, 99});
    EXPECT_EQ(Column(rows, 1), (Texts{"Key0", "Key2", "Key3", "Key5"}));
    EXPECT_EQ(rows.Tag(3).index, 5);

    rows.Append(Row("HKEY_USERS", "Key6"));
    EXPECT_EQ(rows.Tag(4).index, 4);
    EXPECT_EQ(rows.Item(4).rootName, "HKEY_USERS");

    rows.Remove({});
    EXPECT_EQ(rows.Count(), 5u);
    rows.Remove({0, 1, 2, 3, 4});
    EXPECT_EQ(rows.Count(), 0u);
    rows.Append(Row("HKEY_CURRENT_USER", "After"));
    EXPECT_EQ(rows.Item(0).keyPath, "After");
}

TEST(ResultRows, TextsSurviveTheCompactionThatFollowsLargeRemovals)
{
    ResultRows rows;
    const std::string data(300, 'd');
    for (int i = 0; i < 5000; ++i)
        rows.Append(Row("HKEY_LOCAL_MACHINE", "Software\\Key" + std::to_string(i), "V" + std::to_string(i), data));
    const std::size_t before = rows.TextBytes();
    std::vector<std::size_t> gone;
    for (std::size_t row = 0; row < 5000; ++row) {
        if (row % 10 != 3)
            gone.push_back(row);
    }
    rows.Remove(gone);
    ASSERT_EQ(rows.Count(), 500u);
    EXPECT_LT(rows.TextBytes(), before / 2);
    for (std::size_t row = 0; row < rows.Count(); ++row) {
        const int i = static_cast<int>(row) * 10 + 3;
        EXPECT_EQ(rows.Item(row).keyPath, "Software\\Key" + std::to_string(i));
        EXPECT_EQ(rows.Item(row).valueName, "V" + std::to_string(i));
        EXPECT_EQ(rows.Item(row).dataText, data);
        EXPECT_EQ(rows.Item(row).rootName, "HKEY_LOCAL_MACHINE");
    }
}

TEST(ResultRows, ACellChangesAloneAndRepeatedEditsDoNotGrowWithoutBound)
{
    ResultRows rows;
    rows.Append(Row("HKEY_CURRENT_USER", "Software\\A", "Old", "old data"));
    rows.Append(Row("HKEY_CURRENT_USER", "Software\\B"));
    rows.SetCell(0, 2, "New");
    rows.SetCell(0, 3, "new data");
    EXPECT_EQ(rows.Item(0).rootName, "HKEY_CURRENT_USER");
    EXPECT_EQ(rows.Item(0).keyPath, "Software\\A");
    EXPECT_EQ(rows.Item(0).valueName, "New");
    EXPECT_EQ(rows.Item(0).dataText, "new data");
    EXPECT_EQ(rows.Item(1).keyPath, "Software\\B");
    rows.SetCell(1, 0, "HKEY_CLASSES_ROOT");
    EXPECT_EQ(rows.Item(1).rootName, "HKEY_CLASSES_ROOT");
    EXPECT_EQ(rows.Item(0).rootName, "HKEY_CURRENT_USER");

    const std::string long_data(1000, 'x');
    for (int i = 0; i < 3000; ++i)
        rows.SetCell(0, 3, long_data + std::to_string(i));
    EXPECT_EQ(rows.Item(0).dataText, long_data + "2999");
    EXPECT_LT(rows.TextBytes(), 1024u * 1024u);
}

TEST(ResultRows, RootNamesAreStoredOnceAndAnyNumberOfThemRoundTrips)
{
    ResultRows rows;
    std::size_t cellBytes = 0;
    for (int i = 0; i < 1000; ++i) {
        const RegistryItem item = Row(i % 2 ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER", "Key" + std::to_string(i));
        cellBytes += item.keyPath.size() + item.valueName.size() + item.dataText.size();
        rows.Append(item);
    }
    // The two root names take no room per row.
    EXPECT_EQ(rows.TextBytes(), cellBytes);

    // Far more distinct names than any registry has still come back.
    for (int i = 0; i < 200; ++i)
        rows.Append(Row("ROOT" + std::to_string(i), "Key"));
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(rows.Item(1000 + static_cast<std::size_t>(i)).rootName, "ROOT" + std::to_string(i));
    rows.SetCell(1199, 0, "HKEY_USERS");
    EXPECT_EQ(rows.Item(1199).rootName, "HKEY_USERS");
    rows.SetCell(0, 0, "ROOT199");
    EXPECT_EQ(rows.Item(0).rootName, "ROOT199");
}

TEST(ResultRows, SortOrdersBothDirectionsStablyAndTellsWhereEachRowWent)
{
    ResultRows rows;
    // Column 3 holds where each row was added, to see the order of equal rows.
    const Texts paths = {"b", "a", "B", "c", "a", "", "ab"};
    for (std::size_t i = 0; i < paths.size(); ++i)
        rows.Append(Row("HKEY_CURRENT_USER", paths[i], "", std::to_string(i)));

    const std::vector<std::size_t> moved = rows.SortByColumn(1, true);
    // Greatest first by unsigned bytes; upper case before lower case.
    EXPECT_EQ(Column(rows, 1), (Texts{"c", "b", "ab", "a", "a", "B", ""}));
    EXPECT_EQ(Column(rows, 3), (Texts{"3", "0", "6", "1", "4", "2", "5"}));
    ASSERT_EQ(moved.size(), paths.size());
    for (std::size_t old = 0; old < moved.size(); ++old)
        EXPECT_EQ(rows.Cell(moved[old], 3), std::to_string(old));

    rows.SortByColumn(1, false);
    EXPECT_EQ(Column(rows, 1), (Texts{"", "B", "a", "a", "ab", "b", "c"}));
    // The equal rows keep the order the previous sort left them in.
    EXPECT_EQ(Column(rows, 3), (Texts{"5", "2", "1", "4", "6", "0", "3"}));

    // A column that does not exist leaves the order alone.
    const std::vector<std::size_t> same = rows.SortByColumn(9, true);
    EXPECT_EQ(Column(rows, 3), (Texts{"5", "2", "1", "4", "6", "0", "3"}));
    for (std::size_t old = 0; old < same.size(); ++old)
        EXPECT_EQ(same[old], old);
}

TEST(ResultRows, SortComparesBytesAboveTheAsciiRangeUnsignedAndOnlyTheFirstBytes)
{
    ResultRows rows;
    const std::string common(kSortedTextLength, 'k');
    rows.Append(Row("HKEY_CURRENT_USER", common + "z", "", "0"));
    rows.Append(Row("HKEY_CURRENT_USER", "\xE9t\xE9", "", "1"));
    rows.Append(Row("HKEY_CURRENT_USER", common + "a", "", "2"));
    rows.Append(Row("HKEY_CURRENT_USER", "zebra", "", "3"));
    rows.SortByColumn(1, false);
    // Texts equal in their first bytes count as equal and keep their order.
    EXPECT_EQ(Column(rows, 3), (Texts{"0", "2", "3", "1"}));
}

TEST(ResultRows, SortFollowsCodePointOrder)
{
    // The unsigned bytes of UTF-8 sort as the code points do: a character
    // beyond U+FFFF after every other one (UTF-16 units would put it before
    // U+E000 to U+FFFF), a lone surrogate where its own number puts it.
    const Texts texts = {"😀", "\uFF21", "Я", "A", "\xED\xA0\x80", "é", "ソ", "Яa"};
    ResultRows rows;
    for (const std::string& text : texts)
        rows.Append(Row("HKEY_CURRENT_USER", text));
    rows.SortByColumn(1, false);
    EXPECT_EQ(Column(rows, 1),
              (Texts{"A", "é", "Я", "Яa", "ソ", "\xED\xA0\x80", "\uFF21", "😀"}));
}
