#include "view/delete_worker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "framework/list_view.h"
#include "support/temp_dir.h"
#include "sys/handles.h"
#include "view/list_fixture.h"

namespace klarex {
namespace {

using test::PumpMessages;

bool IsSelected(const test::ListWindow& list, int row) {
  return ::SendMessageW(list.Handle(), LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED;
}

// Records what the worker asks of the file system; optionally slow. Items are
// deleted unless `outcomes` says otherwise; `throwAt` makes DeletePath throw.
class RecordingOperations : public IDeleteOperations {
 public:
  DeleteOutcome DeletePath(const std::wstring& path, bool permanent) override {
    Log((permanent ? L"delete " : L"recycle ") + path);
    if (delay.count()) std::this_thread::sleep_for(delay);
    if (path == slowAt) std::this_thread::sleep_for(slowDelay);
    if (path == throwAt && thrower) thrower();
    Log(L"done " + path);
    const auto outcome = outcomes.find(path);
    return outcome == outcomes.end() ? DeleteOutcome::Deleted : outcome->second;
  }
  void Settle() override { Log(L"settle"); }
  std::vector<std::wstring> Calls() {
    std::lock_guard<std::mutex> lock(m);
    return calls;
  }
  std::chrono::milliseconds delay{0};
  std::wstring slowAt;  // this one item takes slowDelay more
  std::chrono::milliseconds slowDelay{0};
  std::map<std::wstring, DeleteOutcome> outcomes;
  std::wstring throwAt;
  std::function<void()> thrower;

 private:
  void Log(const std::wstring& s) {
    std::lock_guard<std::mutex> lock(m);
    calls.push_back(s);
  }
  std::mutex m;
  std::vector<std::wstring> calls;
};

// Stands in for the view: the list, the status line and the cleaning modes.
class FakeHost : public IDeletionHost, public IStatusSink, public IProgressDisplay {
 public:
  explicit FakeHost(test::ListWindow& list) : m_list(list) {}
  HWND ListWindow() const override { return m_list.Handle(); }
  void ShowSelectionStatus() override { status.push_back(L"<selection>"); }
  void SetStatusText(const std::wstring& text) override { status.push_back(text); }
  void ShowDeletingStatus(const std::wstring& path) override { deleting.push_back(path); }
  void ShowProgress(int percent) override { progress.push_back(percent); }
  void HideProgress() override { ++hides; }
  void OnListEmptied() override {
    ++emptied;
    if (refill) m_list.Add(L"C:\\refilled");
  }
  void OnRunSummary(const RunSummary& summary) override { summaries.push_back(summary); }

  bool refill = false;
  int emptied = 0;
  std::vector<std::wstring> status, deleting;
  std::vector<int> progress;
  std::vector<RunSummary> summaries;
  int hides = 0;

 private:
  test::ListWindow& m_list;
};

// The list's parent hands LVN_ITEMCHANGED on to the worker, as the view does.
WNDPROC g_staticProc = nullptr;
LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == LVN_ITEMCHANGED) {
    HWND list = reinterpret_cast<NMHDR*>(lp)->hwndFrom;
    auto* w = reinterpret_cast<CDeletionWorker*>(::GetWindowLongPtrW(list, GWLP_USERDATA));
    if (w && w->IsBusy()) w->OnItemChanged(reinterpret_cast<NMLISTVIEW*>(lp));
  }
  return ::CallWindowProcW(g_staticProc, hwnd, msg, wp, lp);
}
HWND MakeParent() {
  HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                                  nullptr, ::GetModuleHandleW(nullptr), nullptr);
  g_staticProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ParentProc)));
  return parent;
}

class DeletionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::SetWindowLongPtrW(list.Handle(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&worker));
    m_previous = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        list.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DeletionTest::Proc)));
    s_previous = m_previous;
  }
  void TearDown() override {
    worker.Shutdown();
    if (::IsWindow(list.Handle())) {
      ::SetWindowLongPtrW(list.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
    }
    ::DestroyWindow(parent);
  }
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* w = reinterpret_cast<CDeletionWorker*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_DESTROY) w->Shutdown();
    if (msg == WM_PAINT) {
      ++s_paints;
      s_rowsAtLastPaint = static_cast<int>(::SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0));
      RECT update;
      if (::GetUpdateRect(hwnd, &update, FALSE)) ::UnionRect(&s_painted, &s_painted, &update);
    }
    return ::CallWindowProcW(s_previous, hwnd, msg, wp, lp);
  }
  // Pumps until the run is over (or a few seconds have passed).
  bool RunToEnd() {
    for (int i = 0; i < 1000 && worker.IsRunning(); ++i) {
      PumpMessages();
      ::Sleep(5);
    }
    PumpMessages();
    return !worker.IsRunning();
  }
  void AddFiles(int n) {
    for (int i = 0; i < n; ++i) list.Add(L"C:\\junk\\f" + std::to_wstring(i) + L".tmp");
  }

  HWND parent = MakeParent();
  test::ListWindow list{parent};
  FakeHost host{list};
  RecordingOperations ops;
  std::atomic<bool> busy{false};
  CDeletionWorker worker{host, ops, host, host, busy};
  WNDPROC m_previous = nullptr;
  static WNDPROC s_previous;
  static int s_paints;    // WM_PAINT messages the list received
  static RECT s_painted;  // what they painted, together
  static int s_rowsAtLastPaint;
};
WNDPROC DeletionTest::s_previous = nullptr;
int DeletionTest::s_paints = 0;
RECT DeletionTest::s_painted = {};
int DeletionTest::s_rowsAtLastPaint = -1;

TEST_F(DeletionTest, FourOfTenSelectedGiveQuarterStepsAndLeaveTheRestInPlace) {
  AddFiles(10);
  for (int row : {1, 4, 5, 8}) list.Select(row);
  ops.delay = std::chrono::milliseconds(20);  // each item long enough to be read
  ASSERT_TRUE(worker.Start(false));
  EXPECT_TRUE(worker.IsBusy());
  EXPECT_FALSE(::IsWindowEnabled(list.Handle()));
  ASSERT_TRUE(RunToEnd());

  EXPECT_EQ(host.progress, (std::vector<int>{25, 50, 75, 100}));
  EXPECT_EQ(list.Column(0), (std::vector<std::wstring>{L"C:\\junk\\f0.tmp", L"C:\\junk\\f2.tmp",
                                                       L"C:\\junk\\f3.tmp", L"C:\\junk\\f6.tmp",
                                                       L"C:\\junk\\f7.tmp", L"C:\\junk\\f9.tmp"}));
  // Last row first; each item announced with its own path before it goes.
  EXPECT_EQ(host.deleting, (std::vector<std::wstring>{L"C:\\junk\\f8.tmp", L"C:\\junk\\f5.tmp",
                                                      L"C:\\junk\\f4.tmp", L"C:\\junk\\f1.tmp"}));
  EXPECT_FALSE(worker.IsBusy());
  EXPECT_TRUE(::IsWindowEnabled(list.Handle()));
  EXPECT_EQ(host.hides, 1);
  EXPECT_EQ(host.status.back(), L"<selection>");
  EXPECT_EQ(host.emptied, 0);
}

TEST_F(DeletionTest, TheListKeepsRepaintingWhileOneItemTakesLong) {
  ::ShowWindow(parent, SW_SHOW);
  AddFiles(30);
  for (int i = 0; i < 30; ++i) list.Select(i);
  ops.slowAt = L"C:\\junk\\f20.tmp";
  ops.slowDelay = std::chrono::milliseconds(1000);
  PumpMessages();
  ASSERT_TRUE(worker.Start(true));
  // Rows f29 to f21 go at once; then the worker is on f20 for a second.
  while (list.Count() > 21) {
    PumpMessages();
    ::Sleep(1);
  }
  const auto removed = std::chrono::steady_clock::now();
  EXPECT_EQ(s_rowsAtLastPaint, 21) << "the removed rows stay on screen while f20 is deleted";
  // And the list answers what is asked of it meanwhile (a window moved off it).
  s_paints = 0;
  ::InvalidateRect(list.Handle(), nullptr, TRUE);
  while (std::chrono::steady_clock::now() - removed < std::chrono::milliseconds(300)) {
    PumpMessages();
    ::Sleep(5);
  }
  EXPECT_EQ(list.Count(), 21);
  EXPECT_GT(s_paints, 0) << "the list does not repaint while f20 is deleted";
  EXPECT_EQ(host.deleting.back(), L"C:\\junk\\f20.tmp");
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(DeletionTest, OnlyTheRowsInSightThatMovedArePaintedAgain) {
  ::ShowWindow(parent, SW_SHOW);
  AddFiles(300);                                 // far more than the list shows
  for (int i = 5; i < 200; ++i) list.Select(i);  // the scroll bar stays
  ops.delay = std::chrono::milliseconds(1);      // several refreshes during the run
  PumpMessages();
  RECT fifth;
  ASSERT_TRUE(CListView(list.Handle()).RowRect(4, &fifth));
  s_painted = {};
  ASSERT_TRUE(worker.Start(true));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(list.Count(), 105);
  // The rows that stayed at the top were not painted again; below them was.
  EXPECT_GE(s_painted.top, fifth.bottom);
  EXPECT_GT(s_painted.bottom, s_painted.top) << "the rows that went are still on screen";
}

TEST_F(DeletionTest, WhereTheScrollBarWentTheRowsArePainted) {
  ::ShowWindow(parent, SW_SHOW);
  AddFiles(300);
  for (int i = 5; i < 300; ++i) list.Select(i);          // five rows stay: no scroll bar
  ::SendMessageW(list.Handle(), WM_SETREDRAW, TRUE, 0);  // the scroll bar shows
  PumpMessages();
  RECT before;
  ::GetClientRect(list.Handle(), &before);
  s_painted = {};
  ASSERT_TRUE(worker.Start(true));
  ASSERT_TRUE(RunToEnd());
  RECT after;
  ::GetClientRect(list.Handle(), &after);
  ASSERT_GT(after.right, before.right) << "the scroll bar should have gone";
  // Beside the five rows, where the bar was, is painted too.
  EXPECT_EQ(s_painted.top, 0);
  EXPECT_GT(s_painted.right, before.right);
}

TEST_F(DeletionTest, EachChosenItemGoesToDeletePathOnceFoldersAsFiles) {
  list.Add(L"C:\\junk\\plain.tmp", L"Text Document", L"1 KB", L"", 0, 1);
  list.Add(L"C:\\junk\\dir", L"Folder", L"0 KB", L"", 0, 2);
  list.Add(L"C:\\keep", L"Folder", L"0 KB", L"", 0, 2);
  for (int row : {0, 1}) list.Select(row);
  ASSERT_TRUE(worker.Start(true));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(ops.Calls(), (std::vector<std::wstring>{L"delete C:\\junk\\dir", L"done C:\\junk\\dir",
                                                    L"delete C:\\junk\\plain.tmp",
                                                    L"done C:\\junk\\plain.tmp", L"settle"}));
  EXPECT_EQ(list.Column(0), (std::vector<std::wstring>{L"C:\\keep"}));

  list.Add(L"C:\\junk\\dir2", L"Folder", L"0 KB", L"", 0, 2);
  list.Select(1);
  ASSERT_TRUE(worker.Start(false));
  ASSERT_TRUE(RunToEnd());
  auto calls = ops.Calls();
  ASSERT_EQ(calls.size(), 8u);
  EXPECT_EQ(calls[5], L"recycle C:\\junk\\dir2");
  EXPECT_EQ(calls[7], L"settle");
}

TEST_F(DeletionTest, RowsStayWhereTheirItemsStay) {
  AddFiles(6);
  for (int i = 0; i < 6; ++i) list.Select(i);
  ops.outcomes[L"C:\\junk\\f0.tmp"] = DeleteOutcome::Failed;
  ops.outcomes[L"C:\\junk\\f1.tmp"] = DeleteOutcome::AtRestart;
  ops.outcomes[L"C:\\junk\\f2.tmp"] = DeleteOutcome::LinkRemoved;
  ops.outcomes[L"C:\\junk\\f3.tmp"] = DeleteOutcome::Missing;
  ops.outcomes[L"C:\\junk\\f4.tmp"] = DeleteOutcome::Failed;
  ops.outcomes[L"C:\\junk\\f5.tmp"] = DeleteOutcome::Recycled;
  ASSERT_TRUE(worker.Start(false));
  ASSERT_TRUE(RunToEnd());
  // What stays keeps its selection, so the user sees what is left.
  EXPECT_EQ(list.Column(0), (std::vector<std::wstring>{L"C:\\junk\\f0.tmp", L"C:\\junk\\f4.tmp"}));
  EXPECT_TRUE(IsSelected(list, 0));
  EXPECT_TRUE(IsSelected(list, 1));
  // Every handled row moves the bar, kept or not.
  EXPECT_EQ(host.progress, (std::vector<int>{16, 33, 50, 66, 83, 100}));
  EXPECT_EQ(host.status.back(), L"<selection>");
  EXPECT_EQ(host.emptied, 0);
}

TEST_F(DeletionTest, AnExceptionOfAnyTypeEndsTheRunAndKeepsItsRow) {
  const std::vector<std::function<void()>> throwers = {[] { throw 42; }, [] { throw "text"; },
                                                       [] { throw std::runtime_error("std"); },
                                                       [] { throw std::wstring(L"wide"); }};
  for (const auto& thrower : throwers) {
    list.Select(-1, false);
    while (list.Count() > 0) ::SendMessageW(list.Handle(), LVM_DELETEITEM, 0, 0);
    AddFiles(3);
    for (int i = 0; i < 3; ++i) list.Select(i);
    ops.throwAt = L"C:\\junk\\f1.tmp";
    ops.thrower = thrower;
    ASSERT_TRUE(worker.Start(true));
    ASSERT_TRUE(RunToEnd());
    EXPECT_FALSE(worker.IsBusy());
    EXPECT_TRUE(::IsWindowEnabled(list.Handle()));
    // f2 went before, f1 threw and stays, f0 was not reached; what went is
    // unlinked before the run ends.
    EXPECT_EQ(list.Column(0),
              (std::vector<std::wstring>{L"C:\\junk\\f0.tmp", L"C:\\junk\\f1.tmp"}));
    EXPECT_EQ(ops.Calls().back(), L"settle");
  }
}

TEST_F(DeletionTest, SecondStartWhileRunningIsIgnored) {
  AddFiles(5);
  for (int i = 0; i < 5; ++i) list.Select(i);
  ops.delay = std::chrono::milliseconds(20);
  ASSERT_TRUE(worker.Start(true));
  EXPECT_FALSE(worker.Start(true));
  EXPECT_FALSE(worker.Start(false));
  ASSERT_TRUE(RunToEnd());
  int deletes = 0;
  for (const auto& call : ops.Calls()) deletes += call.rfind(L"delete ", 0) == 0;
  EXPECT_EQ(deletes, 5);
}

TEST_F(DeletionTest, UnselectingDuringTheRunMakesTheWorkerPassOverTheRest) {
  AddFiles(20);
  for (int i = 0; i < 20; ++i) list.Select(i);
  ops.delay = std::chrono::milliseconds(30);
  ASSERT_TRUE(worker.Start(true));
  while (host.progress.empty()) {
    PumpMessages();
    ::Sleep(1);
  }
  list.Select(-1, false);  // Unselect All
  ASSERT_TRUE(RunToEnd());
  EXPECT_LT(list.Count(), 19);
  EXPECT_GT(list.Count(), 0);
  EXPECT_EQ(host.progress.back(), 100);
  EXPECT_EQ(host.status.back(), L"<selection>");
}

TEST_F(DeletionTest, EveryRunThatEmptiesTheListSaysSoOnce) {
  host.refill = true;  // the next mode's list
  AddFiles(3);
  for (int run = 1; run <= 3; ++run) {
    ASSERT_GT(list.Count(), 0);
    for (int i = 0; i < list.Count(); ++i) list.Select(i);
    ASSERT_TRUE(worker.Start(false));
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(host.emptied, run);
  }
}

TEST_F(DeletionTest, EmptyingShowsReadyBeforeTheNextMode) {
  AddFiles(2);
  list.Select(0);
  list.Select(1);
  ASSERT_TRUE(worker.Start(false));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(host.progress, (std::vector<int>{50, 100}));
  ASSERT_GE(host.status.size(), 2u);
  EXPECT_EQ(host.status.back(), L"Ready");
  EXPECT_EQ(host.emptied, 1);
}

TEST_F(DeletionTest, ClosingDuringARunOf2000ItemsEndsCleanly) {
  AddFiles(2000);
  for (int i = 0; i < 2000; ++i) list.Select(i);
  ops.delay = std::chrono::milliseconds(1);
  ASSERT_TRUE(worker.Start(true));
  while (host.progress.size() < 20) {
    PumpMessages();
    ::Sleep(1);
  }
  ::DestroyWindow(list.Handle());  // WM_DESTROY waits for the worker
  EXPECT_FALSE(worker.IsRunning());
  EXPECT_FALSE(worker.IsBusy());
  auto calls = ops.Calls();
  ASSERT_FALSE(calls.empty());
  // The worker stopped between rows: every started deletion was completed, and
  // what it deleted was unlinked.
  EXPECT_EQ(calls.back(), L"settle");
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[calls.size() - 2].rfind(L"done ", 0), 0u);
  size_t deletes = 0;
  for (const auto& call : calls) deletes += call.rfind(L"delete ", 0) == 0;
  EXPECT_LT(deletes, 2000u);
  PumpMessages();  // late messages to the gone window are dropped
  EXPECT_EQ(host.emptied, 0);
}

std::string ReadAll(const std::wstring& path) {
  std::string text;
  FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr));
  char buffer[4096];
  DWORD read = 0;
  while (file && ::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
    text.append(buffer, read);
  return text;
}

// A mixed run: the summary counts each outcome with the rows' bytes, and the
// record gets a line per handled item, written by the worker.
TEST_F(DeletionTest, AMixedRunIsSummedUpAndRecorded) {
  test::TempDir dir;
  CDeletionRecord record(dir / L"deletions.csv");
  CDeletionWorker recording{host, ops, host, host, busy, &record};
  const wchar_t* names[] = {L"C:\\junk\\gone.tmp", L"C:\\junk\\held.tmp", L"C:\\junk\\link",
                            L"C:\\junk\\stuck, \"x\".tmp"};
  for (int i = 0; i < 4; ++i) {
    list.Add(names[i], L"", L"", L"", RowData(0, 1000u * (i + 1)));
    list.Select(i);
  }
  ops.outcomes[names[1]] = DeleteOutcome::AtRestart;
  ops.outcomes[names[2]] = DeleteOutcome::LinkRemoved;
  ops.outcomes[names[3]] = DeleteOutcome::Failed;
  ASSERT_TRUE(recording.Start(true, RecordMode::Cookies));
  for (int i = 0; i < 1000 && recording.IsRunning(); ++i) {
    PumpMessages();
    ::Sleep(5);
  }
  PumpMessages();
  ASSERT_EQ(host.summaries.size(), 1u);
  const RunSummary& s = host.summaries[0];
  EXPECT_EQ(s.gone, 2);
  EXPECT_EQ(s.goneBytes, 4000u);  // gone.tmp and the link
  EXPECT_EQ(s.atRestart, 1);
  EXPECT_EQ(s.failed, 1);
  EXPECT_FALSE(s.recordFailed);
  EXPECT_EQ(SummaryText(s),
            L"Deleted 2 items (3 KB) \u00B7 1 at next restart \u00B7 1 could not be deleted");

  const std::string text = ReadAll(dir / L"deletions.csv");
  for (const char* line : {",cookies,delete,deleted,1000,C:\\junk\\gone.tmp\r\n",
                           ",cookies,delete,at-restart,2000,C:\\junk\\held.tmp\r\n",
                           ",cookies,delete,link-removed,3000,C:\\junk\\link\r\n",
                           ",cookies,delete,failed,4000,\"C:\\junk\\stuck, \"\"x\"\".tmp\"\r\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
}

TEST_F(DeletionTest, ARecordThatCannotBeWrittenIsSaidOnceAndTheRunGoesOn) {
  test::TempDir dir;
  CDeletionRecord record(dir.Folder(L"deletions.csv"));  // a folder in its place
  CDeletionWorker recording{host, ops, host, host, busy, &record};
  for (int i = 0; i < 300; ++i) {
    list.Add(L"C:\\junk\\f" + std::to_wstring(i) + L".tmp");
    list.Select(i);
  }
  ASSERT_TRUE(recording.Start(false));
  for (int i = 0; i < 2000 && recording.IsRunning(); ++i) {
    PumpMessages();
    ::Sleep(5);
  }
  PumpMessages();
  EXPECT_EQ(list.Count(), 0);
  ASSERT_EQ(host.summaries.size(), 1u);
  EXPECT_TRUE(host.summaries[0].recordFailed);
  EXPECT_EQ(host.summaries[0].gone, 300);
  EXPECT_EQ(SummaryText(host.summaries[0]),
            L"Moved 300 items to the Recycle Bin (0 KB) \u00B7 The deletion record could not be "
            L"written");
}

TEST(DeletionProgress, PercentStaysInRange) {
  EXPECT_EQ(CDeletionWorker::ProgressPercent(3, 2), 33);
  EXPECT_EQ(CDeletionWorker::ProgressPercent(3, 1), 66);
  EXPECT_EQ(CDeletionWorker::ProgressPercent(3, 0), 100);
  EXPECT_EQ(CDeletionWorker::ProgressPercent(3, 5), 0);  // selection grew
  EXPECT_EQ(CDeletionWorker::ProgressPercent(0, 0), 100);
}

}  // namespace
}  // namespace klarex
