// Column sorting of the result list. The list sorts the texts it shows, so
// each column has a comparison kind that knows how its text was formatted.
#pragma once
#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "framework/list_view.h"

namespace klarex {

// Comparison kind codes as handed to the list's sort; negated for the reverse order.
enum SortKind : int { kSortText = 2, kSortDate = 3, kSortSize = 6 };

// Sort state of the result list; lives as long as the view and survives refills.
struct ListSortState {
  int column = -1;  // -1 until a header was clicked
  std::array<int, 4> kinds{kSortText, kSortText, kSortSize, kSortDate};
  // The first click sorts File Name and Date Modified descending, Type and Size ascending.
  std::array<bool, 4> nextAscending{false, true, true, false};
};

// Compares two column texts with a signed kind code: negative, zero or positive.
int CompareColumnTexts(const std::wstring& a, const std::wstring& b, int code);

// Parses a Date Modified text as the list writes it ("%m/%d/%Y %H:%M"; the
// time may be missing) into minutes since 1 January of year 0. False when the
// text is no valid date.
bool ParseListDate(const std::wstring& text, long long* minutes);

// While it lives, every row's item data points at a record holding the row's
// text in the sort column; the destructor gives each row its own data back.
class CListSorter {
 public:
  CListSorter(HWND list, int column);
  virtual ~CListSorter();
  CListSorter(const CListSorter&) = delete;
  CListSorter& operator=(const CListSorter&) = delete;

  // Sorts the rows with a signed kind code.
  void Sort(int code);
  static int CALLBACK Compare(LPARAM record1, LPARAM record2, LPARAM code);

 private:
  struct Record {
    LPARAM data;
    std::wstring text;
  };
  CListView m_list;
  std::vector<std::unique_ptr<Record>> m_records;
};

// A click on a column header: sorts in the column's next direction, sets the
// header arrows and flips the direction for the next click.
void SortByColumnClick(HWND list, ListSortState& state, int column);

// After a refill: repeats the last click's order, if any column was clicked.
void ReapplySort(HWND list, const ListSortState& state);

}  // namespace klarex
