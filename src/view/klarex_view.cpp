#include "view/klarex_view.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <vector>

#include "../res/ids_art.h"
#include "../res/ids_main.h"
#include "engine/list_rows.h"
#include "framework/app.h"
#include "framework/app_messages.h"
#include "framework/frame_wnd.h"
#include "framework/language.h"
#include "framework/resources.h"
#include "sys/handles.h"
#include "sys/paths.h"
#include "sys/queries.h"
#include "sys/startup_clock.h"
#include "view/drag_out.h"
#include "view/list_text.h"
#include "view/shell_item_menu.h"

namespace klarex {

namespace {

constexpr int kColumnCount = 4;

int ScrollBarWidth() { return ::GetSystemMetrics(SM_CXVSCROLL); }

// The width column `column`'s title takes in the list's header: its text in
// the header's font and the header's margins (three edges each side).
int TitleWidth(const CListView& list, int column) {
  const HWND header = list.Header();
  const std::wstring text = list.ColumnTitle(column);
  if (!header || text.empty()) return 0;
  WindowDc dc(header);
  SelectGuard font(dc, reinterpret_cast<HFONT>(::SendMessageW(header, WM_GETFONT, 0, 0)));
  SIZE extent{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  return extent.cx + 6 * ::GetSystemMetrics(SM_CXEDGE);
}

// Open for writing, exclusive, existing files only; closed again at once.
bool CanOpenForWriting(const wchar_t* path) {
  FileHandle file(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

}  // namespace

CKlarexView::CKlarexView(IDeleteOperations& operations, CStatusLine& status,
                         IProgressDisplay& progress, ListServices services)
    : m_status(status),
      m_services(services),
      m_deletion(*this, operations, status, progress, m_busy, services.record) {}

CKlarexView::~CKlarexView() { m_deletion.Shutdown(); }

bool CKlarexView::Create(HWND parent, UINT id) {
  HWND hwnd = ::CreateWindowExW(
      0, WC_LISTVIEWW, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_SHAREIMAGELISTS, 0, 0, 0, 0,
      parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), ModuleInstance(), nullptr);
  return hwnd && Subclass(hwnd);
}

void CKlarexView::OnInitialUpdate() {
  CView::OnInitialUpdate();
  SetStyle((Style() & ~LVS_TYPEMASK) | LVS_REPORT);
  constexpr DWORD kExtended =
      LVS_EX_SUBITEMIMAGES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
  List().SetExtendedStyle(kExtended, kExtended);

  m_images.reset(::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 9, 9));
  for (int id : {IDI_FOLDER, IDI_FILE, IDI_FOLDER_LOCKED, IDI_FILE_LOCKED}) {
    IconHandle icon(static_cast<HICON>(
        ::LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0)));
    ::ImageList_ReplaceIcon(m_images.get(), -1, icon.get());
  }
  List().SetImageList(m_images.get(), LVSIL_SMALL);

  InsertColumns();
  NoteStartupStep("frame");
}

void CKlarexView::InsertColumns() {
  struct Column {
    const wchar_t* key;
    const wchar_t* text;
    int format;
    int width;
  };
  const Column columns[kColumnCount] = {
      {L"1", L"File Name", LVCFMT_LEFT, 0},
      {L"2", L"Type", LVCFMT_CENTER, ScrollBarWidth() + m_typeExtraWidth},
      {L"3", L"Size", LVCFMT_RIGHT, ScrollBarWidth() + m_sizeExtraWidth},
      {L"4", L"Date Modified", LVCFMT_CENTER, m_dateWidth},
  };
  for (int i = 0; i < kColumnCount; ++i) {
    List().InsertColumn(i, GetLangString(L"Columns", columns[i].key, columns[i].text),
                        columns[i].format, columns[i].width);
  }
}

int CKlarexView::RowCount() const { return List().Count(); }
int CKlarexView::SelectedCount() const { return List().SelectedCount(); }

std::wstring CKlarexView::RowText(int row, int column) const {
  return List().ItemText(row, column);
}

CFrameWnd* CKlarexView::ParentFrame() const {
  return dynamic_cast<CFrameWnd*>(CWnd::FromHandle(::GetParent(m_hwnd)));
}

bool CKlarexView::IsFolderRow(int row) const {
  return (List().ItemData(row) & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

UiSnapshot CKlarexView::Snapshot() const {
  UiSnapshot s;
  s.rows = RowCount();
  s.selected = SelectedCount();
  s.busy = m_busy.load();
  return s;
}

bool CKlarexView::IsCommandEnabled(UINT id) const {
  CommandState state;
  return ComputeCommandState(id, Snapshot(), state) && state.enabled;
}

void CKlarexView::ClearRows() { List().DeleteAllItems(); }

void CKlarexView::OnListEmptied() {
  if (m_listEmptied) m_listEmptied();
}

void CKlarexView::OnUpdate(CDocumentObserver*, LPARAM) {
  CKlarexDoc* doc = Doc();
  if (!doc) return;
  CFoundItemQueue& queue = doc->Queue();
  if (queue.IsEmpty()) return;
  // A row added or changed in sight costs a repaint of the list and its
  // scroll bar: rows are added out of sight and shown once.
  CListView list = List();
  list.SetRedraw(false);
  // Rows report each change; the status line is shown once the fill is done.
  m_draining = true;
  BeginStartupStretch();
  while (!queue.IsEmpty()) AddRow(queue.Pop());
  EndStartupStretch("fill");
  m_draining = false;
  list.SetRedraw(true);
  list.Invalidate(true);
}

void CKlarexView::AddRow(const FoundItem& record) {
  const wchar_t* path = record.cFileName;
  if (!IsListedNow(record)) return;
  const std::wstring exact = ExactPath(path);
  // Listing changes nothing on disk: permissions are taken over only by the
  // deletion, just before an item is deleted.
  const bool folder = (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const uint64_t size = RowSize(record);
  CListView list = List();
  // On top (the list's order, ListOrder); the row keeps the item's
  // attributes (whether it is a folder) and its bytes, which the totals add up.
  const int row = list.InsertItem(0, path, RowImageIndex(folder, CanOpenForWriting(exact.c_str())),
                                  RowData(record.dwFileAttributes, size));
  if (row < 0) return;
  m_totals.Insert(size, false);
  ScheduleTotals();

  list.SetItemText(row, 1, RowTypeName(record));
  list.SetItemText(row, 2, FormatSizeText(static_cast<int64_t>(size)));
  list.SetItemText(row, 3, FormatDateText(record.ftLastWriteTime));
}

void CKlarexView::RefreshAfterFill() {
  ReapplySort();
  FitColumns();
  // Row insertions need not report a change: show the count of the new list.
  if (!m_busy.load()) ShowSelectionStatus();
}

void CKlarexView::FitColumns() {
  CListView list = List();
  list.SetRedraw(false);
  int widths[kColumnCount] = {};
  for (int i = 1; i < kColumnCount; ++i) {
    list.SetColumnWidth(i, LVSCW_AUTOSIZE);
    // The contents, or the title where it is wider (a translated one may be).
    widths[i] = std::max(list.ColumnWidth(i), TitleWidth(list, i)) + ScrollBarWidth();
    list.SetColumnWidth(i, widths[i]);
  }
  RECT client = ClientRect();
  list.SetColumnWidth(0, FirstColumnWidth(client.right, widths[1], widths[2], widths[3]));
  list.SetRedraw(true);
  Invalidate();
}

void CKlarexView::OnSize(int width) {
  CListView list = List();
  int others[kColumnCount] = {};
  for (int i = 1; i < kColumnCount; ++i) others[i] = list.ColumnWidth(i);
  list.SetColumnWidth(0,
                      FirstColumnWidth(width - ScrollBarWidth(), others[1], others[2], others[3]));
}

void CKlarexView::ShowSelectionStatus() {
  // What the engine reported (a Firefox error after the Advance run) is read first.
  if (m_status.HoldsNotice()) return;
  std::wstring text = SelectionStatusText(SelectedCount(), RowCount());
  // Every row change lands here: leave the bar alone when nothing changed.
  if (m_status.Text() == text) return;
  m_status.SetStatusText(text);
}

// --- Selection commands ---------------------------------------------------------

void CKlarexView::OnSelectAll() {
  ::SetFocus(m_hwnd);
  CListView list = List();
  for (int i = list.Count() - 1; i >= 0; --i) list.SetSelected(i, true);
}

void CKlarexView::OnUnselectAll() {
  ::SetFocus(m_hwnd);
  CListView list = List();
  // Row by row, and last the whole list (the search ends at -1).
  int row = -1;
  do {
    row = list.NextSelected(row);
    list.SetSelected(row, false);
  } while (row != -1);
}

void CKlarexView::OnInvertSelection() {
  ::SetFocus(m_hwnd);
  CListView list = List();
  for (int i = list.Count() - 1; i >= 0; --i) list.SetSelected(i, !list.IsSelected(i));
}

// --- Open and Properties ----------------------------------------------------------

void CKlarexView::OnOpen() {
  if (SelectedCount() > 1) {
    std::wstring text = GetLangString(L"Status", L"15", CommandPrompt(IDS_CONFIRM_OPEN));
    std::wstring caption = GetLangString(L"Status", L"16", CommandShortName(IDS_CONFIRM_OPEN));
    if (::MessageBoxW(m_hwnd, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
      return;
  }
  // The confirmation speaks of the selected items: every one of them is opened.
  std::vector<std::pair<std::wstring, bool>> rows;
  for (int row = List().NextSelected(); row != -1; row = List().NextSelected(row))
    rows.emplace_back(RowText(row, 0), IsFolderRow(row));
  for (const auto& [path, folder] : rows) {
    if (!folder && !::PathFileExistsW(path.c_str())) continue;
    auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"Open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result == SE_ERR_NOASSOC || result == SE_ERR_ACCESSDENIED) ShowPropertiesOf(path);
  }
}

void CKlarexView::OnProperties() {
  const int row = List().NextSelected();
  if (row < 0) {
    ::ShowWindow(::GetAncestor(m_hwnd, GA_ROOT), SW_MAXIMIZE);
    return;
  }
  ShowPropertiesOf(RowText(row, 0));
}

void CKlarexView::ShowPropertiesOf(const std::wstring& path) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_INVOKEIDLIST;
  info.hwnd = m_hwnd;
  info.lpVerb = L"Properties";
  info.lpFile = path.c_str();
  info.nShow = SW_SHOWDEFAULT;
  ::ShellExecuteExW(&info);
}

// --- Deletion and sorting hooks -----------------------------------------------

void CKlarexView::StartDeletion(bool permanent) {
  if (m_deletion.IsRunning()) return;
  // The selection is read once, for the running-program question and the worker.
  std::vector<CListView::Row> rows = List().SelectedRows();
  if (!LeaveRunningProgramsAlone(rows)) return;
  m_deletion.Start(std::move(rows), permanent,
                   Doc() ? ToRecordMode(Doc()->LastMode()) : RecordMode::Standard);
}

void CKlarexView::OnRunSummary(const RunSummary& summary) {
  m_status.ShowNotice(SummaryText(summary));
  ShowTotals();
}

void CKlarexView::ReapplySort() { klarex::ReapplySort(m_hwnd, m_sort); }

// --- Commands and messages ----------------------------------------------------------

bool CKlarexView::OnCommand(UINT id) {
  switch (id) {
    case ID_FILE_OPEN:
      OnOpen();
      return true;
    case ID_FILE_PROPERTIES:
      OnProperties();
      return true;
    case ID_DELETE:
      StartDeletion(true);
      return true;
    case ID_RECYCLE:
      StartDeletion(false);
      return true;
    case ID_SELECT_ALL:
      OnSelectAll();
      return true;
    case ID_UNSELECT_ALL:
      OnUnselectAll();
      return true;
    case ID_INVERT_SELECTION:
      OnInvertSelection();
      return true;
    case ID_KEEP:
      OnKeep();
      return true;
  }
  return false;
}

LRESULT CKlarexView::OnLanguageChanged() {
  CListView list = List();
  if (!list.Header()) return 1;
  const int count = list.HeaderCount();
  for (int i = 0; i < count; ++i) {
    std::wstring key = std::to_wstring(i + 1);
    list.SetColumnTitle(
        i, GetLangString(L"Columns", key.c_str(), PromptPart(LoadResString(IDS_COLUMN_FIRST + i))));
  }
  // The new titles get their room, the status line the language's own texts.
  FitColumns();
  ShowSelectionStatus();
  AfxMessageBox(CutCultureComment(GetLangString(L"Header", L"Culture", L"English")));
  return 0;
}

void CKlarexView::OnDestroy() {
  // The worker reads rows through this window: let it stop first.
  m_deletion.Shutdown();
}

bool CKlarexView::OnReflectedNotify(NMHDR* header, LRESULT& result) {
  switch (header->code) {
    case LVN_DELETEITEM:
      OnRowDeleted(reinterpret_cast<NMLISTVIEW*>(header));
      result = 0;
      return true;
    case LVN_DELETEALLITEMS:
      // No LVN_DELETEITEM for each row: the totals start again at once.
      m_totals.Clear();
      ScheduleTotals();
      result = TRUE;
      return true;
    case LVN_ITEMCHANGED:
      OnRowStateChanged(reinterpret_cast<NMLISTVIEW*>(header));
      if (m_busy.load()) {
        // The deletion's own row removals find the wait cursor already set;
        // setting it is a round trip to the window server under Wine.
        if (!m_deletion.RemovingRows()) ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        m_deletion.OnItemChanged(reinterpret_cast<NMLISTVIEW*>(header));
      } else if (!m_draining.load()) {
        ShowSelectionStatus();
      }
      result = 0;
      return true;
    case LVN_COLUMNCLICK:
      SortByColumnClick(m_hwnd, m_sort, reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
      result = 0;
      return true;
    case LVN_BEGINDRAG:
      // The dragged files are the selected rows; once dropped they go to the Recycle Bin.
      if (DragOutFiles(SelectedRowPaths(m_hwnd)) != DROPEFFECT_NONE) StartDeletion(false);
      result = 0;
      return true;
    case NM_DBLCLK:
    case NM_RETURN:
      if (IsCommandEnabled(ID_FILE_OPEN)) OnOpen();
      result = 0;
      return true;
  }
  return false;
}

LRESULT CKlarexView::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE: {
      LRESULT r = DefaultProc(msg, wp, lp);
      OnSize(LOWORD(lp));
      return r;
    }
    case WM_VSCROLL: {
      LRESULT r = DefaultProc(msg, wp, lp);
      if (m_busy.load()) {
        m_deletion.RemoveGoneRows();
        Invalidate(true);
        Update();
      }
      return r;
    }
    case WM_INITMENUPOPUP:
      if (HIWORD(lp)) break;
      UpdateMenuItems(reinterpret_cast<HMENU>(wp), [this](UINT id, CommandState& s) {
        return ComputeCommandState(id, Snapshot(), s);
      });
      return 0;
    case kMsgLanguageChanged:
      return OnLanguageChanged();
    case kMsgShowTotals:
      m_totalsPending = false;
      ShowTotals();
      return 0;
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
    case WM_MENUCHAR:
      // The pop-ups this list shows (the Edit menu) belong to the frame's
      // themed menus: their owner-drawn items are measured and drawn there.
      if (msg == WM_MENUCHAR || wp == 0) return ::SendMessageW(::GetParent(m_hwnd), msg, wp, lp);
      break;
    case WM_CONTEXTMENU: {
      CFrameWnd* frame = ParentFrame();
      ShowListContextMenu(m_hwnd, frame ? frame->MenuBar() : nullptr, m_busy.load());
      return 0;
    }
    case WM_DESTROY:
      OnDestroy();
      break;
  }
  return CView::WindowProc(msg, wp, lp);
}

}  // namespace klarex
