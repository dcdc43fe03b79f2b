// The list-view wrapper on a real report list: texts of any length, row data,
// selection, and the header's titles and sort arrows.
#include "framework/list_view.h"

#include <gtest/gtest.h>

namespace klarex {
namespace {

class ListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_OVERLAPPEDWINDOW | LVS_REPORT, 0, 0, 600, 400,
                             nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(list.IsWindow());
    list.InsertColumn(0, L"File Name", LVCFMT_LEFT, 200);
    list.InsertColumn(1, L"Type", LVCFMT_CENTER, 100);
  }
  void TearDown() override { ::DestroyWindow(list); }

  CListView list;
};

TEST_F(ListViewTest, TextsOfAnyLengthDataAndRemoval) {
  const std::wstring longPath = L"C:\\" + std::wstring(5000, L'p');
  EXPECT_EQ(list.InsertItem(0, L"C:\\a.tmp", 1, 7), 0);
  EXPECT_EQ(list.InsertItem(1, longPath, 2), 1);
  list.SetItemText(0, 1, L"Text Document");
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.ItemText(1, 0), longPath);  // beyond any first buffer
  EXPECT_EQ(list.ItemText(0, 1), L"Text Document");
  EXPECT_EQ(list.ItemText(5, 0), L"");
  EXPECT_EQ(list.ItemImage(1), 2);
  EXPECT_EQ(list.ItemData(0), 7);
  EXPECT_TRUE(list.SetItemData(0, 9));
  EXPECT_EQ(list.ItemData(0), 9);
  EXPECT_TRUE(list.DeleteItem(0));
  EXPECT_EQ(list.ItemText(0, 0), longPath);
  list.DeleteAllItems();
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(ListViewTest, SelectionOneByOneAndAllAtOnce) {
  for (int i = 0; i < 4; ++i) list.InsertItem(i, L"row" + std::to_wstring(i), 1);
  list.SetSelected(1, true);
  list.SetSelected(3, true);
  EXPECT_EQ(list.SelectedCount(), 2);
  EXPECT_EQ(list.NextSelected(), 1);
  EXPECT_EQ(list.NextSelected(1), 3);
  EXPECT_EQ(list.NextSelected(3), -1);
  EXPECT_TRUE(list.IsSelected(3));
  EXPECT_FALSE(list.IsSelected(2));
  EXPECT_EQ(list.SelectedTexts(0), (std::vector<std::wstring>{L"row1", L"row3"}));
  list.SetSelected(-1, true);
  EXPECT_EQ(list.SelectedCount(), 4);
  list.SetSelected(-1, false);
  EXPECT_EQ(list.SelectedCount(), 0);
}

TEST_F(ListViewTest, HeaderTitlesAndOneSortArrow) {
  EXPECT_EQ(list.HeaderCount(), 2);
  EXPECT_EQ(list.ColumnTitle(1), L"Type");
  list.SetColumnTitle(0, std::wstring(300, L't'));
  EXPECT_EQ(list.ColumnTitle(0), std::wstring(260, L't'));  // cut to the header's limit
  auto format = [&](int column) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    ::SendMessageW(list.Header(), HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
  };
  list.ShowSortArrow(0, true);
  EXPECT_EQ(format(0), HDF_SORTUP);
  EXPECT_EQ(format(1), 0);
  list.ShowSortArrow(1, false);
  EXPECT_EQ(format(0), 0);
  EXPECT_EQ(format(1), HDF_SORTDOWN);
  list.SetColumnWidth(1, 77);
  EXPECT_EQ(list.ColumnWidth(1), 77);
}

}  // namespace
}  // namespace klarex
