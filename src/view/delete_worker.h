// Deleting the selected rows of the result list on a worker thread, one item
// at a time from the last row to the first, with progress in the status bar;
// a run that empties the list says so (the cleaning modes move on).
#pragma once
#include <windows.h>
// needs windows.h first
#include <commctrl.h>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sys/handles.h"
#include "sys/operations.h"

namespace klarex {

// Posted by the worker to the list window.
constexpr UINT WM_DELETION_FINISHED = WM_USER + 0x101;  // (0, 0)
// (row, -1): the row is about to be deleted; (row, s0): the row was handled,
// s0 = rows selected when the worker started. A handled row is removed only
// when its item is gone (or will go at restart); otherwise it stays selected.
constexpr UINT WM_DELETION_PROGRESS = WM_USER + 0x102;

// The file-system operation the worker applies to each item (a folder with
// all it holds).
class IDeleteOperations {
 public:
  virtual ~IDeleteOperations() = default;
  virtual DeleteOutcome DeletePath(const std::wstring& path, bool permanent) = 0;
};

// The real operations of the sys layer.
IDeleteOperations& SystemDeleteOperations();

// What the deletion needs from the view. Called on the user-interface thread only.
class IDeletionHost {
 public:
  virtual ~IDeletionHost() = default;
  virtual HWND ListWindow() const = 0;
  virtual void ShowSelectionStatus() = 0;
  virtual void SetStatusText(const std::wstring& text) = 0;
  virtual void ShowDeletingStatus(const std::wstring& path) = 0;
  // The translated text when a language is active, else `fallback`.
  virtual std::wstring LangString(const wchar_t* section, const wchar_t* key,
                                  const wchar_t* fallback) = 0;
  virtual void ShowProgress(int percent) = 0;
  virtual void HideProgress() = 0;
  // A run ended with no row left: this mode's cleaning is complete.
  virtual void OnListEmptied() = 0;
};

class CKlarexView;
// The result list view as the deletion's host.
std::unique_ptr<IDeletionHost> MakeViewDeletionHost(CKlarexView& view);

class CDeletionWorker {
 public:
  // `busy` is the view's busy flag: set while a run goes on, read by the
  // worker before each row.
  CDeletionWorker(IDeletionHost& host, IDeleteOperations& operations, std::atomic<bool>& busy);
  // Stops a running worker first (see Shutdown).
  ~CDeletionWorker();
  CDeletionWorker(const CDeletionWorker&) = delete;
  CDeletionWorker& operator=(const CDeletionWorker&) = delete;

  // Delete (permanent) or Move to Recycle Bin: starts the worker on the
  // selected rows. False, and nothing happens, while a worker runs.
  bool Start(bool permanent);
  bool IsBusy() const { return m_busy.load(); }
  bool IsRunning() const { return static_cast<bool>(m_thread); }
  bool IsPermanent() const { return m_permanent; }

  // Handlers of WM_DELETION_PROGRESS and WM_DELETION_FINISHED; both return 0.
  LRESULT OnProgress(WPARAM wParam, LPARAM lParam);
  LRESULT OnFinished();
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

  // Percentage shown after a handled row; kept within 0-100. `waiting` are
  // the selected rows not handled yet.
  static int ProgressPercent(int selectedAtStart, int waiting);

 private:
  // Nothing escapes it: an exception ends the run as if it were complete.
  static DWORD WINAPI ThreadProc(void* self);
  void Run();
  bool Announce(int row, const std::wstring& path);
  void ReportHandled(size_t index, DeleteOutcome outcome);
  // User-interface thread: the outcome of the handled row `row`.
  DeleteOutcome OutcomeOf(int row);

  struct Item {
    int row;
    std::wstring path;
    DeleteOutcome outcome = DeleteOutcome::Failed;  // set once handled, under m_lock
  };

  IDeletionHost& m_host;
  IDeleteOperations& m_ops;
  HWND m_list = nullptr;
  bool m_permanent = false;
  int m_selectedAtStart = 0;
  std::atomic<bool> m_selectionReduced{false};
  bool m_removingRow = false;  // user-interface thread: a row the worker removes
  std::vector<Item> m_items;   // selected rows at the start, last first
  // User-interface thread only: the figure last shown and the list's redraw state.
  static constexpr DWORD kRedrawMs = 100;
  void ResumeRedraw();
  int m_shownPercent = -1;
  int m_keptRows = 0;  // handled rows that stayed, still selected
  bool m_redrawSuspended = false;
  DWORD m_lastRedraw = 0;
  std::atomic<bool>& m_busy;
  KernelHandle m_thread;
  // Guards the outcomes in m_items and the paths of announced rows, kept in
  // message order: each (row, -1) message takes the front one, so the handler
  // shows a whole copy of its own.
  std::mutex m_lock;
  std::deque<std::wstring> m_announced;
};

}  // namespace klarex
