// The result list's totals, the Keep command and the running-program guard.
#include <string>
#include <vector>

#include "../res/ids_main.h"
#include "framework/app_messages.h"
#include "sys/processes.h"
#include "view/klarex_view.h"
#include "view/running_question.h"

namespace klarex {

// --- Totals -------------------------------------------------------------------------

void CKlarexView::OnRowStateChanged(const NMLISTVIEW* change) {
  if (!(change->uChanged & LVIF_STATE)) return;
  const bool was = (change->uOldState & LVIS_SELECTED) != 0;
  const bool is = (change->uNewState & LVIS_SELECTED) != 0;
  if (was == is) return;
  if (change->iItem < 0) {
    m_totals.SelectAll(is);
  } else {
    m_totals.Select(RowBytes(change->lParam), is);
  }
  ScheduleTotals();
}

void CKlarexView::OnRowDeleted(const NMLISTVIEW* row) {
  // The notification carries the row's data; its selection is asked.
  m_totals.Remove(RowBytes(row->lParam), List().IsSelected(row->iItem));
  ScheduleTotals();
}

void CKlarexView::ScheduleTotals() {
  // A fill or Select All changes thousands of rows: the pane is set once
  // they are done, when the posted message comes.
  if (m_totalsPending || !m_hwnd) return;
  m_totalsPending = ::PostMessageW(m_hwnd, kMsgShowTotals, 0, 0) != FALSE;
}

void CKlarexView::ShowTotals() {
  // During a deletion the progress bar has the pane.
  if (m_busy.load()) return;
  std::wstring text = TotalsText(m_totals);
  if (text == m_totalsShown) return;
  m_status.SetTotalsText(text);
  m_totalsShown = std::move(text);
}

// --- Keep -------------------------------------------------------------------------------

void CKlarexView::OnKeep() {
  if (!m_services.keep || m_busy.load()) return;
  CKeepList& keep = *m_services.keep;
  bool added = false;
  for (const std::wstring& path : List().SelectedTexts(0)) added |= keep.Add(path);
  if (!added) return;
  SaveKeepList(keep);
  // What is kept goes from the list at once, with every row beneath it.
  CListView list = List();
  list.SetRedraw(false);
  for (int row = list.Count() - 1; row >= 0; --row) {
    if (keep.IsKept(list.ItemText(row, 0))) list.DeleteItem(row);
  }
  list.SetRedraw(true);
  ShowSelectionStatus();
}

// --- The running-program guard ------------------------------------------------------

bool CKlarexView::LeaveRunningProgramsAlone(std::vector<CListView::Row>& rows) {
  CKlarexDoc* doc = Doc();
  if (!doc) return true;
  std::vector<std::wstring> paths;
  paths.reserve(rows.size());
  for (const CListView::Row& row : rows) paths.push_back(row.text);
  const std::vector<WatchedProgram> programs = doc->WatchedPrograms();
  std::vector<size_t> leftAlone;
  const RunningAnswer answer = AskAboutRunningPrograms(
      m_hwnd, programs, [&] { return RunningOwners(programs, RunningProcessNames(), paths); },
      false, leftAlone);
  if (answer == RunningAnswer::Cancel) return false;
  if (answer == RunningAnswer::NoneRunning) return true;
  // Continue: the programs' rows stay in the list, unselected.
  CListView list = List();
  std::erase_if(rows, [&](const CListView::Row& row) {
    for (size_t i : leftAlone) {
      if (TouchesProgram(programs[i], row.text)) {
        list.SetSelected(row.index, false);
        return true;
      }
    }
    return false;
  });
  return !rows.empty();
}

}  // namespace klarex
