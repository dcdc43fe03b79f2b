// Faults injected through the deletion seam: each kind at every position of a
// 50-item run. The run always ends, the rows left are exactly the items left,
// the status says what happened, and a second run deletes the rest.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "canary/canary.h"
#include "support/recording_sink.h"
#include "sys/handles.h"
#include "sys/paths.h"
#include "view/delete_worker.h"
#include "view/list_fixture.h"

namespace klarex::test {
namespace {

constexpr int kItems = 50;

enum class Fault { AccessDenied, SharingViolation, PathNotFound, Exception };
// The deletion record's "disk full" joins these once the record is written
// during a run: its write failing must leave the rows as the items are.

const char* Name(Fault f) {
  switch (f) {
    case Fault::AccessDenied:
      return "AccessDenied";
    case Fault::SharingViolation:
      return "SharingViolation";
    case Fault::PathNotFound:
      return "PathNotFound";
    default:
      return "Exception";
  }
}

// The program's operations, except that call number `at` meets the fault.
class FaultyOperations : public IDeleteOperations {
 public:
  FaultyOperations(IDeleteOperations& real, Fault fault, int at)
      : m_real(real), m_fault(fault), m_at(at) {}
  DeleteOutcome DeletePath(const std::wstring& path, bool permanent) override {
    // The other items go the cheap way: the real operations have their own
    // canary cases, this run is about the worker around them.
    if (m_calls++ != m_at) {
      if (!DeleteFileW(path.c_str())) return DeleteOutcome::Failed;
      return permanent ? DeleteOutcome::Deleted : DeleteOutcome::Recycled;
    }
    switch (m_fault) {
      case Fault::AccessDenied:
        SetLastError(ERROR_ACCESS_DENIED);
        return DeleteOutcome::Failed;
      case Fault::SharingViolation: {
        FileHandle held(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
        return m_real.DeletePath(path, permanent);
      }
      case Fault::PathNotFound:
        DeleteFileW(path.c_str());
        return m_real.DeletePath(path, permanent);
      default:
        throw std::runtime_error("injected");
    }
  }
  void Settle() override { m_real.Settle(); }
  int m_calls = 0;

 private:
  IDeleteOperations& m_real;
  Fault m_fault;
  int m_at;
};

class Host : public IDeletionHost, public IStatusSink, public IProgressDisplay {
 public:
  explicit Host(test::ListWindow& list) : m_list(list) {}
  HWND ListWindow() const override { return m_list.Handle(); }
  void ShowSelectionStatus() override { last = L"<selection>"; }
  void OnListEmptied() override { ++emptied; }
  void OnRunSummary(const RunSummary&) override { ++summaries; }
  void SetStatusText(const std::wstring& text) override { last = text; }
  void ShowDeletingStatus(const std::wstring&) override {}
  void ShowProgress(int) override {}
  void HideProgress() override { ++hidden; }
  std::wstring last;
  int emptied = 0, hidden = 0, summaries = 0;

 private:
  test::ListWindow& m_list;
};

bool RunToEnd(CDeletionWorker& worker) {
  for (int i = 0; i < 4000 && worker.IsRunning(); ++i) {
    PumpMessages();
    Sleep(2);
  }
  PumpMessages();
  return !worker.IsRunning();
}

bool IsSelected(HWND list, int row) {
  return ::SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED;
}

class FaultInjection : public ::testing::TestWithParam<std::tuple<Fault, bool>> {};

TEST_P(FaultInjection, EveryPositionEndsWithRowsEqualToItemsAndTheListUsable) {
  const auto& [fault, permanent] = GetParam();
  SecurityState security;
  PrepareSecurityState(security);
  RecordingStatus status;
  CDeleteOperations real(security, status);
  TempDir dir;
  ListWindow list;  // one window for all runs: making one costs more than a run
  for (int at = 0; at < kItems; ++at) {
    SCOPED_TRACE(std::string(Name(fault)) + " at " + std::to_string(at));
    Host host(list);
    // The worker redraws the list after a run; filling it again unpainted saves seconds.
    ::SendMessageW(list.Handle(), WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list.Handle(), LVM_DELETEALLITEMS, 0, 0);
    std::vector<std::wstring> items;
    for (int i = 0; i < kItems; ++i) {
      items.push_back(dir.File(L"f" + std::to_wstring(100 + i) + L".tmp"));
      list.Select(list.Add(items.back()));
    }
    FaultyOperations ops(real, fault, kItems - 1 - at);  // rows go from the last
    std::atomic<bool> busy{false};
    CDeletionWorker worker(host, ops, host, host, busy);
    ASSERT_TRUE(worker.Start(permanent));
    ASSERT_TRUE(RunToEnd(worker)) << "the run did not end";
    EXPECT_FALSE(busy.load());
    EXPECT_TRUE(IsWindowEnabled(list.Handle()));
    EXPECT_EQ(host.hidden, 1);
    EXPECT_EQ(host.summaries, 1) << "every run ends with its summary, faults or not";

    // The rows left are the items left (or registered for restart: no row).
    std::vector<std::wstring> rows = list.Column(0), left;
    for (const std::wstring& item : items)
      if (GetFileAttributesW(item.c_str()) != INVALID_FILE_ATTRIBUTES && !PendingAtRestart(item))
        left.push_back(item);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, left);
    // What is left stays selected and the status line shows the selection;
    // an emptied list says so.
    for (int i = 0; i < list.Count(); ++i) EXPECT_TRUE(IsSelected(list.Handle(), i));
    if (list.Count() > 0) {
      EXPECT_EQ(host.last, L"<selection>");
      EXPECT_EQ(host.emptied, 0);
    } else {
      EXPECT_EQ(host.emptied, 1);
    }
    // Still usable: a second run, without the fault, deletes the rest.
    ops.m_calls = kItems + 1;
    if (list.Count() > 0) {
      ASSERT_TRUE(worker.Start(permanent));
      ASSERT_TRUE(RunToEnd(worker));
      EXPECT_EQ(list.Count(), 0) << "left after the second run";
    }
    ForgetPendingBelow(dir.Path());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultInjection,
    ::testing::Combine(::testing::Values(Fault::AccessDenied, Fault::SharingViolation,
                                         Fault::PathNotFound, Fault::Exception),
                       ::testing::Bool()),
    [](const ::testing::TestParamInfo<std::tuple<Fault, bool>>& param) {
      return std::string(Name(std::get<0>(param.param))) +
             (std::get<1>(param.param) ? "_Permanent" : "_RecycleBin");
    });

}  // namespace
}  // namespace klarex::test
