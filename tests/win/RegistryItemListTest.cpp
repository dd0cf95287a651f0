// The registry item list in a real owner-data list view: the control shows
// the rows of the model, a sort by column keeps the same rows selected and
// focused wherever they move, and removing rows keeps the selection of the
// others.
#include "win32/WideText.h"
#include "ui/RegistryItemList.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

// A top-level window holding the list, answering its notifications.
class ListWindow {
public:
    ListWindow()
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSW cls = {};
        cls.lpfnWndProc = Procedure;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"QuorvaneItemListTestWindow";
        RegisterClassW(&cls);
        window_ = CreateWindowExW(0, cls.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                                  cls.hInstance, this);
        HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"",
                                    WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0, 0,
                                    580, 360, window_, nullptr, cls.hInstance, nullptr);
        list_.SetUp(list);
    }
    ~ListWindow()
    {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }

    // The key paths of the selected rows, and of the focused one.
    std::multiset<std::string> SelectedPaths() const
    {
        std::multiset<std::string> paths;
        for (int row : list_.SelectedRows())
            paths.insert(list_.CellText(row, 1));
        return paths;
    }
    std::string FocusedPath() const
    {
        const int row = static_cast<int>(
            SendMessageW(list_.Window(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        return row < 0 ? std::string("(none)") : list_.CellText(row, 1);
    }
    std::string Shown(int row, int column) const
    {
        wchar_t text[300] = {};
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text / sizeof text[0];
        SendMessageW(list_.Window(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return NarrowZ(text);
    }
    void Focus(int row)
    {
        LVITEMW item = {};
        item.stateMask = LVIS_FOCUSED;
        item.state = LVIS_FOCUSED;
        SendMessageW(list_.Window(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }

    HWND window_ = nullptr;
    RegistryItemList list_;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<ListWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_NOTIFY) {
            LRESULT result = 0;
            if (self->list_.HandleNotify(reinterpret_cast<NMHDR*>(lParam), result))
                return result;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

RegistryItem Row(const std::string& path, const std::string& data, int image)
{
    RegistryItem item;
    item.rootName = "HKEY_LOCAL_MACHINE";
    item.keyPath = path;
    item.valueName = "Name";
    item.dataText = data;
    item.image = image;
    item.type = 1;
    return item;
}

std::vector<RegistryItem> Rows(int count)
{
    std::vector<RegistryItem> rows;
    // Paths out of order, data in order.
    for (int i = 0; i < count; ++i)
        rows.push_back(Row("Software\\K" + std::to_string((i * 37) % count + 1000), "D" + std::to_string(i + 1000),
                           i % 3));
    return rows;
}

} // namespace

TEST(RegistryItemList, TheControlShowsTheRowsOfTheModel)
{
    ListWindow host;
    host.list_.AppendRows(Rows(50), -1);
    ASSERT_EQ(SendMessageW(host.list_.Window(), LVM_GETITEMCOUNT, 0, 0), 50);
    EXPECT_EQ(host.Shown(0, 0), "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(host.Shown(1, 1), "Software\\K1037");
    EXPECT_EQ(host.Shown(1, 2), "Name");
    EXPECT_EQ(host.Shown(49, 3), "D1049");
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = 2;
    SendMessageW(host.list_.Window(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.iImage, 2);

    // An edited cell shows its new text; the row reads back whole.
    host.list_.SetCellText(1, 3, "edited");
    EXPECT_EQ(host.Shown(1, 3), "edited");
    RegistryItem read;
    ASSERT_TRUE(host.list_.ReadRow(1, read));
    EXPECT_EQ(read.keyPath, "Software\\K1037");
    EXPECT_EQ(read.dataText, "edited");
    EXPECT_EQ(read.image, 1);
    EXPECT_FALSE(host.list_.ReadRow(50, read));

    host.list_.Clear();
    EXPECT_EQ(SendMessageW(host.list_.Window(), LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(host.list_.RowCount(), 0);
}

TEST(RegistryItemList, ASortKeepsTheSelectedAndFocusedRowsAndFlipsItsDirection)
{
    ListWindow host;
    host.list_.AppendRows(Rows(200), -1);
    for (int row : {3, 4, 5, 90, 150, 199})
        host.list_.SetSelected(row, true);
    host.Focus(90);
    const std::multiset<std::string> selected = host.SelectedPaths();
    const std::string focused = host.FocusedPath();
    ASSERT_EQ(selected.size(), 6u);

    for (int column : {1, 3, 1}) {
        const bool descending = RegistryItemList::SortDescending();
        host.list_.SortByColumn(column);
        EXPECT_NE(RegistryItemList::SortDescending(), descending);
        for (int row = 1; row < host.list_.RowCount(); ++row) {
            const std::string before = host.Shown(row - 1, column);
            const std::string after = host.Shown(row, column);
            EXPECT_TRUE(descending ? before >= after : before <= after) << row << ": " << before << ", " << after;
        }
        EXPECT_EQ(host.SelectedPaths(), selected);
        EXPECT_EQ(host.FocusedPath(), focused);
        EXPECT_EQ(host.list_.SelectedCount(), 6);
    }

    // With every row selected the selection stays whole, and with none
    // selected none gets selected; the focus follows its row either way.
    host.list_.SelectAll();
    host.list_.SortByColumn(3);
    EXPECT_EQ(host.list_.SelectedCount(), 200);
    EXPECT_EQ(host.FocusedPath(), focused);
    host.list_.SelectNone();
    host.list_.SortByColumn(1);
    EXPECT_EQ(host.list_.SelectedCount(), 0);
    EXPECT_EQ(host.FocusedPath(), focused);
}

TEST(RegistryItemList, RemovingRowsKeepsTheOthersWithTheirSelection)
{
    ListWindow host;
    host.list_.AppendRows(Rows(30), -1);
    for (int row : {2, 10, 20, 29})
        host.list_.SetSelected(row, true);
    host.Focus(20);
    const std::string keptSelected1 = host.list_.CellText(2, 1);
    const std::string keptSelected2 = host.list_.CellText(20, 1);
    const std::string gone = host.list_.CellText(10, 1);
    std::vector<std::string> expected;
    for (int row = 0; row < 30; ++row) {
        if (row != 0 && row != 10 && row != 29)
            expected.push_back(host.list_.CellText(row, 1));
    }

    host.list_.RemoveRows({29, 0, 10, 10, 77});
    ASSERT_EQ(host.list_.RowCount(), 27);
    ASSERT_EQ(SendMessageW(host.list_.Window(), LVM_GETITEMCOUNT, 0, 0), 27);
    for (int row = 0; row < 27; ++row)
        EXPECT_EQ(host.Shown(row, 1), expected[static_cast<std::size_t>(row)]);
    EXPECT_EQ(host.SelectedPaths(), (std::multiset<std::string>{keptSelected1, keptSelected2}));
    EXPECT_EQ(host.FocusedPath(), keptSelected2);
    EXPECT_EQ(std::count(expected.begin(), expected.end(), gone), 0);

    host.list_.RemoveRow(0);
    EXPECT_EQ(host.list_.RowCount(), 26);

    // A focused row that goes takes the focus with it; a whole selection
    // stays whole.
    host.list_.SelectAll();
    host.Focus(25);
    host.list_.RemoveRows({25, 3});
    EXPECT_EQ(host.list_.RowCount(), 24);
    EXPECT_EQ(host.list_.SelectedCount(), 24);
    EXPECT_EQ(host.FocusedPath(), "(none)");
}
