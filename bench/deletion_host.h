// The result list as the deletion benchmarks set it up before a run.
#pragma once

#include <windows.h>
// needs windows.h first
#include <commctrl.h>

#include <string>
#include <vector>

#include "../res/ids_main.h"
#include "bench_util.h"
#include "view/klarex_doc.h"
#include "view/klarex_view.h"

namespace klarex::bench {

// Fills the created `view` in `host` with `rows`, all selected, plus `keep`
// unselected (so no mode scan follows the deletion), out of sight; then shows
// the window, since the deletion is measured in sight.
inline void ListForDeletion(CKlarexView& view, HWND host, CKlarexDoc& doc,
                            const std::vector<std::wstring>& rows, const std::wstring& keep) {
  view.Move(0, 0, 880, 520);
  doc.AddView(&view);
  view.OnInitialUpdate();
  view.Send(LVM_DELETEALLITEMS);
  doc.Queue().Push(Record(keep));
  for (const auto& path : rows) doc.Queue().Push(Record(path));
  view.OnUpdate(nullptr, 0);
  view.OnCommand(ID_SELECT_ALL);
  LVITEMW unselect{};
  unselect.stateMask = LVIS_SELECTED;
  const int keepRow = static_cast<int>(view.RowCount()) - 1;  // the first record pushed
  view.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(keepRow), reinterpret_cast<LPARAM>(&unselect));
  ShowWindow(host, SW_SHOW);
  UpdateWindow(host);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace klarex::bench
