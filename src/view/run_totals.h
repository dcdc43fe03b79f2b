// What the list holds and what a deletion run did, in figures and in the
// status bar's words. The list totals change by O(1) per row change: a row
// carries its bytes in its item data (RowData), so no change re-sums the list.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "sys/operations.h"

namespace klarex {

// A row's item data: the item's attributes in the low byte (the folder bit
// among them), its bytes (the Size column's) above.
LPARAM RowData(DWORD attributes, uint64_t bytes);
uint64_t RowBytes(LPARAM data);

struct ListTotals {
  int64_t rows = 0;
  uint64_t bytes = 0;
  int64_t selectedRows = 0;
  uint64_t selectedBytes = 0;

  void Insert(uint64_t rowBytes, bool selected);
  void Remove(uint64_t rowBytes, bool selected);
  // One row's selection changed.
  void Select(uint64_t rowBytes, bool selected);
  // Every row selected or unselected at once.
  void SelectAll(bool selected);
  void Clear() { *this = {}; }
};

// "312 items, 1433 MB · 12 selected, 48 MB" (sizes as in the Size column);
// empty for an empty list.
std::wstring TotalsText(const ListTotals& totals);

// What one deletion run did.
struct RunSummary {
  int64_t gone = 0;  // deleted, recycled, links removed, already gone
  uint64_t goneBytes = 0;
  int64_t atRestart = 0;
  int64_t failed = 0;
  bool recycled = false;      // the run moved items to the Recycle Bin
  bool recordFailed = false;  // the deletion record could not be written

  void Add(DeleteOutcome outcome, uint64_t bytes);
};

// "Deleted 42 items (1 MB) · 3 at next restart · 1 could not be deleted";
// counts that are zero are left out.
std::wstring SummaryText(const RunSummary& summary);

}  // namespace klarex
