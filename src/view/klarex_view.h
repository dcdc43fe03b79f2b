// The result list: one report-style row per found item of the current
// cleaning mode, and the commands that act on rows (open, properties,
// selection, delete, drag-out, sort). The cleaning modes that fill it are the
// mode controller's (view/mode_controller.h).
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "engine/list_rows.h"
#include "framework/gdi.h"
#include "framework/list_view.h"
#include "framework/view.h"
#include "view/command_state.h"
#include "view/delete_worker.h"
#include "view/klarex_doc.h"
#include "view/list_sorter.h"
#include "view/mode_controller.h"
#include "view/run_totals.h"
#include "view/status_line.h"
#include "view/status_progress.h"

namespace klarex {

class CFrameWnd;

// What the list uses beyond its own window; either may be missing (tests).
struct ListServices {
  CKeepList* keep = nullptr;          // Keep adds to it and saves it
  CDeletionRecord* record = nullptr;  // every deletion run is written to it
};

class CKlarexView : public CView, public IModeList, private IDeletionHost {
 public:
  // `operations` do the deletion's file-system work; the status line shows
  // the selection and the deletion's texts, `progress` the deletion's bar.
  CKlarexView(IDeleteOperations& operations, CStatusLine& status, IProgressDisplay& progress,
              ListServices services = {});
  ~CKlarexView() override;

  bool Create(HWND parent, UINT id) override;
  // Report style, row icons and the four columns.
  void OnInitialUpdate() override;
  // Drains the document's found-item queue into rows; any thread (rows are
  // changed by messages to the list window).
  void OnUpdate(CDocumentObserver* sender, LPARAM hint) override;
  bool OnCommand(UINT id) override;

  // Rows, selection and the busy flag; the mode is the mode controller's.
  UiSnapshot Snapshot() const;
  bool IsBusy() const { return m_busy.load(); }
  // Who hears that a deletion emptied the list (the cleaning modes).
  void SetListEmptiedHandler(std::function<void()> handler) { m_listEmptied = std::move(handler); }

  void ShowSelectionStatus() override;
  void FitColumns();

  // --- IModeList ---------------------------------------------------------------
  void ClearRows() override;
  void DrainFoundItems() override { OnUpdate(nullptr, 0); }
  int RowCount() const override;
  // After every fill: re-apply the sort, then fit the columns.
  void RefreshAfterFill() override;
  HWND DialogOwner() const override { return m_hwnd; }

  int SelectedCount() const;
  std::wstring RowText(int row, int column) const;
  // Whether the row's item was a folder when it was found.
  bool IsFolderRow(int row) const;
  // Rows and bytes of the list and of its selection.
  const ListTotals& Totals() const { return m_totals; }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnReflectedNotify(NMHDR* header, LRESULT& result) override;

 private:
  CKlarexDoc* Doc() const { return static_cast<CKlarexDoc*>(Document()); }
  CListView List() const { return CListView(m_hwnd); }
  // The frame the list lives in (its menu bar).
  CFrameWnd* ParentFrame() const;
  // --- IDeletionHost -------------------------------------------------------------
  HWND ListWindow() const override { return m_hwnd; }
  void OnListEmptied() override;
  void OnRunSummary(const RunSummary& summary) override;

  // --- Totals (list_extras.cpp) ----------------------------------------------------
  // LVN_ITEMCHANGED, LVN_DELETEITEM, LVN_DELETEALLITEMS: the totals follow.
  void OnRowStateChanged(const NMLISTVIEW* change);
  void OnRowDeleted(const NMLISTVIEW* row);
  // The pane shows them once after a burst of changes (kMsgShowTotals).
  void ScheduleTotals();
  void ShowTotals();
  // --- Keep and the running-program guard (list_extras.cpp) ------------------------
  void OnKeep();
  // Before a deletion of the selected `rows`: false when the user cancelled,
  // or when Continue left no row; on Continue the rows of the running
  // programs are unselected and leave `rows`.
  bool LeaveRunningProgramsAlone(std::vector<CListView::Row>& rows);

  void AddRow(const FoundItem& item);
  void InsertColumns();
  void OnSize(int width);
  LRESULT OnLanguageChanged();
  void OnDestroy();
  bool IsCommandEnabled(UINT id) const;

  void OnSelectAll();
  void OnUnselectAll();
  void OnInvertSelection();
  void OnOpen();
  void OnProperties();
  void ShowPropertiesOf(const std::wstring& path);

  // Deletion (the deletion worker): Delete (permanent) and Move to Recycle Bin.
  void StartDeletion(bool permanent);
  // Sorting: applies the last column click's order again after a refill.
  void ReapplySort();

  CStatusLine& m_status;
  ImageListHandle m_images;
  std::atomic<bool> m_busy{false};
  std::atomic<bool> m_draining{false};  // rows are being added from the queue
  std::function<void()> m_listEmptied;
  int m_typeExtraWidth = 100;
  int m_sizeExtraWidth = 80;
  int m_dateWidth = 125;
  ListSortState m_sort;  // sort column, comparison kinds, next-click directions
  ListServices m_services;
  ListTotals m_totals;
  bool m_totalsPending = false;
  std::wstring m_totalsShown;
  CDeletionWorker m_deletion;
};

}  // namespace klarex
