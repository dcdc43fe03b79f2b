// Deleting the selected rows of the result list on a worker thread, one item
// at a time from the last row to the first, with progress in the status bar;
// a run that empties the list says so (the cleaning modes move on).
#pragma once
#include <windows.h>
// needs windows.h first
#include <commctrl.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "engine/deletion_record.h"
#include "framework/list_view.h"
#include "framework/worker.h"
#include "sys/operations.h"
#include "sys/status_sink.h"
#include "view/run_totals.h"
#include "view/status_progress.h"

namespace klarex {

// What the deletion needs from the list's window. User-interface thread only.
class IDeletionHost {
 public:
  virtual ~IDeletionHost() = default;
  virtual HWND ListWindow() const = 0;
  virtual void ShowSelectionStatus() = 0;
  // A run ended with no row left: this mode's cleaning is complete.
  virtual void OnListEmptied() = 0;
  // A run is over: what it did.
  virtual void OnRunSummary(const RunSummary& summary) = 0;
};

class CDeletionWorker {
 public:
  // `operations` delete each item (a folder with all it holds); `status` shows
  // "Deleting <path>" and "Ready", `progress` the share of the rows handled.
  // `busy` is the list's busy flag: set while a run goes on, read by the
  // worker before each row. Every handled item is written to `record`, if
  // any, from the worker thread.
  CDeletionWorker(IDeletionHost& host, IDeleteOperations& operations, IStatusSink& status,
                  IProgressDisplay& progress, std::atomic<bool>& busy,
                  CDeletionRecord* record = nullptr);
  // Stops a running worker first (see Shutdown).
  ~CDeletionWorker();
  CDeletionWorker(const CDeletionWorker&) = delete;
  CDeletionWorker& operator=(const CDeletionWorker&) = delete;

  // Delete (permanent) or Move to Recycle Bin: starts the worker on the
  // selected rows (their bytes from the rows' data, RowData). False, and
  // nothing happens, while a worker runs. `mode` is what the record says.
  bool Start(bool permanent, RecordMode mode = RecordMode::Standard);
  // The same on `rows`, the selection as the caller has just read it.
  bool Start(std::vector<CListView::Row> rows, bool permanent, RecordMode mode);
  bool IsBusy() const { return m_busy.load(); }
  bool IsRunning() const { return m_worker.IsRunning(); }
  bool IsPermanent() const { return m_permanent; }
  // Whether the rows now leaving the list are the run's own removals.
  bool RemovingRows() const { return m_removingRow; }

  // LVN_ITEMCHANGED of the list during a run: notes that the user unselected
  // rows, after which the worker asks the list about each row before deleting it.
  void OnItemChanged(const NMLISTVIEW* change);

  // For closing the window during a run: the worker stops before its next row
  // and is waited for while sent messages (the worker reads rows through them)
  // are still answered. No window is changed.
  void Shutdown();

  // With no rows left: "Ready"; with n = 0 (the run is over) the list is
  // reported emptied.
  void EmptyListCheck(int n);

  // Removes the rows whose items are gone so far, at once, and paints the
  // rows in sight that moved. Rows go at least every kRedrawMs during a run;
  // also for scrolling during a run, which shows the list as it is.
  void RemoveGoneRows();

  // Percentage shown after a handled row; kept within 0-100. `waiting` are
  // the selected rows not handled yet.
  static int ProgressPercent(int selectedAtStart, int waiting);

 private:
  // Worker thread. An exception ends the run as if it were complete; the row
  // being handled keeps its place.
  void Run();
  // User-interface thread, in the order the worker reports them: the row is
  // about to be deleted; the row was handled with `outcome`; the run is over.
  void OnAnnounced(const std::wstring& path);
  void OnHandled(int row, DeleteOutcome outcome, uint64_t bytes);
  // Worker thread: writes the lines gathered so far; after a failed write the
  // run records nothing more (the deletion goes on unslowed).
  void FlushRecord(std::vector<RecordEntry>& lines);
  void OnFinished();

  struct Item {
    int row;
    std::wstring path;
    uint64_t bytes;
  };
  // What the worker reports: an item it starts on (`announced`), or one it
  // handled. Reports wait in m_reports; one posted call takes all that are
  // there when it runs, so a fast run costs one message per batch, not two per row.
  struct Report {
    bool announced;
    int row;
    std::wstring path;
    DeleteOutcome outcome;
    uint64_t bytes;  // of a handled item, for the run's summary
  };
  void Post(Report report);
  // Takes the waiting reports; unless `all`, a slice of about kSliceMs, the
  // rest in a call of its own.
  void OnReports(bool all);
  static constexpr DWORD kSliceMs = 15;
  // Whether the rows gone since the last removal are due to go from the list.
  bool RefreshDue() const;
  // Marks for painting the rows in sight that moved when rows from `lowest`
  // down went; `topBefore` was the first row in sight before.
  static void InvalidateMovedRows(HWND list, int lowest, int topBefore);
  // The list's redraw back on with nothing marked for painting but its scroll
  // bar, if that changed, and the room a vanished scroll bar left.
  static void RedrawOnPaintingNothing(HWND list);
  static void CALLBACK OnRedrawTimer(HWND, UINT, UINT_PTR self, DWORD) noexcept;

  IDeletionHost& m_host;
  IDeleteOperations& m_ops;
  IStatusSink& m_status;
  IProgressDisplay& m_progress;
  HWND m_list = nullptr;
  bool m_permanent = false;
  int m_selectedAtStart = 0;
  std::atomic<bool> m_selectionReduced{false};
  bool m_removingRow = false;  // user-interface thread: a row the worker removes
  std::vector<Item> m_items;   // selected rows at the start, last first
  std::mutex m_reportLock;
  std::vector<Report> m_reports;  // guarded by m_reportLock
  static constexpr DWORD kPostMs = 10;
  DWORD m_lastPost = 0;  // worker thread
  // User-interface thread only. Rows whose items went wait in m_goneRows
  // (last row first) and go from the list together, at least every kRedrawMs
  // (removing them one by one costs a scroll bar update each): by the batch
  // that finds it due, or by a timer while no batch comes (a long item: a
  // big folder, a slow recycle). The list's redraw stays on in between, so it
  // answers its paints. Below 100 ms, so that with the timer's step and a
  // paint a removed row is still gone from sight within 100 ms.
  static constexpr DWORD kRedrawMs = 80;
  static constexpr UINT kRedrawTimerMs = kRedrawMs / 4;
  std::vector<int> m_goneRows;
  DWORD m_lastRedraw = 0;
  int m_shownPercent = -1;  // the figure last shown
  int m_keptRows = 0;       // handled rows that stayed, still selected
  int m_handledRows = 0;    // of this run, gone or stayed
  std::atomic<bool>& m_busy;
  CDeletionRecord* m_record;
  RecordMode m_mode = RecordMode::Standard;
  std::atomic<bool> m_recordFailed{false};
  RunSummary m_summary;  // user-interface thread
  CWorker m_worker;
};

}  // namespace klarex
