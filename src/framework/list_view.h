// A report-style list-view control seen through typed calls: rows and their
// texts, data and selection, columns and their header, sorting and redraw.
// A value over the HWND, like CWindow; from another thread every call is a
// message the control's own thread answers.
#pragma once
// commctrl.h needs windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <string>
#include <vector>

#include "framework/window.h"

namespace klarex {

class CListView : public CWindow {
 public:
  CListView() = default;
  CListView(HWND list) : CWindow(list) {}  // NOLINT: implicit on purpose, a value wrapper

  // --- Rows --------------------------------------------------------------------------
  int Count() const;
  // Inserts a row at `index` with its first column's text and its icon; the
  // new row's index, or -1.
  int InsertItem(int index, const std::wstring& text, int image, LPARAM data = 0);
  void SetItemText(int row, int column, const std::wstring& text);
  // The row's text in a column, whatever its length (empty for no such row).
  std::wstring ItemText(int row, int column) const;
  int ItemImage(int row) const;
  LPARAM ItemData(int row) const;
  bool SetItemData(int row, LPARAM data);
  bool DeleteItem(int row);
  void DeleteAllItems();
  void EnsureVisible(int row, bool partialOk);
  // The first row in sight, and the row's whole rectangle in client
  // coordinates (false for no such row).
  int TopIndex() const;
  bool RowRect(int row, RECT* rect) const;

  // --- Selection ---------------------------------------------------------------------
  int SelectedCount() const;
  // The first selected row after `row` (-1: from the top); -1 when there is none.
  int NextSelected(int row = -1) const;
  bool IsSelected(int row) const;
  // Selects or unselects one row; row -1 means every row.
  void SetSelected(int row, bool selected);
  // The texts of one column of the selected rows, in list order.
  std::vector<std::wstring> SelectedTexts(int column) const;
  // The selected rows in list order: index, first column's text and item
  // data, read with one question per row.
  struct Row {
    int index;
    std::wstring text;
    LPARAM data;
  };
  std::vector<Row> SelectedRows() const;

  // --- Columns and header ------------------------------------------------------------
  void InsertColumn(int index, const std::wstring& title, int format, int width);
  int ColumnWidth(int column) const;
  // A width in pixels, or LVSCW_AUTOSIZE to fit the contents.
  void SetColumnWidth(int column, int width);
  HWND Header() const;
  int HeaderCount() const;
  std::wstring ColumnTitle(int column) const;
  void SetColumnTitle(int column, const std::wstring& title);
  // The header's sort arrow: up for ascending, down for descending, on one
  // column; every other column's arrow goes.
  void ShowSortArrow(int column, bool ascending);

  // --- Look and order ----------------------------------------------------------------
  void SetExtendedStyle(DWORD mask, DWORD style);
  DWORD ExtendedStyle() const;
  void SetImageList(HIMAGELIST images, int which);
  // Orders the rows by `compare` over their item data.
  void SortItems(PFNLVCOMPARE compare, LPARAM context);
  void SetRedraw(bool on);
};

}  // namespace klarex
