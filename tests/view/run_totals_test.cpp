// The list's totals and the run's summary: sums kept by single row changes,
// and the words the status bar shows for them.
#include "view/run_totals.h"

#include <gtest/gtest.h>

namespace klarex {
namespace {

TEST(RowData, KeepsTheAttributesLowByteAndExactBytes) {
  const uint64_t big = (uint64_t{5} << 40) + 123;  // 5 TB and a bit
  const LPARAM data = RowData(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN, big);
  EXPECT_EQ(RowBytes(data), big);
  EXPECT_TRUE(data & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_GT(data, 0);
  EXPECT_EQ(RowBytes(RowData(0, UINT64_MAX)), (uint64_t{1} << 55) - 1);  // capped, positive
}

TEST(ListTotals, FollowInsertsSelectionsAndRemovals) {
  ListTotals t;
  const uint64_t fourGb = uint64_t{4} << 30;
  t.Insert(fourGb, false);
  t.Insert(fourGb, false);  // 8 GB: past 32 bits
  t.Insert(10, false);
  EXPECT_EQ(t.rows, 3);
  EXPECT_EQ(t.bytes, 2 * fourGb + 10);
  t.Select(fourGb, true);
  t.Select(10, true);
  EXPECT_EQ(t.selectedRows, 2);
  EXPECT_EQ(t.selectedBytes, fourGb + 10);
  t.Remove(10, true);  // a selected row goes: both sums drop
  EXPECT_EQ(t.rows, 2);
  EXPECT_EQ(t.selectedRows, 1);
  EXPECT_EQ(t.selectedBytes, fourGb);
  t.SelectAll(true);
  EXPECT_EQ(t.selectedBytes, 2 * fourGb);
  t.SelectAll(false);
  EXPECT_EQ(t.selectedRows, 0);
  // A change the list reports twice never takes a sum below zero.
  t.Select(fourGb, false);
  t.Remove(3 * fourGb, false);
  t.Remove(0, false);
  t.Remove(0, false);
  EXPECT_EQ(t.rows, 0);
  EXPECT_EQ(t.bytes, 0u);
  EXPECT_EQ(t.selectedBytes, 0u);
}

TEST(ListTotals, TextUsesTheSizeColumnsUnits) {
  ListTotals t;
  EXPECT_EQ(TotalsText(t), L"");
  t.Insert(1500, false);
  EXPECT_EQ(TotalsText(t), L"1 item, 1 KB");
  for (int i = 0; i < 311; ++i) t.Insert(uint64_t{4} << 20, false);
  EXPECT_EQ(TotalsText(t), L"312 items, 1244 MB");
  for (int i = 0; i < 12; ++i) t.Select(uint64_t{4} << 20, true);
  EXPECT_EQ(TotalsText(t), L"312 items, 1244 MB \u00B7 12 selected, 48 MB");
}

TEST(RunSummary, CountsOutcomesAndLeavesOutZeros) {
  RunSummary s;
  EXPECT_EQ(SummaryText(s), L"Nothing was deleted");
  s.Add(DeleteOutcome::Deleted, 2048);
  s.Add(DeleteOutcome::Missing, 0);
  s.Add(DeleteOutcome::LinkRemoved, 0);
  EXPECT_EQ(SummaryText(s), L"Deleted 3 items (2 KB)");
  s.Add(DeleteOutcome::AtRestart, 5000);  // its bytes are not freed yet
  EXPECT_EQ(SummaryText(s), L"Deleted 3 items (2 KB) \u00B7 1 at next restart");
  s.Add(DeleteOutcome::Failed, 7000);
  s.recordFailed = true;
  EXPECT_EQ(SummaryText(s),
            L"Deleted 3 items (2 KB) \u00B7 1 at next restart \u00B7 1 could not be deleted \u00B7 "
            L"The deletion record could not be written");

  RunSummary failedOnly;
  failedOnly.Add(DeleteOutcome::Failed, 1);
  EXPECT_EQ(SummaryText(failedOnly), L"1 could not be deleted");
  RunSummary recycled;
  recycled.recycled = true;
  recycled.Add(DeleteOutcome::Recycled, uint64_t{3} << 20);
  EXPECT_EQ(SummaryText(recycled), L"Moved 1 items to the Recycle Bin (3 MB)");
}

}  // namespace
}  // namespace klarex
