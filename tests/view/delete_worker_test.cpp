#include "view/delete_worker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "view/list_fixture.h"

namespace klarex {
namespace {

using test::PumpMessages;

// Records what the worker asks of the file system; optionally slow.
class RecordingOperations : public IDeleteOperations {
 public:
  void SetCurrentItemPath(const std::wstring& path) override {
    std::lock_guard<std::mutex> lock(m);
    current = path;
  }
  void TakeOwnership(const std::wstring& path) override { Log(L"own " + path); }
  bool DeletePath(const std::wstring& path, bool permanent) override {
    Log((permanent ? L"delete " : L"recycle ") + path + L" current=" + Current());
    if (delay.count()) std::this_thread::sleep_for(delay);
    Log(L"done " + path);
    return false;  // as if nothing could be deleted: rows go all the same
  }
  bool DeleteFolderTree(const std::wstring& path) override {
    Log(L"tree " + path + L" current=" + Current());
    return true;
  }
  std::vector<std::wstring> Calls() {
    std::lock_guard<std::mutex> lock(m);
    return calls;
  }
  std::chrono::milliseconds delay{0};

 private:
  std::wstring Current() {
    std::lock_guard<std::mutex> lock(m);
    return current;
  }
  void Log(const std::wstring& s) {
    std::lock_guard<std::mutex> lock(m);
    calls.push_back(s);
  }
  std::mutex m;
  std::wstring current;
  std::vector<std::wstring> calls;
};

// Stands in for the view: the list, the status line and the mode commands.
class FakeHost : public IDeletionHost {
 public:
  explicit FakeHost(test::ListWindow& list) : m_list(list) {}
  HWND ListWindow() const override { return m_list.Handle(); }
  const std::wstring& FolderTypeName() const override { return m_folder; }
  void ShowSelectionStatus() override { status.push_back(L"<selection>"); }
  void SetStatusText(const std::wstring& text) override { status.push_back(text); }
  void ShowDeletingStatus(const std::wstring& path) override { deleting.push_back(path); }
  std::wstring LangString(const wchar_t*, const wchar_t*, const wchar_t* fallback) override {
    return fallback;
  }
  void ShowProgress(int percent) override { progress.push_back(percent); }
  void HideProgress() override { ++hides; }
  int CurrentMode() const override { return mode; }
  void RunModeCommand(int m) override {
    modeCommands.push_back(m);
    mode = m;
    if (refill) {
      m_list.Add(L"C:\\refilled");
    }
  }

  int mode = 1;
  bool refill = false;
  std::vector<std::wstring> status, deleting;
  std::vector<int> progress, modeCommands;
  int hides = 0;

 private:
  test::ListWindow& m_list;
  std::wstring m_folder = L"Folder";
};

// Routes the worker's posted messages to the worker's handlers, as the view does.
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
    if (msg == WM_DELETION_PROGRESS) return w->OnProgress(wp, lp);
    if (msg == WM_DELETION_FINISHED) return w->OnFinished();
    if (msg == WM_DESTROY) w->Shutdown();
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
  CDeletionWorker worker{host, ops, busy};
  WNDPROC m_previous = nullptr;
  static WNDPROC s_previous;
};
WNDPROC DeletionTest::s_previous = nullptr;

TEST_F(DeletionTest, FourOfTenSelectedGiveQuarterStepsAndLeaveTheRestInPlace) {
  AddFiles(10);
  for (int row : {1, 4, 5, 8}) list.Select(row);
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
  EXPECT_TRUE(host.modeCommands.empty());
}

TEST_F(DeletionTest, FolderPermanentGoesToDeletePathThenTreeRecycleOnlyDeletePath) {
  // Every chosen item is taken over just before it is deleted; the kept one never.
  list.Add(L"C:\\junk\\plain.tmp", L"Text Document", L"1 KB", L"", 0, 1);
  list.Add(L"C:\\junk\\locked.tmp", L"Text Document", L"1 KB", L"", 0, 3);
  list.Add(L"C:\\junk\\dir", L"Folder", L"0 KB", L"", 0, 2);
  list.Add(L"C:\\keep", L"Folder", L"0 KB", L"", 0, 2);
  for (int row : {0, 1, 2}) list.Select(row);
  ASSERT_TRUE(worker.Start(true));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(
      ops.Calls(),
      (std::vector<std::wstring>{
          L"own C:\\junk\\dir", L"delete C:\\junk\\dir current=C:\\junk\\dir",
          L"done C:\\junk\\dir", L"tree C:\\junk\\dir current=C:\\junk\\dir",
          L"own C:\\junk\\locked.tmp", L"delete C:\\junk\\locked.tmp current=C:\\junk\\locked.tmp",
          L"done C:\\junk\\locked.tmp", L"own C:\\junk\\plain.tmp",
          L"delete C:\\junk\\plain.tmp current=C:\\junk\\plain.tmp", L"done C:\\junk\\plain.tmp"}));
  // Undeletable items (DeletePath false) lose their rows all the same.
  EXPECT_EQ(list.Column(0), (std::vector<std::wstring>{L"C:\\keep"}));

  list.Add(L"C:\\junk\\dir2", L"Folder", L"0 KB", L"", 0, 2);
  list.Select(1);
  ASSERT_TRUE(worker.Start(false));
  ASSERT_TRUE(RunToEnd());
  auto calls = ops.Calls();
  ASSERT_EQ(calls.size(), 13u);
  EXPECT_EQ(calls[10], L"own C:\\junk\\dir2");
  EXPECT_EQ(calls[11], L"recycle C:\\junk\\dir2 current=C:\\junk\\dir2");
  EXPECT_EQ(calls[12], L"done C:\\junk\\dir2");
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

TEST_F(DeletionTest, EmptiedListsAdvanceTheModeInTurn) {
  host.refill = true;
  AddFiles(3);
  for (int expected : {2, 3, 1, 2}) {
    ASSERT_GT(list.Count(), 0);
    for (int i = 0; i < list.Count(); ++i) list.Select(i);
    ASSERT_TRUE(worker.Start(false));
    ASSERT_TRUE(RunToEnd());
    ASSERT_FALSE(host.modeCommands.empty());
    EXPECT_EQ(host.modeCommands.back(), expected);
  }
  EXPECT_EQ(host.modeCommands, (std::vector<int>{2, 3, 1, 2}));
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
  EXPECT_EQ(host.modeCommands, (std::vector<int>{2}));
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
  // The worker stopped between rows: every started deletion was completed.
  EXPECT_EQ(calls.back().rfind(L"done ", 0), 0u);
  size_t deletes = 0;
  for (const auto& call : calls) deletes += call.rfind(L"delete ", 0) == 0;
  EXPECT_LT(deletes, 2000u);
  PumpMessages();  // late messages to the gone window are dropped
  EXPECT_TRUE(host.modeCommands.empty());
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
