// The result list: one report-style row per found item of the current
// cleaning mode, the three mode commands that clear and refill it, and the
// commands that act on rows.
#pragma once
#include <windows.h>

#include <atomic>
#include <map>
#include <string>

#include "framework/gdi.h"
#include "framework/list_view.h"
#include "framework/view.h"
#include "view/command_state.h"
#include "view/delete_worker.h"
#include "view/klarex_doc.h"
#include "view/list_sorter.h"

namespace klarex {

class CFrameWnd;

// Messages of the view's window.
inline constexpr UINT kMsgDeleteFinished = WM_USER + 0x101;
inline constexpr UINT kMsgDeleteProgress = WM_USER + 0x102;
inline constexpr UINT kMsgLanguageChanged = WM_USER + 0x103;

// Constructs and runs the modal Advance dialog over `doc`, owned by `parent`.
// The application installs it; without one the command only scans.
using AdvanceDialogRunner = void (*)(HWND parent, CKlarexDoc& doc);
void SetAdvanceDialogRunner(AdvanceDialogRunner runner);

class CKlarexView : public CView {
 public:
  // `operations` do the deletion's file-system work.
  explicit CKlarexView(IDeleteOperations& operations = SystemDeleteOperations());
  ~CKlarexView() override;

  bool Create(HWND parent, UINT id) override;
  void OnInitialUpdate() override;
  // Drains the document's found-item queue into rows; any thread (rows are
  // changed by messages to the list window).
  void OnUpdate(CDocumentObserver* sender, LPARAM hint) override;
  bool OnCommand(UINT id) override;

  UiSnapshot Snapshot() const;
  int Mode() const { return m_mode; }
  bool IsBusy() const { return m_busy.load(); }

  // Mode commands (also run when a deletion empties the list).
  void OnModeStandard();
  void OnModeCookies();
  void OnModeOffline();

  void ShowSelectionStatus();
  // After every fill: re-apply the sort, then fit the columns.
  void RefreshAfterFill();
  void FitColumns();

  int RowCount() const;
  int SelectedCount() const;
  std::wstring RowText(int row, int column) const;
  // Whether the row's item was a folder when it was found.
  bool IsFolderRow(int row) const;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnReflectedNotify(NMHDR* header, LRESULT& result) override;

 private:
  CKlarexDoc* Doc() const { return static_cast<CKlarexDoc*>(Document()); }
  CListView List() const { return CListView(m_hwnd); }
  // The frame the list lives in (its menus and status bar).
  CFrameWnd* ParentFrame() const;
  void AddRow(const FoundItem& item, std::map<std::wstring, std::wstring>& typeNames);
  void DeleteAllRows();
  void InsertColumns();
  void PlaceMainWindow();
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

  // Deletion (the deletion worker): Delete and Move to Recycle Bin.
  void OnDelete();
  void OnRecycle();
  // Sorting: applies the last column click's order again after a refill.
  void ReapplySort();

  ImageListHandle m_images;
  int m_deletePermanently = 0;
  std::atomic<bool> m_busy{false};
  std::atomic<bool> m_draining{false};  // rows are being added from the queue
  bool m_cookiesAvailable = true;
  int m_mode = 1;
  int m_typeExtraWidth = 100;
  int m_sizeExtraWidth = 80;
  int m_dateWidth = 125;
  ListSortState m_sort;  // sort column, comparison kinds, next-click directions
  std::unique_ptr<IDeletionHost> m_deletionHost = MakeViewDeletionHost(*this);
  CDeletionWorker m_deletion;
};

}  // namespace klarex
