#include "framework/list_view.h"

namespace klarex {

namespace {

constexpr size_t kMaxTitleChars = 260;

LVITEMW StateItem(bool selected) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED;
  item.state = selected ? LVIS_SELECTED : 0;
  return item;
}

}  // namespace

int CListView::Count() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }

int CListView::InsertItem(int index, const std::wstring& text, int image, LPARAM data) {
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = index;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  item.iImage = image;
  item.lParam = data;
  return static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void CListView::SetItemText(int row, int column, const std::wstring& text) {
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::wstring CListView::ItemText(int row, int column) const {
  std::wstring buffer(MAX_PATH + 1, L'\0');
  for (;;) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    LRESULT n = Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    if (n < 0) n = 0;
    // A text that filled the buffer may have been cut: ask again with more room.
    if (static_cast<size_t>(n) + 1 < buffer.size() || buffer.size() >= 32768) {
      buffer.resize(static_cast<size_t>(n));
      return buffer;
    }
    buffer.assign(buffer.size() * 2, L'\0');
  }
}

int CListView::ItemImage(int row) const {
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  return Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.iImage : -1;
}

LPARAM CListView::ItemData(int row) const {
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  return Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
}

bool CListView::SetItemData(int row, LPARAM data) {
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  item.lParam = data;
  return Send(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

bool CListView::DeleteItem(int row) { return Send(LVM_DELETEITEM, static_cast<WPARAM>(row)) != 0; }

void CListView::DeleteAllItems() { Send(LVM_DELETEALLITEMS); }

void CListView::EnsureVisible(int row, bool partialOk) {
  Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), partialOk);
}

int CListView::TopIndex() const { return static_cast<int>(Send(LVM_GETTOPINDEX)); }

bool CListView::RowRect(int row, RECT* rect) const {
  rect->left = LVIR_BOUNDS;
  return Send(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(rect)) != 0;
}

int CListView::SelectedCount() const { return static_cast<int>(Send(LVM_GETSELECTEDCOUNT)); }

int CListView::NextSelected(int row) const {
  return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
}

bool CListView::IsSelected(int row) const {
  return (Send(LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void CListView::SetSelected(int row, bool selected) {
  LVITEMW item = StateItem(selected);
  Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::vector<std::wstring> CListView::SelectedTexts(int column) const {
  std::vector<std::wstring> texts;
  for (int row = NextSelected(); row >= 0; row = NextSelected(row))
    texts.push_back(ItemText(row, column));
  return texts;
}

std::vector<CListView::Row> CListView::SelectedRows() const {
  std::vector<Row> rows;
  wchar_t buffer[MAX_PATH + 1];
  for (int row = NextSelected(); row >= 0; row = NextSelected(row)) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = buffer;
    item.cchTextMax = MAX_PATH + 1;
    buffer[0] = L'\0';
    if (!Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) continue;
    std::wstring text(item.pszText ? item.pszText : L"");
    // A text that filled the buffer may have been cut.
    if (text.size() >= MAX_PATH) text = ItemText(row, 0);
    rows.push_back({row, std::move(text), item.lParam});
  }
  return rows;
}

void CListView::InsertColumn(int index, const std::wstring& title, int format, int width) {
  LVCOLUMNW column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  column.fmt = format;
  column.cx = width;
  column.pszText = const_cast<wchar_t*>(title.c_str());
  column.iSubItem = index;
  Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

int CListView::ColumnWidth(int column) const {
  return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
}

void CListView::SetColumnWidth(int column, int width) {
  Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
}

HWND CListView::Header() const { return reinterpret_cast<HWND>(Send(LVM_GETHEADER)); }

int CListView::HeaderCount() const {
  HWND header = Header();
  return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::wstring CListView::ColumnTitle(int column) const {
  wchar_t text[kMaxTitleChars + 1] = L"";
  HDITEMW item{};
  item.mask = HDI_TEXT;
  item.pszText = text;
  item.cchTextMax = static_cast<int>(std::size(text));
  HWND header = Header();
  if (!header || !::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column),
                                 reinterpret_cast<LPARAM>(&item)))
    return {};
  return text;
}

void CListView::SetColumnTitle(int column, const std::wstring& title) {
  std::wstring text = title.substr(0, kMaxTitleChars);
  HDITEMW item{};
  item.mask = HDI_TEXT;
  item.pszText = text.data();
  ::SendMessageW(Header(), HDM_SETITEMW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&item));
}

void CListView::ShowSortArrow(int column, bool ascending) {
  HWND header = Header();
  const int count = HeaderCount();
  for (int i = 0; i < count; ++i) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    ::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    item.fmt = (item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN)) | HDF_STRING;
    if (i == column) item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
    ::SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
}

void CListView::SetExtendedStyle(DWORD mask, DWORD style) {
  Send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style);
}

DWORD CListView::ExtendedStyle() const {
  return static_cast<DWORD>(Send(LVM_GETEXTENDEDLISTVIEWSTYLE));
}

void CListView::SetImageList(HIMAGELIST images, int which) {
  Send(LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(images));
}

void CListView::SortItems(PFNLVCOMPARE compare, LPARAM context) {
  Send(LVM_SORTITEMS, static_cast<WPARAM>(context), reinterpret_cast<LPARAM>(compare));
}

void CListView::SetRedraw(bool on) { Send(WM_SETREDRAW, on ? TRUE : FALSE); }

}  // namespace klarex
