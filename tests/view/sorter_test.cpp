#include <gtest/gtest.h>

#include "view/list_fixture.h"
#include "view/list_sorter.h"

namespace klarex {
namespace {

using Texts = std::vector<std::wstring>;

TEST(SortCompare, TextIsCaseInsensitiveAndNegatedCodeReverses) {
  EXPECT_EQ(CompareColumnTexts(L"C:\\Temp\\a.log", L"c:\\TEMP\\A.LOG", kSortText), 0);
  EXPECT_LT(CompareColumnTexts(L"apple", L"Banana", kSortText), 0);
  EXPECT_GT(CompareColumnTexts(L"apple", L"Banana", -kSortText), 0);
}

TEST(SortCompare, SizeKbBeforeMbWhateverTheNumbers) {
  EXPECT_LT(CompareColumnTexts(L"900 KB", L"1 MB", kSortSize), 0);
  EXPECT_GT(CompareColumnTexts(L"1 MB", L"1023 KB", kSortSize), 0);
  EXPECT_GT(CompareColumnTexts(L"900 KB", L"12 KB", kSortSize), 0);  // not "9" < "1" as text
  EXPECT_LT(CompareColumnTexts(L"2 MB", L"10 MB", kSortSize), 0);
  EXPECT_EQ(CompareColumnTexts(L"0 KB", L"0 KB", kSortSize), 0);
  EXPECT_GT(CompareColumnTexts(L"900 KB", L"1 MB", -kSortSize), 0);
  EXPECT_LT(CompareColumnTexts(L"900 KB", L"12 KB", -kSortSize), 0);
}

TEST(SortCompare, DatesCompareAsDatesNotTexts) {
  // As text "01/..." < "12/...", as dates January 2024 is later than December 2023.
  EXPECT_GT(CompareColumnTexts(L"01/02/2024 10:00", L"12/01/2023 09:00", kSortDate), 0);
  EXPECT_LT(CompareColumnTexts(L"01/02/2024 10:00", L"12/01/2023 09:00", -kSortDate), 0);
  EXPECT_LT(CompareColumnTexts(L"03/04/2024 09:59", L"03/04/2024 10:00", kSortDate), 0);
  EXPECT_EQ(CompareColumnTexts(L"03/04/2024 10:00", L"03/04/2024 10:00", kSortDate), 0);
  // A text that is no date makes the pair equal.
  EXPECT_EQ(CompareColumnTexts(L"", L"03/04/2024 10:00", kSortDate), 0);
  EXPECT_EQ(CompareColumnTexts(L"13/01/2024 10:00", L"03/04/2024 10:00", kSortDate), 0);
}

TEST(SortCompare, DateParserRejectsWhatTheListNeverWrites) {
  long long t = 0;
  EXPECT_TRUE(ParseListDate(L"02/29/2024 23:59", &t));
  EXPECT_TRUE(ParseListDate(L"01/01/1970", &t));
  long long a = 0, b = 0;
  ASSERT_TRUE(ParseListDate(L"12/31/1999 23:59", &a));
  ASSERT_TRUE(ParseListDate(L"01/01/2000 00:00", &b));
  EXPECT_EQ(b - a, 1);
  EXPECT_FALSE(ParseListDate(L"02/29/2023 10:00", &t));  // no leap day
  EXPECT_FALSE(ParseListDate(L"00/10/2023 10:00", &t));
  EXPECT_FALSE(ParseListDate(L"01/10/2023 24:00", &t));
  EXPECT_FALSE(ParseListDate(L"01/10/2023 10:60", &t));
  EXPECT_FALSE(ParseListDate(L"01/10/2023 10:00 junk", &t));
  EXPECT_FALSE(ParseListDate(L"2023-01-10", &t));
  EXPECT_FALSE(ParseListDate(L"", &t));
}

class SorterList : public ::testing::Test {
 protected:
  void SetUp() override {
    list.Add(L"C:\\b.log", L"log file", L"900 KB", L"12/01/2023 09:00", 11);
    list.Add(L"C:\\A.log", L"Folder", L"1 MB", L"01/02/2024 10:00", 22);
    list.Add(L"C:\\c.log", L"File", L"12 KB", L"06/15/2023 18:30", 33);
  }
  test::ListWindow list;
  ListSortState state;
};

TEST_F(SorterList, FileNameFirstClickDescendingWithDownArrowThenAscending) {
  SortByColumnClick(list.Handle(), state, 0);
  EXPECT_EQ(list.Column(0), (Texts{L"C:\\c.log", L"C:\\b.log", L"C:\\A.log"}));
  EXPECT_TRUE(list.HeaderFormat(0) & HDF_SORTDOWN);
  EXPECT_FALSE(list.HeaderFormat(0) & HDF_SORTUP);
  // Each row keeps its own item data.
  EXPECT_EQ(list.Data(0), 33);
  EXPECT_EQ(list.Data(2), 22);

  SortByColumnClick(list.Handle(), state, 0);
  EXPECT_EQ(list.Column(0), (Texts{L"C:\\A.log", L"C:\\b.log", L"C:\\c.log"}));
  EXPECT_TRUE(list.HeaderFormat(0) & HDF_SORTUP);
  EXPECT_FALSE(list.HeaderFormat(0) & HDF_SORTDOWN);
  EXPECT_EQ(list.Data(0), 22);
}

TEST_F(SorterList, FirstClicksPerColumnAndOnlyTheClickedColumnHasAnArrow) {
  SortByColumnClick(list.Handle(), state, 3);  // newest first
  EXPECT_EQ(list.Column(3), (Texts{L"01/02/2024 10:00", L"12/01/2023 09:00", L"06/15/2023 18:30"}));
  EXPECT_TRUE(list.HeaderFormat(3) & HDF_SORTDOWN);

  SortByColumnClick(list.Handle(), state, 2);  // ascending, KB before MB
  EXPECT_EQ(list.Column(2), (Texts{L"12 KB", L"900 KB", L"1 MB"}));
  EXPECT_TRUE(list.HeaderFormat(2) & HDF_SORTUP);
  EXPECT_FALSE(list.HeaderFormat(3) & (HDF_SORTUP | HDF_SORTDOWN));

  SortByColumnClick(list.Handle(), state, 1);  // Type ascending
  EXPECT_EQ(list.Column(1), (Texts{L"File", L"Folder", L"log file"}));
  EXPECT_EQ(state.column, 1);
}

TEST_F(SorterList, RefillReappliesTheLastClickedOrder) {
  ReapplySort(list.Handle(), state);  // nothing clicked yet: order kept
  EXPECT_EQ(list.Column(0), (Texts{L"C:\\b.log", L"C:\\A.log", L"C:\\c.log"}));

  SortByColumnClick(list.Handle(), state, 2);  // Size ascending
  SortByColumnClick(list.Handle(), state, 2);  // Size descending
  ::SendMessageW(list.Handle(), LVM_DELETEALLITEMS, 0, 0);
  list.Add(L"C:\\x", L"File", L"5 KB", L"", 1);
  list.Add(L"C:\\y", L"File", L"7 MB", L"", 2);
  list.Add(L"C:\\z", L"File", L"300 KB", L"", 3);
  ReapplySort(list.Handle(), state);
  EXPECT_EQ(list.Column(2), (Texts{L"7 MB", L"300 KB", L"5 KB"}));
  EXPECT_EQ(list.Data(0), 2);
}

}  // namespace
}  // namespace klarex
