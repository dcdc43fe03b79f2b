#include "view/delete_worker.h"

#include <commctrl.h>

#include <algorithm>

#include "../res/ids_main.h"
#include "framework/gdi.h"
#include "framework/language.h"
#include "framework/list_view.h"
#include "framework/resources.h"
#include "framework/unexpected_error.h"

namespace klarex {

static_assert(sizeof(std::atomic<bool>) == 1 && std::atomic<bool>::is_always_lock_free,
              "the busy flag is one atomic byte");

namespace {

int ItemCount(HWND list) { return CListView(list).Count(); }

}  // namespace

CDeletionWorker::CDeletionWorker(IDeletionHost& host, IDeleteOperations& operations,
                                 IStatusSink& status, IProgressDisplay& progress,
                                 std::atomic<bool>& busy, CDeletionRecord* record)
    : m_host(host),
      m_ops(operations),
      m_status(status),
      m_progress(progress),
      m_busy(busy),
      m_record(record) {}

CDeletionWorker::~CDeletionWorker() { Shutdown(); }

bool CDeletionWorker::Start(bool permanent, RecordMode mode) {
  if (m_worker.IsRunning()) return false;
  return Start(CListView(m_host.ListWindow()).SelectedRows(), permanent, mode);
}

bool CDeletionWorker::Start(std::vector<CListView::Row> rows, bool permanent, RecordMode mode) {
  if (m_worker.IsRunning()) return false;
  m_list = m_host.ListWindow();
  m_permanent = permanent;
  m_mode = mode;
  m_summary = {};
  m_summary.recycled = !permanent;
  m_recordFailed.store(false);
  // The worker asks the list only whether a row is still selected, and only
  // after the user unselected some (Unselect All works during a run).
  m_items.clear();
  m_selectedAtStart = static_cast<int>(rows.size());
  for (auto row = rows.rbegin(); row != rows.rend(); ++row)
    m_items.push_back({row->index, std::move(row->text), RowBytes(row->data)});
  m_shownPercent = -1;
  m_keptRows = 0;
  m_handledRows = 0;
  m_goneRows.clear();
  m_reports.clear();
  m_lastPost = ::GetTickCount() - kPostMs;
  m_selectionReduced.store(false);
  m_busy.store(true);
  ::EnableWindow(m_list, FALSE);
  if (!m_worker.Start([this] { Run(); }, [this] { OnFinished(); }, THREAD_PRIORITY_HIGHEST)) {
    m_busy.store(false);
    ::EnableWindow(m_list, TRUE);
    return false;
  }
  m_lastRedraw = ::GetTickCount();
  // The timer's id is this worker: the list never sees the timer's messages.
  ::SetTimer(m_list, reinterpret_cast<UINT_PTR>(this), kRedrawTimerMs, &OnRedrawTimer);
  return true;
}

void CDeletionWorker::Run() {
  // The list is read only through sent messages, which the user-interface
  // thread answers between its own; rows change only through posted calls.
  // Rows go from the last to the first, so a removed row never moves one to come.
  // Record lines go out in batches: one file write per kRecordBatch items.
  constexpr size_t kRecordBatch = 256;
  std::vector<RecordEntry> lines;
  try {
    for (const Item& item : m_items) {
      if (!m_busy.load()) break;
      // Asking the list costs a round trip to the user-interface thread: it is
      // asked only once the user has unselected something during the run.
      if (m_selectionReduced.load() && !CListView(m_list).IsSelected(item.row)) continue;
      Post({true, item.row, item.path, DeleteOutcome::Failed, 0});
      const DeleteOutcome outcome = m_ops.DeletePath(item.path, m_permanent);
      Post({false, item.row, {}, outcome, item.bytes});
      if (m_record && !m_recordFailed.load()) {
        RecordEntry& line = lines.emplace_back();
        ::GetSystemTimeAsFileTime(&line.time);
        line.mode = m_mode;
        line.action = m_permanent ? RecordAction::Delete : RecordAction::Recycle;
        line.outcome = ToRecordOutcome(outcome);
        line.bytes = item.bytes;
        line.path = item.path;
        if (lines.size() >= kRecordBatch) FlushRecord(lines);
      }
    }
  } catch (...) {
    // The list is given back as after any run.
  }
  // The run ends when what it deleted is unlinked: a scan that follows must
  // not meet it.
  m_ops.Settle();
  try {
    FlushRecord(lines);
  } catch (...) {
    m_recordFailed.store(true);
  }
}

void CDeletionWorker::FlushRecord(std::vector<RecordEntry>& lines) {
  if (!m_record || lines.empty() || m_recordFailed.load()) return;
  if (!m_record->Append(lines)) m_recordFailed.store(true);
  lines.clear();
}

void CDeletionWorker::Post(Report report) {
  bool first = false;
  {
    std::lock_guard<std::mutex> lock(m_reportLock);
    first = m_reports.empty();
    m_reports.push_back(std::move(report));
  }
  // Reports that find others waiting ride with their call. Calls are spaced
  // kPostMs apart (a post costs more than a quick item); what waits in between
  // is taken by the next call or by the list's timer. One whose post failed
  // is taken by OnFinished.
  const DWORD now = ::GetTickCount();
  if (first && now - m_lastPost >= kPostMs) {
    m_lastPost = now;
    m_worker.PostToUi([this] { OnReports(false); });
  }
}

void CDeletionWorker::OnReports(bool all) {
  std::vector<Report> reports;
  {
    std::lock_guard<std::mutex> lock(m_reportLock);
    reports.swap(m_reports);
  }
  // A long backlog is taken in slices, so that the window answers in between.
  const DWORD start = ::GetTickCount();
  const Report* announced = nullptr;
  bool handled = false;
  size_t taken = 0;
  for (; taken < reports.size(); ++taken) {
    if (!all && handled && ::GetTickCount() - start >= kSliceMs) break;
    const Report& report = reports[taken];
    if (report.announced) {
      announced = &report;
      continue;
    }
    handled = true;
    OnHandled(report.row, report.outcome, report.bytes);
  }
  // The status line can show one path: the item the worker is on now.
  if (announced) OnAnnounced(announced->path);
  if (taken < reports.size()) {
    {
      std::lock_guard<std::mutex> lock(m_reportLock);
      m_reports.insert(m_reports.begin(), std::make_move_iterator(reports.begin() + taken),
                       std::make_move_iterator(reports.end()));
    }
    m_worker.PostToUi([this] { OnReports(false); });
  }
  // While batches keep coming the rows go here when due.
  if (handled && RefreshDue()) RemoveGoneRows();
}

void CALLBACK CDeletionWorker::OnRedrawTimer(HWND, UINT, UINT_PTR self, DWORD) noexcept {
  // Timer messages come only when no call waits: reports left between calls,
  // or the worker is on a long item (a big folder, a slow recycle).
  auto* worker = reinterpret_cast<CDeletionWorker*>(self);
  Guarded(false, [worker] {
    worker->OnReports(false);
    if (!worker->m_goneRows.empty() && worker->RefreshDue()) worker->RemoveGoneRows();
    return true;
  });
}

int CDeletionWorker::ProgressPercent(int selectedAtStart, int waiting) {
  if (selectedAtStart <= 0) return 100;
  long long percent = (static_cast<long long>(selectedAtStart) - waiting) * 100 / selectedAtStart;
  return static_cast<int>(percent < 0 ? 0 : (percent > 100 ? 100 : percent));
}

void CDeletionWorker::OnAnnounced(const std::wstring& path) {
  ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  m_status.ShowDeletingStatus(path);
}

void CDeletionWorker::OnHandled(int row, DeleteOutcome outcome, uint64_t bytes) {
  m_summary.Add(outcome, bytes);
  // A row goes only when its item is gone or will go at restart; one that
  // stays keeps its selection, so the user sees what is left.
  if (IsGone(outcome)) {
    m_goneRows.push_back(row);
  } else {
    ++m_keptRows;
  }
  ++m_handledRows;
  // The rows still to come: counted on the list only once the user has
  // unselected some (a question to the list per row is not free).
  const int stillListed = m_keptRows + static_cast<int>(m_goneRows.size());
  const int waiting = m_selectionReduced.load()
                          ? CListView(m_host.ListWindow()).SelectedCount() - stillListed
                          : m_selectedAtStart - m_handledRows;
  // The bar and the taskbar button move only when the figure changes.
  const int percent = ProgressPercent(m_selectedAtStart, waiting < 0 ? 0 : waiting);
  if (percent != m_shownPercent) {
    m_shownPercent = percent;
    m_progress.ShowProgress(percent);
  }
}

void CDeletionWorker::OnItemChanged(const NMLISTVIEW* change) {
  if (m_removingRow || !m_worker.IsRunning() || !(change->uChanged & LVIF_STATE)) return;
  if ((change->uOldState & LVIS_SELECTED) && !(change->uNewState & LVIS_SELECTED)) {
    m_selectionReduced.store(true);
  }
}

void CDeletionWorker::OnFinished() {
  OnReports(true);  // any whose call could not be posted
  ::KillTimer(m_list, reinterpret_cast<UINT_PTR>(this));
  RemoveGoneRows();
  m_progress.HideProgress();
  m_busy.store(false);
  HWND list = m_host.ListWindow();
  ::EnableWindow(list, TRUE);
  if (ItemCount(list) > 0) {
    m_host.ShowSelectionStatus();
  } else {
    EmptyListCheck(0);
  }
  m_summary.recordFailed = m_recordFailed.load();
  m_host.OnRunSummary(m_summary);
}

void CDeletionWorker::RemoveGoneRows() {
  m_lastRedraw = ::GetTickCount();
  if (m_goneRows.empty()) return;
  CListView list(m_host.ListWindow());
  // With redraw on, each removed row would bring the scroll bar up to date
  // and repaint; with it off the list paints nothing, so it is off only here.
  // What was asked of the list before (a window moved off it) stays asked.
  GdiRegion asked(::CreateRectRgn(0, 0, 0, 0));
  const bool anyAsked = asked && ::GetUpdateRgn(list, asked.get(), FALSE) > NULLREGION;
  const int topBefore = list.TopIndex();
  list.SetRedraw(false);
  m_removingRow = true;
  for (int row : m_goneRows) list.DeleteItem(row);
  m_removingRow = false;
  // Last row first: the lowest is the last one.
  const int lowest = m_goneRows.back();
  m_goneRows.clear();
  list.EnsureVisible(0, false);
  // Only the rows in sight that moved are painted again.
  RedrawOnPaintingNothing(list);
  if (anyAsked) ::InvalidateRgn(list, asked.get(), TRUE);
  InvalidateMovedRows(list, lowest, topBefore);
  ::UpdateWindow(list);
  EmptyListCheck(m_selectedAtStart);
}

void CDeletionWorker::RedrawOnPaintingNothing(HWND hwnd) {
  // Redraw on marks the whole list for painting and brings the scroll bar up
  // to date, which Wine draws there twice (about 10 ms each with a visual
  // style). Drawing is held off meanwhile at the window's level; the bar is
  // drawn once after, only if it changed.
  SCROLLBARINFO before{}, after{};
  before.cbSize = after.cbSize = sizeof(SCROLLBARINFO);
  const bool known = ::GetScrollBarInfo(hwnd, OBJID_VSCROLL, &before);
  RECT clientBefore{}, clientAfter{};
  ::GetClientRect(hwnd, &clientBefore);
  ::DefWindowProcW(hwnd, WM_SETREDRAW, FALSE, 0);
  CListView(hwnd).SetRedraw(true);
  ::DefWindowProcW(hwnd, WM_SETREDRAW, TRUE, 0);
  if (!known || !::GetScrollBarInfo(hwnd, OBJID_VSCROLL, &after) ||
      !::EqualRect(&before.rcScrollBar, &after.rcScrollBar) ||
      before.rgstate[0] != after.rgstate[0] || before.xyThumbTop != after.xyThumbTop ||
      before.xyThumbBottom != after.xyThumbBottom) {
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  }
  ::ValidateRect(hwnd, nullptr);
  // Where a scroll bar went, the rows now reach: that room is painted.
  ::GetClientRect(hwnd, &clientAfter);
  if (clientAfter.right > clientBefore.right) {
    RECT strip{clientBefore.right, 0, clientAfter.right, clientAfter.bottom};
    ::InvalidateRect(hwnd, &strip, TRUE);
  }
  if (clientAfter.bottom > clientBefore.bottom) {
    RECT strip{0, clientBefore.bottom, clientAfter.right, clientAfter.bottom};
    ::InvalidateRect(hwnd, &strip, TRUE);
  }
}

bool CDeletionWorker::RefreshDue() const { return ::GetTickCount() - m_lastRedraw >= kRedrawMs; }

void CDeletionWorker::InvalidateMovedRows(HWND hwnd, int lowest, int topBefore) {
  const CListView list(hwnd);
  RECT area;
  ::GetClientRect(hwnd, &area);
  // Rows above the lowest removed one stay where they were, unless the list
  // scrolled or the removed row was above the top.
  RECT above;
  if (list.TopIndex() == topBefore && lowest > topBefore && list.RowRect(lowest - 1, &above)) {
    area.top = above.bottom;
  }
  if (area.top < area.bottom) ::InvalidateRect(hwnd, &area, TRUE);
}

void CDeletionWorker::Shutdown() {
  if (!m_worker.IsRunning()) return;
  ::KillTimer(m_list, reinterpret_cast<UINT_PTR>(this));
  m_busy.store(false);
  // Wait, answering the list messages the worker may be sending meanwhile;
  // what it posted is dropped.
  m_worker.Join();
}

void CDeletionWorker::EmptyListCheck(int n) {
  HWND list = m_host.ListWindow();
  // A list with no rows has no selection; the count is the cheaper question.
  if (ItemCount(list) > 0) return;
  m_status.SetStatusText(GetLangString(L"Status", L"8", L"Ready"));
  if (n > 0) return;  // an item was just handled; the worker may still run
  m_status.SetStatusText(CommandPrompt(IDS_IDLE_MESSAGE));
  m_host.OnListEmptied();
}

}  // namespace klarex
