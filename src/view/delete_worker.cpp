#include "view/delete_worker.h"

#include <commctrl.h>

#include <algorithm>

#include "../res/ids_main.h"
#include "framework/language.h"
#include "framework/list_view.h"
#include "framework/resources.h"
#include "sys/operations.h"
#include "view/klarex_view.h"
#include "view/status_line.h"
#include "view/status_progress.h"

namespace klarex {

static_assert(sizeof(std::atomic<bool>) == 1 && std::atomic<bool>::is_always_lock_free,
              "the busy flag is one atomic byte");

namespace {

class CSystemDeleteOperations : public IDeleteOperations {
 public:
  DeleteOutcome DeletePath(const std::wstring& path, bool permanent) override {
    return klarex::DeletePath(path, permanent);
  }
};

class CViewDeletionHost : public IDeletionHost {
 public:
  explicit CViewDeletionHost(CKlarexView& view) : m_view(view) {}
  HWND ListWindow() const override { return m_view.Handle(); }
  void ShowSelectionStatus() override { m_view.ShowSelectionStatus(); }
  void SetStatusText(const std::wstring& text) override { StatusLine().SetStatusText(text); }
  void ShowDeletingStatus(const std::wstring& path) override {
    StatusLine().ShowDeletingStatus(path);
  }
  std::wstring LangString(const wchar_t* section, const wchar_t* key,
                          const wchar_t* fallback) override {
    return IsLanguageActive() ? GetLangString(section, key, fallback) : fallback;
  }
  void ShowProgress(int percent) override { klarex::ShowProgress(percent); }
  void HideProgress() override { klarex::HideProgress(); }
  void OnListEmptied() override { m_view.OnListEmptied(); }

 private:
  CKlarexView& m_view;
};

int ItemCount(HWND list) { return CListView(list).Count(); }
int SelectedCount(HWND list) { return CListView(list).SelectedCount(); }

}  // namespace

std::unique_ptr<IDeletionHost> MakeViewDeletionHost(CKlarexView& view) {
  return std::make_unique<CViewDeletionHost>(view);
}

IDeleteOperations& SystemDeleteOperations() {
  static CSystemDeleteOperations operations;
  return operations;
}

CDeletionWorker::CDeletionWorker(IDeletionHost& host, IDeleteOperations& operations,
                                 std::atomic<bool>& busy)
    : m_host(host), m_ops(operations), m_busy(busy) {}

CDeletionWorker::~CDeletionWorker() { Shutdown(); }

bool CDeletionWorker::Start(bool permanent) {
  if (m_thread) return false;
  m_list = m_host.ListWindow();
  m_permanent = permanent;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_announced.clear();
  }
  // The rows are read here, where it costs nothing; the worker then asks the
  // list only whether each row is still selected (Unselect All works during a run).
  m_items.clear();
  m_selectedAtStart = SelectedCount(m_list);
  const CListView list(m_list);
  for (int i = list.Count() - 1; i >= 0; --i) {
    if (list.IsSelected(i)) m_items.push_back({i, list.ItemText(i, 0)});
  }
  m_shownPercent = -1;
  m_keptRows = 0;
  m_selectionReduced.store(false);
  m_busy.store(true);
  ::EnableWindow(m_list, FALSE);
  m_thread.reset(
      ::CreateThread(nullptr, 0, &CDeletionWorker::ThreadProc, this, CREATE_SUSPENDED, nullptr));
  if (!m_thread) {
    m_busy.store(false);
    ::EnableWindow(m_list, TRUE);
    return false;
  }
  ::SetThreadPriority(m_thread.get(), THREAD_PRIORITY_HIGHEST);
  ::ResumeThread(m_thread.get());
  return true;
}

DWORD WINAPI CDeletionWorker::ThreadProc(void* self) {
  auto* worker = static_cast<CDeletionWorker*>(self);
  try {
    worker->Run();
  } catch (...) {
    // The row being handled keeps its place; the list is given back as after
    // any run.
  }
  ::PostMessageW(worker->m_list, WM_DELETION_FINISHED, 0, 0);
  return 0;
}

bool CDeletionWorker::Announce(int row, const std::wstring& path) {
  std::lock_guard<std::mutex> lock(m_lock);
  m_announced.push_back(path);
  if (::PostMessageW(m_list, WM_DELETION_PROGRESS, static_cast<WPARAM>(row), -1)) return true;
  m_announced.pop_back();
  return false;
}

void CDeletionWorker::ReportHandled(size_t index, DeleteOutcome outcome) {
  Item& item = m_items[index];
  {
    std::lock_guard<std::mutex> lock(m_lock);
    item.outcome = outcome;
  }
  ::PostMessageW(m_list, WM_DELETION_PROGRESS, static_cast<WPARAM>(item.row), m_selectedAtStart);
}

DeleteOutcome CDeletionWorker::OutcomeOf(int row) {
  // Rows are in descending order.
  auto item = std::lower_bound(m_items.begin(), m_items.end(), row,
                               [](const Item& it, int r) { return it.row > r; });
  if (item == m_items.end() || item->row != row) return DeleteOutcome::Failed;
  std::lock_guard<std::mutex> lock(m_lock);
  return item->outcome;
}

void CDeletionWorker::Run() {
  // The list is read only through sent messages, which the user-interface
  // thread answers between its own; rows change only through posted ones.
  // Rows go from the last to the first, so a removed row never moves one to come.
  for (size_t i = 0; i < m_items.size(); ++i) {
    const Item& item = m_items[i];
    if (!m_busy.load()) break;
    // Asking the list costs a round trip to the user-interface thread: it is
    // asked only once the user has unselected something during the run.
    if (m_selectionReduced.load() && !CListView(m_list).IsSelected(item.row)) continue;
    Announce(item.row, item.path);
    ReportHandled(i, m_ops.DeletePath(item.path, m_permanent));
  }
}

int CDeletionWorker::ProgressPercent(int selectedAtStart, int waiting) {
  if (selectedAtStart <= 0) return 100;
  long long percent = (static_cast<long long>(selectedAtStart) - waiting) * 100 / selectedAtStart;
  return static_cast<int>(percent < 0 ? 0 : (percent > 100 ? 100 : percent));
}

LRESULT CDeletionWorker::OnProgress(WPARAM wParam, LPARAM lParam) {
  const int row = static_cast<int>(wParam);
  if (lParam < 0) {
    std::wstring path;
    {
      std::lock_guard<std::mutex> lock(m_lock);
      if (m_announced.empty()) return 0;
      path = std::move(m_announced.front());
      m_announced.pop_front();
    }
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    m_host.ShowDeletingStatus(path);
    return 0;
  }
  CListView list(m_host.ListWindow());
  const int selectedAtStart = static_cast<int>(lParam);
  // Repainting the list after every removed row would cost more than the
  // deletion itself: the list is redrawn at most every kRedrawMs.
  const DWORD now = ::GetTickCount();
  if (!m_redrawSuspended) {
    list.SetRedraw(false);
    m_redrawSuspended = true;
    m_lastRedraw = now;
  }
  // A row goes only when its item is gone or will go at restart; one that
  // stays keeps its selection, so the user sees what is left.
  if (IsGone(OutcomeOf(row))) {
    m_removingRow = true;
    list.DeleteItem(row);
    m_removingRow = false;
  } else {
    ++m_keptRows;
  }
  list.EnsureVisible(0, false);
  // The bar and the taskbar button move only when the figure changes.
  const int waiting = SelectedCount(list) - m_keptRows;
  const int percent = ProgressPercent(selectedAtStart, waiting < 0 ? 0 : waiting);
  if (percent != m_shownPercent) {
    m_shownPercent = percent;
    m_host.ShowProgress(percent);
  }
  if (now - m_lastRedraw >= kRedrawMs) ResumeRedraw();
  EmptyListCheck(selectedAtStart);
  return 0;
}

void CDeletionWorker::OnItemChanged(const NMLISTVIEW* change) {
  if (m_removingRow || !m_thread || !(change->uChanged & LVIF_STATE)) return;
  if ((change->uOldState & LVIS_SELECTED) && !(change->uNewState & LVIS_SELECTED)) {
    m_selectionReduced.store(true);
  }
}

LRESULT CDeletionWorker::OnFinished() {
  if (!m_thread) return 0;  // already waited for by Shutdown
  // The worker posts this as its last act; its end is a moment away.
  ::WaitForSingleObject(m_thread.get(), INFINITE);
  m_thread.reset();
  ResumeRedraw();
  m_host.HideProgress();
  m_busy.store(false);
  HWND list = m_host.ListWindow();
  ::EnableWindow(list, TRUE);
  if (ItemCount(list) > 0) {
    m_host.ShowSelectionStatus();
  } else {
    EmptyListCheck(0);
  }
  return 0;
}

void CDeletionWorker::ResumeRedraw() {
  if (!m_redrawSuspended) return;
  m_redrawSuspended = false;
  CListView list(m_host.ListWindow());
  list.SetRedraw(true);
  list.Invalidate(true);
}

void CDeletionWorker::Shutdown() {
  if (!m_thread) return;
  m_busy.store(false);
  HANDLE thread = m_thread.get();
  // Wait, answering the list messages the worker may be sending meanwhile.
  while (::MsgWaitForMultipleObjectsEx(1, &thread, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE) ==
         WAIT_OBJECT_0 + 1) {
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  m_thread.reset();
  std::lock_guard<std::mutex> lock(m_lock);
  m_announced.clear();
}

void CDeletionWorker::EmptyListCheck(int n) {
  HWND list = m_host.ListWindow();
  if (SelectedCount(list) > 0 || ItemCount(list) > 0) return;
  m_host.SetStatusText(m_host.LangString(L"Status", L"8", L"Ready"));
  if (n > 0) return;  // an item was just handled; the worker may still run
  m_host.SetStatusText(CommandPrompt(IDS_IDLE_MESSAGE));
  m_host.OnListEmptied();
}

}  // namespace klarex
